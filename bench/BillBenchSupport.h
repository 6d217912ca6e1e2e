#pragma once
// What the bill benchmarks share: a bill screen worked as a shop assistant works it, its tool-bar buttons
// clicked and its detail cells typed into.

#include <cstdint>
#include <memory>
#include <string>

#include "ScreenServices.h"
#include "Stopwatch.h"

#include "bills/UnitFrmBaseBillFramework.h"
#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/ExtCtrls.h"
#include "platform/Grid.h"
#include "services/SQLiteDBAccess.h"
#include "services/SampleShop.h"

namespace jxc::bench {

// The user clicks the tool-bar button of the action (or the action where it has none).
inline void Click(TFrmBaseBillFramework& screen, TAction* action) {
  for (TBarItem* item : screen.barMain->Items())
    if (item->Action() == action) {
      Application().Dispatch([item] { item->Click(); });
      return;
    }
  Application().Dispatch([action] { action->Execute(); });
}

// The user types into a cell of the focused detail row.
inline void Type(TFrmBaseBillFramework& screen, const char* field, const std::string& text) {
  TGridTableView& grid = *screen.tvResult;
  grid.EditCell(grid.FocusedRecordIndex(), *grid.FindColumnByFieldName(field), text);
}

// The sample shop of 1,000 units written into the database and the package started on it with the
// services the bill screens use (recorded dialogs, every right granted), working at the first branch.
inline TSampleShop StartBillBench(const std::shared_ptr<TSQLiteDBAccess>& db) {
  TSampleShopOptions options;
  options.Units = 1000;
  const TSampleShop shop = CreateSampleShop(*db, options);
  StartScreenServices(db, "基准", shop.Branches[0]);
  return shop;
}

// One click measured: its wall-clock and processor time and the database calls it made.
struct TStepFigure {
  double Wall = 0, Cpu = 0;
  int64_t Calls = 0;
};
inline TStepFigure Measure(TSQLiteDBAccess& db, TFrmBaseBillFramework& screen, TAction* action) {
  const int64_t calls = db.CallCount();
  TStopwatch watch;
  Click(screen, action);
  return {watch.Wall(), watch.Processor(), db.CallCount() - calls};
}

}  // namespace jxc::bench

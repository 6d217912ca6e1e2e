#pragma once
// What the bill benchmarks share: a bill screen worked as a shop assistant works it, its tool-bar buttons
// clicked and its detail cells typed into.

#include <string>

#include "bills/UnitFrmBaseBillFramework.h"
#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/ExtCtrls.h"
#include "platform/Grid.h"

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

}  // namespace jxc::bench

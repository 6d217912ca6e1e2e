// Figures of a purchase receipt driven through its screen on a shop database file, as a shop assistant
// works it: N serial-numbered rows typed into the detail grid (product, serial number, price), the bill
// saved and audited, then un-audited, and the saved bill of N rows opened in a second screen. The number
// of database calls of a save and of an audit is printed for a small and a large bill: it does not grow
// with the rows. One line per figure, wall-clock and processor time; asserts nothing.
//
//   bills_bench [--rows N] [--small N]

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bills/UnitFrmBaseBillFramework.h"
#include "ScreenServices.h"
#include "Stopwatch.h"
#include "foundation/PackageEntry.h"
#include "foundation/UnitPublicUtils.h"
#include "kernel/SysSvc.h"
#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/ExtCtrls.h"
#include "platform/Grid.h"
#include "services/RecordingDialog.h"
#include "services/RecordingMainForm.h"
#include "services/SQLiteDBAccess.h"
#include "services/SampleShop.h"
#include "services/ShopLocalDB.h"
#include "services/TableGroupRights.h"

using namespace jxc;
using jxc::bench::TStopwatch;

namespace {

void Figure(const char* what, int rows, const TStopwatch& watch) {
  std::printf("%-40s %6d rows %10.1f ms wall %10.1f ms cpu\n", what, rows, watch.Wall(), watch.Processor());
}

// The user clicks the tool-bar button of the action.
void Click(TFrmBaseBillFramework& screen, TAction* action) {
  for (TBarItem* item : screen.barMain->Items())
    if (item->Action() == action) {
      Application().Dispatch([item] { item->Click(); });
      return;
    }
  Application().Dispatch([action] { action->Execute(); });
}

void Type(TFrmBaseBillFramework& screen, const char* field, const std::string& text) {
  TGridTableView& grid = *screen.tvResult;
  grid.EditCell(grid.FocusedRecordIndex(), *grid.FindColumnByFieldName(field), text);
}

std::string Serial(int run, int row) {
  char text[32];
  std::snprintf(text, sizeof text, "35%02d%011d", run, row);
  return text;
}

// One receipt of the given rows, typed, saved, audited and un-audited, then opened again.
void Receipt(TSQLiteDBAccess& db, const TSampleShop& shop, int run, int rows, bool print) {
  auto* screen = OpenEditor<TFrmBaseBillFramework>(Application(), "采购入库");
  Application().Advance(100);
  const std::string product = std::to_string(shop.Handsets[0]);

  TStopwatch typing;
  for (int row = 0; row < rows; ++row) {
    if (row > 0) Click(*screen, screen->actDetailAppend);
    Type(*screen, "F_PRODUCT_ID", product);
    Type(*screen, "F_MODE_NO", Serial(run, row));
    Type(*screen, "F_PRICE", "3999.5");
  }
  if (print) Figure("typed into the grid", rows, typing);

  int64_t calls = db.CallCount();
  TStopwatch saving;
  Click(*screen, screen->actBeforeSave);
  const double saveWall = saving.Wall(), saveCpu = saving.Processor();
  const int64_t saveCalls = db.CallCount() - calls;
  calls = db.CallCount();
  TStopwatch auditing;
  Click(*screen, screen->actAudit);
  const double auditWall = auditing.Wall(), auditCpu = auditing.Processor();
  const int64_t auditCalls = db.CallCount() - calls;
  const double totalWall = typing.Wall(), totalCpu = typing.Processor();
  if (screen->cdsMain->FieldByName("F_STATUS").AsInteger() != 2)
    std::printf("the audit did not run: %s\n", Application().ShownErrors().empty() ? "" : Application().ShownErrors().back().c_str());
  std::printf("%-40s %6d rows %10.1f ms wall %10.1f ms cpu\n", "saved", rows, saveWall, saveCpu);
  std::printf("%-40s %6d rows %10.1f ms wall %10.1f ms cpu\n", "audited", rows, auditWall, auditCpu);
  std::printf("%-40s %6d rows %10.1f ms wall %10.1f ms cpu\n", "typed, saved and audited", rows, totalWall, totalCpu);
  std::printf("%-40s %6d rows %10lld calls\n", "database calls of the save", rows, static_cast<long long>(saveCalls));
  std::printf("%-40s %6d rows %10lld calls\n", "database calls of the audit", rows, static_cast<long long>(auditCalls));
  if (!print) return;

  TStopwatch unAuditing;
  Click(*screen, screen->actUnAudit);
  Figure("un-audited", rows, unAuditing);

  const std::string id = screen->cdsMain->FieldByName("F_ID").AsString();
  TStopwatch loading;
  auto* viewer = CreateForm<TFrmBaseBillFramework>(&Application());
  viewer->SetCaption("采购入库");
  viewer->SetName("CGRK_VIEW");
  viewer->SetID(id);
  viewer->DoOnShow();
  viewer->ShowForm();
  Application().Advance(100);
  Figure("opened (read, handlers, serial list)", viewer->CdsDetail->RecordCount(), loading);
  TStopwatch reloading;
  viewer->SetID(id);
  Click(*viewer, viewer->actRefresh);
  Figure("refreshed", viewer->CdsDetail->RecordCount(), reloading);
}

}  // namespace

int main(int argc, char** argv) {
  int rows = 10000, small = 1000;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i];
    if (arg == "--rows") rows = std::atoi(argv[i + 1]);
    else if (arg == "--small") small = std::atoi(argv[i + 1]);
  }
  const std::string path = "/tmp/jxc_bills_bench_" + std::to_string(::getpid()) + ".db";
  std::remove(path.c_str());
  try {
    auto db = std::make_shared<TSQLiteDBAccess>(path);
    TSampleShopOptions options;
    options.Units = 1000;
    const TSampleShop shop = CreateSampleShop(*db, options);
    bench::StartScreenServices(db, "基准", shop.Branches[0]);

    Receipt(*db, shop, 1, small, false);
    Receipt(*db, shop, 2, rows, true);
    for (const std::string& error : Application().ShownErrors()) std::printf("error: %s\n", error.c_str());
    ResetApplication();
    PackageShutdown();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bills_bench: %s\n", error.what());
  }
  for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path + suffix).c_str());
  return 0;
}

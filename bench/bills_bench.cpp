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
#include "BillBenchSupport.h"
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
using jxc::bench::Click;
using jxc::bench::TStopwatch;
using jxc::bench::Type;

namespace {

void Figure(const char* what, int rows, const TStopwatch& watch) {
  std::printf("%-40s %6d rows %10.1f ms wall %10.1f ms cpu\n", what, rows, watch.Wall(), watch.Processor());
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

  const bench::TStepFigure save = bench::Measure(db, *screen, screen->actBeforeSave);
  const bench::TStepFigure audit = bench::Measure(db, *screen, screen->actAudit);
  const double totalWall = typing.Wall(), totalCpu = typing.Processor();
  if (screen->cdsMain->FieldByName("F_STATUS").AsInteger() != 2)
    std::printf("the audit did not run: %s\n", Application().ShownErrors().empty() ? "" : Application().ShownErrors().back().c_str());
  std::printf("%-40s %6d rows %10.1f ms wall %10.1f ms cpu\n", "saved", rows, save.Wall, save.Cpu);
  std::printf("%-40s %6d rows %10.1f ms wall %10.1f ms cpu\n", "audited", rows, audit.Wall, audit.Cpu);
  std::printf("%-40s %6d rows %10.1f ms wall %10.1f ms cpu\n", "typed, saved and audited", rows, totalWall, totalCpu);
  std::printf("%-40s %6d rows %10lld calls\n", "database calls of the save", rows, static_cast<long long>(save.Calls));
  std::printf("%-40s %6d rows %10lld calls\n", "database calls of the audit", rows, static_cast<long long>(audit.Calls));
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
    const TSampleShop shop = bench::StartBillBench(db);

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

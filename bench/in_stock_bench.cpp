// Figures of a purchase receipt on the stock-in screen, driven as a receiving clerk works it on a shop
// database file: one product row typed, N serial numbers pasted through the paste dialog, the bill saved
// and audited; the database calls of the save and of the audit for a small and a large bill (they do not
// grow with the rows). Then single units scanned into a bill that already holds N rows, each with its
// summary line updated. One line per figure, wall-clock and processor time; asserts nothing.
//
//   in_stock_bench [--rows N] [--small N] [--scans N]

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "BillBenchSupport.h"
#include "bills/UnitFrmBatchPasteModeNO.h"
#include "bills/UnitFrmBillInStockFramework.h"
#include "foundation/PackageEntry.h"
#include "foundation/UnitPublicUtils.h"
#include "kernel/SysSvc.h"
#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/Desktop.h"
#include "platform/ExtCtrls.h"
#include "platform/Grid.h"
#include "platform/StdCtrls.h"
#include "services/DBCache.h"
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

void Figure(const char* what, int rows, double wall, double cpu) {
  std::printf("%-44s %6d rows %10.2f ms wall %10.2f ms cpu\n", what, rows, wall, cpu);
}

void Calls(const char* what, int rows, int64_t calls) {
  std::printf("%-44s %6d rows %10lld calls\n", what, rows, static_cast<long long>(calls));
}

std::string Serial(int run, int row) {
  char text[32];
  std::snprintf(text, sizeof text, "36%02d%011d", run, row);
  return text;
}

TFrmBillInStockFramework* OpenReceipt(const TSampleShop& shop) {
  auto* screen = OpenEditor<TFrmBillInStockFramework>(Application(), "采购入库");
  Application().Advance(100);
  Type(*screen, "F_PRODUCT_ID", std::to_string(shop.Handsets[0]));
  Type(*screen, "F_COLOR_ID", std::to_string(shop.Colors[0]));
  Type(*screen, "F_PRICE", "3999.5");
  return screen;
}

// The clerk copies rows serial numbers, clicks "批量粘贴串号", pastes into the dialog and confirms.
void Paste(TFrmBillInStockFramework& screen, int run, int rows) {
  std::string copied;
  copied.reserve(static_cast<size_t>(rows) * 16);
  for (int row = 0; row < rows; ++row) copied += Serial(run, row) + "\r\n";
  Clipboard().SetText(copied);
  Application().QueueModalScript([](TCustomForm& form) {
    auto& dialog = static_cast<TFrmBatchPasteModeNO&>(form);
    dialog.mmoModeNO->SetText(Clipboard().GetText());
    dialog.btnOK->PerformClick();
  });
  Click(screen, screen.actBatchPasteModeNO);
}

// A receipt of rows units pasted, saved and audited.
void Receipt(TSQLiteDBAccess& db, const TSampleShop& shop, int run, int rows, bool print) {
  auto* screen = OpenReceipt(shop);
  TStopwatch total;
  TStopwatch pasting;
  Paste(*screen, run, rows);
  const double pasteWall = pasting.Wall(), pasteCpu = pasting.Processor();
  const bench::TStepFigure save = bench::Measure(db, *screen, screen->actBeforeSave);
  const bench::TStepFigure audit = bench::Measure(db, *screen, screen->actAudit);
  const double totalWall = total.Wall(), totalCpu = total.Processor();
  if (screen->cdsMain->FieldByName("F_STATUS").AsInteger() != 2)
    std::printf("the audit did not run (%d rows): %s\n", screen->CdsDetail->RecordCount(),
                Application().ShownErrors().empty() ? "" : Application().ShownErrors().back().c_str());
  if (print) {
    Figure("pasted (dialog, rows, summary)", rows, pasteWall, pasteCpu);
    Figure("saved", rows, save.Wall, save.Cpu);
    Figure("audited", rows, audit.Wall, audit.Cpu);
    Figure("pasted, saved and audited", rows, totalWall, totalCpu);
  }
  Calls("database calls of the save", rows, save.Calls);
  Calls("database calls of the audit", rows, audit.Calls);
  screen->Release();
  Application().ProcessMessages();
}

// Units scanned one by one into a bill of rows units: a new row, its product, serial number and price,
// posted with its summary line.
void Scans(TSQLiteDBAccess& db, const TSampleShop& shop, int rows, int scans) {
  auto* screen = OpenReceipt(shop);
  Paste(*screen, 90, rows);
  const int64_t calls = db.CallCount();
  std::vector<double> walls;
  double cpu = 0;
  for (int scan = 0; scan < scans; ++scan) {
    TStopwatch one;
    Click(*screen, screen->actDetailAppend);
    Type(*screen, "F_PRODUCT_ID", std::to_string(shop.Handsets[1]));
    Type(*screen, "F_COLOR_ID", std::to_string(shop.Colors[1]));
    Type(*screen, "F_MODE_NO", Serial(91, scan));
    Type(*screen, "F_PRICE", "2999");
    screen->CdsDetail->Post();
    walls.push_back(one.Wall());
    cpu += one.Processor();
  }
  std::sort(walls.begin(), walls.end());
  const int count = screen->CdsDetail->RecordCount();
  Figure("one scanned row with its summary (median)", count, walls[walls.size() / 2], cpu / scans);
  Figure("one scanned row with its summary (max)", count, walls.back(), 0);
  std::printf("%-44s %6d rows %10.2f calls\n", "database calls of one scanned row", count,
              static_cast<double>(db.CallCount() - calls) / scans);
  screen->Release();
  Application().ProcessMessages();
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = bench::IntOption(argc, argv, "--rows", 10000);
  const int small = bench::IntOption(argc, argv, "--small", 1000);
  const int scans = std::max(1, bench::IntOption(argc, argv, "--scans", 20));
  bench::TScratchFile file("in_stock_bench");
  try {
    auto db = std::make_shared<TSQLiteDBAccess>(file.Path);
    const TSampleShop shop = bench::StartBillBench(db);
    SysService::Register<ICache>(std::make_shared<TDBCache>(db));

    Receipt(*db, shop, 1, small, false);
    Receipt(*db, shop, 2, rows, true);
    Scans(*db, shop, rows, scans);
    for (const std::string& error : Application().ShownErrors()) std::printf("error: %s\n", error.c_str());
    ResetApplication();
    PackageShutdown();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "in_stock_bench: %s\n", error.what());
  }
  return 0;
}

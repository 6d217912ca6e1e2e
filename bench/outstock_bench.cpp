// Figures of the wholesale stock-out screen on a shop database file with many units in stock, as a shop
// assistant works it: N serial numbers of the shop pasted into a new bill (every number checked against the
// stock, the bill and the row), the bill saved and audited, and single scans into the quick input (a whole
// serial number and the last six digits). The database calls of the paste are printed: the stock of all
// numbers is read in one request, not one per number. One line per figure; asserts nothing.
//
//   outstock_bench [--units N] [--paste N] [--scans N]

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "ScreenServices.h"
#include "bills/UnitFrmBatchPasteModeNO.h"
#include "bills/UnitFrmBillOutStockFramework.h"
#include "foundation/PackageEntry.h"
#include "foundation/UnitPublicUtils.h"
#include "kernel/SysSvc.h"
#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/Desktop.h"
#include "platform/ExtCtrls.h"
#include "platform/Keys.h"
#include "platform/StdCtrls.h"
#include "services/RecordingDialog.h"
#include "services/RecordingMainForm.h"
#include "services/SampleShop.h"
#include "services/ShopLocalDB.h"
#include "services/TableGroupRights.h"

using namespace jxc;
using jxc::bench::TStopwatch;

namespace {

constexpr int kBranches = 3;

void Figure(const char* what, long long count, const char* unit, const TStopwatch& watch) {
  std::printf("%-44s %8lld %-6s %10.1f ms wall %10.1f ms cpu\n", what, count, unit, watch.Wall(), watch.Processor());
}

void Calls(const char* what, long long count, const char* unit, long long calls) {
  std::printf("%-44s %8lld %-6s %10lld calls\n", what, count, unit, calls);
}

// The user runs the action (its tool-bar button does the same).
void Click(TAction* action) {
  Application().Dispatch([action] { action->Execute(); });
}

TFrmBillOutStockFramework* OpenSale() {
  auto* screen = OpenEditor<TFrmBillOutStockFramework>(Application(), "批发销售");
  Application().Advance(100);
  return screen;
}

void PasteSaveAudit(TSQLiteDBAccess& db, int count) {
  auto* screen = OpenSale();
  std::string copied;
  // Units of branch 0: every third of the opening stock.
  for (int k = 0; k < count; ++k) copied += SampleSerial(static_cast<int64_t>(k) * kBranches) + "\r\n";
  TMemoryClipboard clipboard;
  ScopedClipboard scope(clipboard);
  clipboard.SetText(copied);
  Application().QueueModalScript([](TCustomForm& form) {
    form.PressKey('V', ssCtrl);
    static_cast<TFrmBatchPasteModeNO&>(form).btnOK->PerformClick();
  });
  int64_t calls = db.CallCount();
  TStopwatch pasting;
  Click(screen->actBatchPasteModeNO);
  Figure("pasted with every check", screen->CdsDetail->RecordCount(), "rows", pasting);
  Calls("database calls of the paste", count, "serials", db.CallCount() - calls);
  std::printf("%-44s %8d %-6s %10d statements in one call\n", "stock read by the paste", count, "serials",
              screen->LastPasteStatements());

  calls = db.CallCount();
  TStopwatch saving;
  Click(screen->actBeforeSave);
  Figure("saved", count, "rows", saving);
  Calls("database calls of the save", count, "rows", db.CallCount() - calls);
  calls = db.CallCount();
  TStopwatch auditing;
  Click(screen->actAudit);
  Figure("audited", count, "rows", auditing);
  Calls("database calls of the audit", count, "rows", db.CallCount() - calls);
  if (screen->cdsMain->FieldByName("F_STATUS").AsInteger() != 2)
    std::printf("the audit did not run: %s\n", Application().ShownErrors().empty() ? "" : Application().ShownErrors().back().c_str());
}

void Scans(int units, int paste, int count) {
  auto* screen = OpenSale();
  std::vector<double> whole, tail;
  auto scan = [&](const std::string& typed, std::vector<double>& times) {
    screen->SetActiveControl(screen->edtModeNO);
    screen->edtModeNO->SelectAll();
    screen->TypeText(typed);
    TStopwatch watch;
    screen->PressKey(VK_RETURN);
    times.push_back(watch.Wall());
  };
  // Units of branch 0 the paste left in stock: one by its whole number, the next by its last six digits.
  for (int i = 0; i < count; ++i) {
    const int64_t index = static_cast<int64_t>(paste + 2 * i) * kBranches;
    if (index + kBranches >= units) break;
    scan(SampleSerial(index), whole);
    const std::string next = SampleSerial(index + kBranches);
    scan(next.substr(next.size() - 6), tail);
  }
  auto print = [&](const char* what, std::vector<double>& times) {
    if (times.empty()) return;
    std::sort(times.begin(), times.end());
    std::printf("%-44s %8d %-6s %10.2f ms median %10.2f ms max\n", what, units, "units", times[times.size() / 2], times.back());
  };
  print("scan of a whole serial number", whole);
  print("scan of the last six digits", tail);
  std::printf("%-44s %8d %-6s\n", "rows filled by the scans", screen->CdsDetail->RecordCount(), "rows");
}

}  // namespace

int main(int argc, char** argv) {
  const int units = bench::IntOption(argc, argv, "--units", 100000);
  const int paste = bench::IntOption(argc, argv, "--paste", 10000);
  const int scans = bench::IntOption(argc, argv, "--scans", 20);
  bench::TScratchFile file("outstock_bench");
  try {
    auto db = std::make_shared<TSQLiteDBAccess>(file.Path);
    TStopwatch making;
    const TSampleShop shop = CreateSampleShop(*db, {units, kBranches});
    Figure("sample shop made", units, "units", making);
    bench::StartScreenServices(db, "基准", shop.Branches[0]);
    SysConfig = TSysConfig{std::to_string(shop.CounterLocations[0]), std::to_string(shop.Branches[0])};

    PasteSaveAudit(*db, std::min(paste, units / kBranches));
    Scans(units, paste, scans);
    for (const std::string& error : Application().ShownErrors()) std::printf("error: %s\n", error.c_str());
    ResetApplication();
    PackageShutdown();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "outstock_bench: %s\n", error.what());
  }
  return 0;
}

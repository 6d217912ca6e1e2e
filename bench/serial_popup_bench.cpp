// Figures for the serial-number column of a bill on a sample shop with 400,000 units in stock (or
// --units N), 100,000 of each handset spread over three branches: reading a handset's list from the
// database for all shops and for one shop, the drop-down as the user opens it (first and kept), and the
// refilter after the typing pause over all 100,000 units of a handset. Prints one line per figure;
// asserts nothing.
//
//   serial_popup_bench [--units N] [--database FILE]

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "bills/ExpressionControl.h"
#include "platform/Application.h"
#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/Forms.h"
#include "platform/Grid.h"
#include "platform/GridDB.h"
#include "services/DBCache.h"
#include "services/SQLiteDBAccess.h"
#include "services/SampleShop.h"

using namespace jxc;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Processor time of this process: what a figure costs whatever else the machine is doing.
double CpuMs() { return static_cast<double>(std::clock()) * 1000.0 / CLOCKS_PER_SEC; }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Print(const std::string& what, double value, const std::string& unit) {
  std::printf("%-64s %10.1f %s\n", what.c_str(), value, unit.c_str());
}

// A detail grid with the serial column, as a bill screen sets it up.
struct Screen {
  TForm* form;
  TClientDataSet* detail;
  TGridTableView* view;
  TGridColumn* modeNO;
  std::shared_ptr<TPopupModbileModeNOProperties> properties;

  explicit Screen(std::shared_ptr<ICache> cache) {
    form = new TForm(&Application());
    detail = new TClientDataSet(form);
    for (const char* name : {"F_MODE_NO", "F_NEW_MODE_NO", "F_PRODUCT", "F_UNIT"}) detail->FieldDefs().Add(name, ftString, 50);
    for (const char* name : {"F_PRODUCT_ID", "F_COLOR_ID", "F_CONFIG_ID", "F_LOCATION_ID", "F_SHOP_ID"})
      detail->FieldDefs().Add(name, ftLargeint);
    detail->FieldDefs().Add("F_KIND", ftInteger);
    detail->FieldDefs().Add("F_PRODUCT_TYPE_ID", ftInteger);
    detail->CreateDataSet();
    auto* source = new TDataSource(form);
    source->SetDataSet(detail);
    auto* grid = new TGrid(form);
    grid->SetParent(form);
    view = grid->CreateView();
    view->DataController().SetDataSource(source);
    modeNO = view->CreateColumn("F_MODE_NO", "串码");
    properties = TPopupModbileModeNOProperties::Assign(*modeNO, std::move(cache));
  }

  // A new row of the product; the user clicks its serial cell and opens the list.
  TPopupModbileModeNO* OpenList(int64_t product) {
    detail->Cancel();
    detail->Append();
    detail->FieldByName("F_KIND").SetAsInteger(6);
    detail->FieldByName("F_PRODUCT_ID").SetAsLargeInt(product);
    view->ClickCell(view->FocusedRecordIndex(), *modeNO);
    form->PressKey(VK_DOWN, ssAlt);
    return dynamic_cast<TPopupModbileModeNO*>(view->InplaceEditor());
  }
  void CloseList() { form->PressKey(VK_ESCAPE); form->PressKey(VK_ESCAPE); }
};

}  // namespace

int main(int argc, char** argv) {
  int64_t units = 400000;
  std::string file;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--units") units = std::atoll(argv[i + 1]);
    else if (option == "--database") file = argv[i + 1];
  }
  const bool scratch = file.empty();
  if (scratch) file = "/tmp/jxc_serial_popup_bench_" + std::to_string(::getpid()) + ".db";

  auto db = std::make_shared<TSQLiteDBAccess>(file);
  auto start = Clock::now();
  TSampleShop shop = HasShopData(*db) ? ReadSampleShop(*db) : CreateSampleShop(*db, {units, 3});
  Print("sample shop ready (" + std::to_string(shop.Units) + " units, 3 branches)", MsSince(start) / 1000, "s");
  const int64_t handset = shop.Handsets[0];
  const int64_t branch = shop.Branches[0];
  auto cache = std::make_shared<TDBCache>(db);

  std::vector<double> all, own, allCpu, ownCpu;
  int allRows = 0, ownRows = 0;
  for (int i = 0; i < 5; ++i) {
    start = Clock::now();
    double cpu = CpuMs();
    allRows = cache->GetModeNOList(std::to_string(handset))->RecordCount();
    all.push_back(MsSince(start));
    allCpu.push_back(CpuMs() - cpu);
    start = Clock::now();
    cpu = CpuMs();
    ownRows = cache->GetModeNOList(std::to_string(handset), branch)->RecordCount();
    own.push_back(MsSince(start));
    ownCpu.push_back(CpuMs() - cpu);
  }
  Print("serial list read, all shops (" + std::to_string(allRows) + " units), median of 5", Median(all), "ms");
  Print("  processor time of it", Median(allCpu), "ms");
  Print("serial list read, one shop (" + std::to_string(ownRows) + " units), median of 5", Median(own), "ms");
  Print("  processor time of it", Median(ownCpu), "ms");

  {
    Screen screen(cache);
    screen.properties->OnGetShopID = [&] { return branch; };
    std::vector<double> first, firstCpu, kept;
    for (int i = 0; i < 5; ++i) {
      screen.properties->Reread();
      start = Clock::now();
      const double cpu = CpuMs();
      screen.OpenList(handset);
      first.push_back(MsSince(start));
      firstCpu.push_back(CpuMs() - cpu);
      screen.CloseList();
      start = Clock::now();
      screen.OpenList(handset);
      kept.push_back(MsSince(start));
      screen.CloseList();
    }
    Print("drop-down, bill's shop (" + std::to_string(ownRows) + " units), first, median of 5", Median(first), "ms");
    Print("  processor time of it", Median(firstCpu), "ms");
    Print("drop-down, bill's shop, list kept, median of 5", Median(kept), "ms");
  }

  {
    Screen screen(cache);
    start = Clock::now();
    TPopupModbileModeNO* editor = screen.OpenList(handset);
    Print("drop-down, all shops (" + std::to_string(allRows) + " units), first", MsSince(start), "ms");
    const std::string digits = SampleSerial(400).substr(11);
    std::vector<double> refilter;
    int shown = 0;
    for (int i = 0; i < 7; ++i) {
      for (size_t c = 0; c < digits.size(); ++c) screen.form->PressKey(VK_BACK);
      screen.form->TypeText(i % 2 ? digits : digits.substr(0, 3));
      Application().Advance(299);
      const double cpu = CpuMs();
      Application().Advance(1);  // the pause ends: the list is narrowed
      refilter.push_back(CpuMs() - cpu);
      shown = editor && editor->ListDataSet() ? editor->ListDataSet()->RecordCount() : -1;
    }
    Print("refilter over " + std::to_string(allRows) + " units after the pause (last: " + std::to_string(shown) +
              " shown), processor time, median of 7",
          Median(refilter), "ms");
    Print("refilter, slowest of 7", *std::max_element(refilter.begin(), refilter.end()), "ms");
  }
  ResetApplication();
  cache.reset();
  db.reset();
  if (scratch)
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((file + suffix).c_str());
  return 0;
}

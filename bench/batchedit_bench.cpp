// Figures of the batch price and colour dialogs over a large bill: a detail of N rows spread over P
// products (four colours each), the dialogs opened on it, a new price (colour, location) typed on every
// line, and OK. The price dialog's OK hands each chosen line to a callback that only counts; the colour
// dialog's OK writes every row. One line per figure, wall-clock and processor time; asserts nothing.
//
//   batchedit_bench [--rows N] [--products P]

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "BenchSupport.h"
#include "bills/UnitFrmBatchEditPrice.h"
#include "bills/UnitFrmBatchModifyColor.h"
#include "foundation/PackageEntry.h"
#include "foundation/UnitPublicUtils.h"
#include "kernel/SysSvc.h"
#include "platform/Application.h"
#include "platform/DataSet.h"
#include "platform/Grid.h"
#include "platform/MemSQL.h"
#include "platform/StdCtrls.h"
#include "services/DBCache.h"
#include "services/RecordingDialog.h"
#include "services/SQLiteDBAccess.h"
#include "services/SampleShop.h"
#include "services/ShopLocalDB.h"

using namespace jxc;
using jxc::bench::TStopwatch;

namespace {

void Figure(const char* what, int count, const char* unit, const TStopwatch& watch) {
  std::printf("%-44s %6d %-8s %10.1f ms wall %10.1f ms cpu\n", what, count, unit, watch.Wall(), watch.Processor());
}

// A bill's detail: row i is product i % products, colour (i / products) % 4, price 100 + product.
std::unique_ptr<TClientDataSet> MakeDetail(int rows, int products, const TSampleShop& shop) {
  auto detail = std::make_unique<TClientDataSet>();
  detail->FieldDefs().Add("F_ID", ftLargeint);
  detail->FieldDefs().Add("F_PRODUCT_ID", ftLargeint);
  detail->FieldDefs().Add("F_PRODUCT", ftString, 100);
  detail->FieldDefs().Add("F_CONFIG_ID", ftLargeint);
  detail->FieldDefs().Add("F_COLOR_ID", ftLargeint);
  detail->FieldDefs().Add("F_COLOR", ftString, 50);
  detail->FieldDefs().Add("F_LOCATION_ID", ftLargeint);
  detail->FieldDefs().Add("F_QTY", ftInteger);
  detail->FieldDefs().Add("F_PRICE", ftCurrency);
  detail->FieldDefs().Add("F_PRICE_EMPLOYEE", ftCurrency);
  detail->CreateDataSet();
  for (int i = 0; i < rows; ++i) {
    const int product = i % products;
    const Currency price = Currency::FromInt(100 + product);
    detail->AppendRecord({Variant(static_cast<long long>(i + 1)), Variant(static_cast<long long>(1000000 + product)),
                          Variant("商品" + std::to_string(product)), Variant(static_cast<long long>(shop.Configs.at(0))),
                          Variant(static_cast<long long>(shop.Colors.at(static_cast<size_t>((i / products) % 4)))), Variant(""),
                          Variant(static_cast<long long>(shop.CounterLocations.at(0))), Variant(1), Variant(price),
                          Variant(price)});
  }
  detail->MergeChangeLog();
  return detail;
}

// Types a value into the column on every line the view shows.
void TypeEveryLine(TGridTableView& view, const char* field, const std::function<std::string(int line)>& text) {
  TGridColumn& column = *view.FindColumnByFieldName(field);
  int line = 0;
  for (int record : view.DataController().Rows()) view.EditCell(record, column, text(line++));
}

void PriceDialog(TComponent& owner, TDataSet& detail, int rows) {
  TStopwatch open;
  int lines = 0, handed = 0;
  Application().QueueModalScript([&](TCustomForm& form) {
    Figure("price dialog: open (sum the detail)", rows, "rows", open);
    auto& dialog = static_cast<TFrmBatchEditPrice&>(form);
    lines = dialog.qryResult->RecordCount();
    TStopwatch typing;
    TypeEveryLine(*dialog.tvResult, "F_NEW_PRICE", [](int line) { return std::to_string(200 + line % 500) + ".5"; });
    Figure("price dialog: a new price typed on every line", lines, "lines", typing);
    TStopwatch filter;
    dialog.edtProduct->SetText("商品9");
    dialog.edtProduct->SetText("");
    Figure("price dialog: product filter on and off", lines, "lines", filter);
    open = TStopwatch();
    dialog.btnOK->PerformClick();
  });
  Application().Dispatch([&] {
    GetBatchEditPrice(&owner, detail, [&](const TBatchPrice&) { ++handed; });
  });
  Figure("price dialog: OK (every chosen line handed over)", handed, "lines", open);
}

void ColorDialog(TComponent& owner, TDataSet& detail, int rows, const TSampleShop& shop, bool colours) {
  TStopwatch open;
  Application().QueueModalScript([&](TCustomForm& form) {
    Figure(colours ? "colour dialog: open (sum the detail)" : "location dialog: open (sum the detail)", rows, "rows", open);
    auto& dialog = static_cast<TFrmBatchModifyColor&>(form);
    const std::string value =
        std::to_string(colours ? shop.Colors.at(2) : shop.StoreLocations.at(0));
    TypeEveryLine(*dialog.tvResult, "F_NEW_COLOR_ID", [&](int) { return value; });
    open = TStopwatch();
    dialog.btnOK->PerformClick();
  });
  Application().Dispatch([&] {
    if (colours) GetBatchModifyColor(&owner, detail);
    else GetBatchModifyLocation(&owner, detail);
  });
  Figure(colours ? "colour dialog: OK (every row recoloured)" : "location dialog: OK (every row moved)", rows, "rows", open);
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = bench::IntOption(argc, argv, "--rows", 10000);
  const int products = bench::IntOption(argc, argv, "--products", 1000);
  bench::TScratchFile file("batchedit_bench");
  try {
    auto db = std::make_shared<TSQLiteDBAccess>(file.Path);
    const TSampleShop shop = CreateSampleShop(*db);
    PackageStartup();
    RegisterShopDatabaseServices(db);
    SysService::Register<IDialog>(std::make_shared<TRecordingDialog>());
    SysService::Register<ICache>(std::make_shared<TDBCache>(db));

    {
      std::unique_ptr<TClientDataSet> detail = MakeDetail(rows, products, shop);
      TComponent owner;
      PriceDialog(owner, *detail, rows);
      PriceDialog(owner, *detail, rows);  // the dialog kept by the owner, opened again
      ColorDialog(owner, *detail, rows, shop, true);
      ColorDialog(owner, *detail, rows, shop, false);
    }
    for (const std::string& error : Application().ShownErrors()) std::printf("error: %s\n", error.c_str());
    ResetApplication();
    PackageShutdown();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "batchedit_bench: %s\n", error.what());
  }
  return 0;
}

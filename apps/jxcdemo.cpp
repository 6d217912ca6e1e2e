// jxcdemo: the main program. Opens the embedded shop database (creating it with the sample shop on the
// first run) and shows the library at work on it: the shop tree, the stock held by each shop, a serial
// number search whose condition the filter engine writes, a result regrouped in memory, and a master-data
// screen used as a shop assistant would (a colour added and saved through the colours screen, with the
// operation log it wrote), a purchase received through the stock-in screen (the stock by shop before and
// after), and a purchase receipt and a wholesale sale taken through their bill screens
// (typed, saved, audited and printed, each bill with its status and the stock it left). Every statement is
// sent in the server dialect the screens use; the database service adapts it for SQLite.
//
//   jxcdemo [--database FILE] [--units N]

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <memory>
#include <string>
#include <vector>

#include "bills/UnitFrameProductFastEntryEditor.h"
#include "bills/UnitFrmBaseBillFramework.h"
#include "bills/UnitFrmBatchPasteModeNO.h"
#include "bills/UnitFrmBillInStockFramework.h"
#include "editors/UnitFrmBaseDBGridEditor.h"
#include "filter/UnitFilterImp.h"
#include "foundation/PackageEntry.h"
#include "foundation/UnitPublicUtils.h"
#include "kernel/ModuleInfo.h"
#include "kernel/SysSvc.h"
#include "platform/Application.h"
#include "platform/ExtCtrls.h"
#include "platform/Desktop.h"
#include "platform/Grid.h"
#include "platform/StdCtrls.h"
#include "platform/ValueEdits.h"
#include "services/ConsoleDialog.h"
#include "services/DBCache.h"
#include "services/HtmlPrintSystem.h"
#include "services/RecordingMainForm.h"
#include "services/ShopLocalDB.h"
#include "services/TableGroupRights.h"
#include "services/SQLiteDBAccess.h"
#include "services/SampleShop.h"
#include "platform/DataSet.h"
#include "platform/Exceptions.h"
#include "platform/Field.h"
#include "platform/MemSQL.h"
#include "platform/Text.h"
// The wholesale stock-out screen.
#include "bills/UnitFrmBatchPasteModeNO.h"
#include "bills/UnitFrmBillOutStockFramework.h"
#include "platform/Desktop.h"
#include "platform/Keys.h"
#include "platform/StdCtrls.h"

using namespace jxc;

namespace {

// Terminal columns taken by one code point: East Asian wide characters take two.
int ColumnsOf(char32_t c) {
  const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                    (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                    (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                    (c >= 0xFFE0 && c <= 0xFFE6);
  return wide ? 2 : 1;
}

int DisplayWidth(const std::string& text) {
  int width = 0;
  for (char16_t unit : Utf8ToUtf16(text)) {
    if (unit >= 0xDC00 && unit <= 0xDFFF) continue;  // the second half of a pair adds no column
    width += ColumnsOf(unit);
  }
  return width;
}

std::string Pad(const std::string& text, int width) {
  return text + std::string(std::max(0, width - DisplayWidth(text)), ' ');
}

// Prints the rows of a dataset as a grid with the field names as header.
void PrintGrid(const std::string& title, TDataSet& data, int maxRows = 20) {
  std::cout << "\n== " << title << " (" << data.RecordCount() << " rows)\n";
  std::vector<std::vector<std::string>> cells(1);
  for (int f = 0; f < data.FieldCount(); ++f) {
    TField& field = data.Fields(f);
    // Money and other decimals show two places with thousands separators, as the screens' grids do.
    const TFieldType type = field.DataType();
    if ((type == ftCurrency || type == ftFloat || type == ftBCD || type == ftFMTBcd) && field.DisplayFormat.empty())
      field.DisplayFormat = ",0.00;-,0.00";
    cells[0].push_back(field.FieldName() + " (" + FieldTypeName(type) + ")");
  }
  data.First();
  for (int row = 0; !data.Eof() && row < maxRows; ++row, data.Next()) {
    cells.emplace_back();
    for (int f = 0; f < data.FieldCount(); ++f) cells.back().push_back(data.Fields(f).DisplayText());
  }
  std::vector<int> widths(cells[0].size(), 0);
  for (const auto& line : cells)
    for (size_t f = 0; f < line.size(); ++f) widths[f] = std::max(widths[f], DisplayWidth(line[f]));
  for (size_t r = 0; r < cells.size(); ++r) {
    for (size_t f = 0; f < cells[r].size(); ++f) std::cout << (f ? " | " : "  ") << Pad(cells[r][f], widths[f]);
    std::cout << '\n';
    if (r == 0) {
      for (size_t f = 0; f < widths.size(); ++f) std::cout << (f ? "-+-" : "  ") << std::string(widths[f], '-');
      std::cout << '\n';
    }
  }
  if (data.RecordCount() > maxRows) std::cout << "  ... " << data.RecordCount() - maxRows << " more\n";
}

struct TOptions {
  std::string Database = DefaultDatabaseFile();
  TSampleShopOptions Sample;
};

TOptions ParseOptions(int argc, char** argv) {
  TOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--database" && i + 1 < argc) {
      options.Database = argv[++i];
    } else if (arg == "--units" && i + 1 < argc) {
      options.Sample.Units = std::strtoll(argv[++i], nullptr, 10);
    } else {
      throw Exception("usage: jxcdemo [--database FILE] [--units N]");
    }
  }
  return options;
}

// The colours screen opened from the menu, headless: a new colour typed into its grid and saved; then the
// screen's rows and the operation log rows the save wrote.
void ShowMasterDataScreen(const std::shared_ptr<TSQLiteDBAccess>& db) {
  PackageStartup();
  RegisterShopDatabaseServices(db);
  SysService::Register<IDialog>(std::make_shared<TConsoleDialog>());
  SysService::Register<IMainForm>(std::make_shared<TRecordingMainForm>());
  auto rights = std::make_shared<TTableGroupRights>();
  rights->SetGrantAll(true);
  SysService::Register<IGroupRights>(rights);
  UserInfo->SetName("演示员");
  // The screens run on the application's clock; it starts at the real time.
  const TDateTime wallTime = SystemClock().Now();
  Application().Clock().SetNow(wallTime);

  const std::string caption = "商品颜色";
  std::cout << "\n== Screen " << caption << ": a new colour typed into the grid and saved\n";
  auto* screen = OpenEditor<TFrmBaseDBGridEditor>(Application(), caption);
  Application().Advance(200);  // the deferred first query
  screen->PressKey(VK_F1);
  const std::string code = screen->cdsMain->FieldByName("F_CODE").AsString();
  TGridTableView& grid = *screen->tvResult;
  grid.EditCell(grid.FocusedRecordIndex(), *grid.FindColumnByFieldName("F_NAME"), "演示色" + code);
  grid.EditCell(grid.FocusedRecordIndex(), *grid.FindColumnByFieldName("F_REMARK"), "jxcdemo");
  for (TBarItem* item : screen->barMain->Items())
    if (item->Action() == screen->actSave) Application().Dispatch([item] { item->Click(); });
  for (const std::string& error : Application().ShownErrors()) std::cout << "  error: " << error << '\n';
  PrintGrid(caption + " rows", *screen->cdsMain);
  auto log = db->OpenSQL("SELECT F_BILL_ID, F_BILL_CODE, F_MESSAGE, F_ADD_USER, F_ADD_DATE FROM TB_SYS_LOG WITH(nolock) "
                         "WHERE F_BILL_CODE = " + QuotedStr(code) + " ORDER BY F_ID");
  PrintGrid("Operation log of " + code, *log);
  ResetApplication();
  SysService::Clear();
  PackageShutdown();
}

// The package started on the database with the services the bill screens use: questions answered on the
// console from the given answers (none: every question answered no), every right granted, the
// demonstrator working at the first branch's counter on the application's clock set to the real time.
void StartBillServices(const std::shared_ptr<TSQLiteDBAccess>& db, const TSampleShop& shop,
                       std::istream& answers) {
  PackageStartup();
  RegisterShopDatabaseServices(db);
  SysService::Register<IDialog>(std::make_shared<TConsoleDialog>(answers, std::cout));
  SysService::Register<IMainForm>(std::make_shared<TRecordingMainForm>());
  auto rights = std::make_shared<TTableGroupRights>();
  rights->SetGrantAll(true);
  SysService::Register<IGroupRights>(rights);
  UserInfo->SetName("演示员");
  UserInfo->SetDefaultShopID(std::to_string(shop.Branches.at(0)));
  SysConfig = TSysConfig{std::to_string(shop.CounterLocations.at(0)), std::to_string(shop.Branches.at(0))};
  Application().Clock().SetNow(SystemClock().Now());
}

// The stock held by each shop: serial-numbered units, counted pieces and their cost.
void PrintStockByShop(TSQLiteDBAccess& db, const std::string& title) {
  auto stock = db.OpenSQL(
      "SELECT sh.F_NAME AS F_SHOP, SUM(CASE WHEN st.F_MODE_NO IS NULL THEN 0 ELSE st.F_HAVE_QTY END) AS F_UNITS, "
      "SUM(CASE WHEN st.F_MODE_NO IS NULL THEN st.F_HAVE_QTY ELSE 0 END) AS F_PIECES, "
      "SUM(st.F_COST_PRICE * st.F_HAVE_QTY) AS F_COST_MONEY "
      "FROM TB_SYS_STOCK st WITH(nolock) JOIN TB_SHOP sh WITH(nolock) ON sh.F_ID = st.F_SHOP_ID "
      "WHERE st.F_HAVE_QTY > 0 GROUP BY sh.F_NAME ORDER BY sh.F_NAME");
  PrintGrid(title, *stock);
}

// A purchase received through the stock-in screen headless, as a receiving clerk works it: the supplier
// chosen, a handset row typed and the serial numbers of its units pasted from the supplier's list through
// the paste dialog, one more handset scanned into the entry panel, an accessory row, then saved and audited. The stock by shop before and after.
void ShowStockInScreen(const std::shared_ptr<TSQLiteDBAccess>& db) {
  const TSampleShop shop = ReadSampleShop(*db);
  static std::istringstream noAnswers;
  StartBillServices(db, shop, noAnswers);
  SysService::Register<ICache>(std::make_shared<TDBCache>(db));

  const std::string caption = "采购入库";
  std::cout << "\n== Stock-in screen " << caption << ": handsets pasted from the supplier's list and scanned, accessories typed\n";
  PrintStockByShop(*db, "Stock by shop before");
  auto* screen = OpenEditor<TFrmBillInStockFramework>(Application(), caption);
  Application().Advance(100);  // the deferred start: a new bill
  TGridTableView& grid = *screen->tvResult;
  auto type = [&](const char* field, const std::string& text) {
    grid.EditCell(grid.FocusedRecordIndex(), *grid.FindColumnByFieldName(field), text);
  };
  Application().Dispatch([&] {
    screen->cdsMain->Edit();
    screen->cdsMain->FieldByName("F_CUSTOMER_ID").SetText(std::to_string(shop.Suppliers.at(0)));
  });
  type("F_PRODUCT_ID", std::to_string(shop.Handsets.at(2)));
  type("F_COLOR_ID", std::to_string(shop.Colors.at(0)));
  std::string supplierList;
  for (int unit = 0; unit < 4; ++unit) {
    char serial[32];
    std::snprintf(serial, sizeof serial, "3591%011lld", static_cast<long long>(db->NewID()));
    supplierList += std::string(serial) + "\r\n";
  }
  Clipboard().SetText(supplierList);
  Application().QueueModalScript([](TCustomForm& form) {
    auto& paste = static_cast<TFrmBatchPasteModeNO&>(form);
    paste.mmoModeNO->SetText(Clipboard().GetText());
    paste.btnOK->PerformClick();
  });
  Application().Dispatch([&] { screen->actBatchPasteModeNO->Execute(); });
  // One more handset scanned into the entry panel above the rows.
  if (auto* panel = dynamic_cast<TFrameProductFastEntryEditor*>(screen->pnlEntry->ControlCount() ? screen->pnlEntry->Controls(0) : nullptr)) {
    char serial[32];
    std::snprintf(serial, sizeof serial, "3592%011lld", static_cast<long long>(db->NewID()));
    Application().Dispatch([&] {
      panel->ChooseProduct(shop.Handsets.at(3));
      panel->ChooseColor(shop.Colors.at(1));
      panel->edtPrice->SetText("4100");
      panel->edtMobileModeNo->SetText(serial);
      panel->btnAddToDetail->Click();
    });
  }
  Application().Dispatch([&] { screen->actDetailAppend->Execute(); });
  type("F_PRODUCT_ID", std::to_string(shop.Accessories.at(0)));
  type("F_QTY", "30");
  type("F_PRICE", "6.5");
  PrintGrid("Units counted by product and colour (the summary beside the rows)", *screen->mtSum);
  for (TAction* action : {screen->actBeforeSave, screen->actAudit})
    Application().Dispatch([action] { action->Execute(); });
  for (const std::string& error : Application().ShownErrors()) std::cout << "  error: " << error << '\n';
  Application().ClearShownErrors();
  const std::string id = screen->cdsMain->FieldByName("F_ID").AsString();
  auto bill = db->OpenSQL("SELECT F_CODE, F_STATUS, F_TOTAL_QTY, F_TOTAL_MONEY FROM TB_IN_STOCK WITH(nolock) WHERE F_ID = " + id);
  PrintGrid(caption + " " + bill->FieldByName("F_CODE").AsString() + " (F_STATUS 2: audited)", *bill);
  auto rows = db->OpenSQL("SELECT p.F_NAME AS F_PRODUCT, d.F_MODE_NO, d.F_PH, d.F_QTY, d.F_COST_PRICE, d.F_MONEY "
                          "FROM TB_IN_STOCK_DETAIL d WITH(nolock) JOIN TB_PRODUCT_ATTRIBUTE p WITH(nolock) "
                          "ON p.F_ID = d.F_PRODUCT_ID WHERE d.F_MID = " + id + " ORDER BY d.F_ID");
  PrintGrid("Rows", *rows);
  PrintStockByShop(*db, "Stock by shop after");
  ResetApplication();
  SysService::Clear();
  PackageShutdown();
}

// A purchase receipt and a wholesale sale taken through their bill screens headless, as a shop assistant
// works them: rows typed into the detail grid, saved, audited and printed. The print templates are files
// beside the database (made on the first run); the print service writes each printed bill as an HTML page
// there. Each bill is shown with its status and the stock its serial numbers left.
void ShowBillScreens(const std::shared_ptr<TSQLiteDBAccess>& db, const std::string& databaseFile) {
  const std::filesystem::path folder = std::filesystem::absolute(databaseFile).parent_path();
  const TSampleShop shop = ReadSampleShop(*db);
  static std::istringstream noAnswers;
  StartBillServices(db, shop, noAnswers);
  auto printer = std::make_shared<THtmlPrintSystem>(db, SysService::Get<ILocalDB>(), (folder / "打印输出").string());
  SysService::Register<IPrintSystem>(printer);
  const std::string previousFolder = SetProgramFolder(folder.string());

  // Serial numbers no unit has had: the next identifiers of the database.
  auto newSerial = [&] {
    char text[32];
    std::snprintf(text, sizeof text, "3590%011lld", static_cast<long long>(db->NewID()));
    return std::string(text);
  };
  const std::string first = newSerial(), second = newSerial();
  struct TLine {
    int64_t Product;
    std::string ModeNO, Price, Qty;
  };
  auto takeThrough = [&](const std::string& caption, const std::vector<TLine>& lines) {
    const std::filesystem::path templates = folder / "打印模板" / caption;
    std::filesystem::create_directories(templates);
    if (!std::filesystem::exists(templates / (caption + "单.rmf"))) std::ofstream(templates / (caption + "单.rmf")) << caption;
    std::cout << "\n== Bill screen " << caption << ": " << lines.size() << " rows typed, saved, audited and printed\n";
    auto* screen = OpenEditor<TFrmBaseBillFramework>(Application(), caption);
    Application().Advance(100);  // the deferred start: a new bill
    TGridTableView& grid = *screen->tvResult;
    auto type = [&](const char* field, const std::string& text) {
      if (!text.empty()) grid.EditCell(grid.FocusedRecordIndex(), *grid.FindColumnByFieldName(field), text);
    };
    for (size_t i = 0; i < lines.size(); ++i) {
      if (i > 0) Application().Dispatch([&] { screen->actDetailAppend->Execute(); });
      type("F_PRODUCT_ID", std::to_string(lines[i].Product));
      type("F_MODE_NO", lines[i].ModeNO);
      type("F_QTY", lines[i].Qty);
      type("F_PRICE", lines[i].Price);
    }
    for (TAction* action : {screen->actBeforeSave, screen->actAudit, screen->actPrint})
      Application().Dispatch([action] { action->Execute(); });
    for (const std::string& error : Application().ShownErrors()) std::cout << "  error: " << error << '\n';
    Application().ClearShownErrors();
    const std::string id = screen->cdsMain->FieldByName("F_ID").AsString();
    auto bill = db->OpenSQL("SELECT F_CODE, F_BILL_DATE, F_STATUS, F_AUDITOR, F_AUDIT_DATE FROM " + screen->FormParams.F_UpdateTable +
                            " WITH(nolock) WHERE F_ID = " + id);
    PrintGrid(caption + " " + bill->FieldByName("F_CODE").AsString() + " (F_STATUS 2: audited)", *bill);
    const std::string detail = screen->FormParams.F_DETAIL_CONFIG.F_UPDATE_TABLE;
    auto rows = db->OpenSQL("SELECT p.F_NAME AS F_PRODUCT, d.F_MODE_NO, d.F_QTY, d.F_PRICE, d.F_MONEY FROM " + detail +
                            " d WITH(nolock) JOIN TB_PRODUCT_ATTRIBUTE p WITH(nolock) ON p.F_ID = d.F_PRODUCT_ID WHERE d.F_MID = " +
                            id + " ORDER BY d.F_ID");
    PrintGrid("Rows", *rows);
    auto stock = db->OpenSQL(
        "SELECT p.F_NAME AS F_PRODUCT, ISNULL(c.F_NAME, '') AS F_COLOR, st.F_MODE_NO, sh.F_NAME AS F_SHOP, "
        "l.F_NAME AS F_LOCATION, st.F_HAVE_QTY "
        "FROM TB_SYS_STOCK st WITH(nolock) JOIN TB_SHOP sh WITH(nolock) ON sh.F_ID = st.F_SHOP_ID "
        "JOIN TB_PRODUCT_ATTRIBUTE p WITH(nolock) ON p.F_ID = st.F_PRODUCT_ID "
        "LEFT JOIN TB_PRODUCT_COLOR c WITH(nolock) ON c.F_ID = st.F_COLOR_ID "
        "LEFT JOIN TB_STOCK_LOCATION l WITH(nolock) ON l.F_ID = st.F_LOCATION_ID "
        "WHERE st.F_MODE_NO IN (SELECT F_MODE_NO FROM " + detail + " WITH(nolock) WHERE F_MID = " + id + ") "
        "OR (st.F_MODE_NO IS NULL AND st.F_SHOP_ID = " + screen->cdsMain->FieldByName("F_SHOP_ID").AsString() +
        " AND st.F_LOCATION_ID IN (SELECT F_LOCATION_ID FROM " + detail + " WITH(nolock) WHERE F_MID = " + id + ")"
        " AND st.F_PRODUCT_ID IN (SELECT F_PRODUCT_ID FROM " + detail + " WITH(nolock) WHERE F_MID = " + id + ")) "
        "ORDER BY st.F_MODE_NO, st.F_ID");
    PrintGrid("The stock it left (F_HAVE_QTY 0: sold)", *stock);
    if (!printer->Files().empty()) std::cout << "  printed: " << printer->Files().back() << '\n';
  };
  takeThrough("采购入库", {{shop.Handsets.at(0), first, "5100", ""}, {shop.Handsets.at(1), second, "3500", ""},
                         {shop.Accessories.at(0), "", "8.5", "20"}});
  takeThrough("批发销售", {{shop.Handsets.at(0), first, "5999", ""}, {shop.Accessories.at(0), "", "15", "2"}});

  SetProgramFolder(previousFolder);
  ResetApplication();
  SysService::Clear();
  PackageShutdown();
}

// The wholesale sale on its stock-out screen, as the assistant works it at the first branch: one unit
// scanned by its whole serial number, one by its last six digits, two pasted from a list (with a number
// not in stock, which the paste lists as failed); each row priced by the shop's price list. The bill is
// saved and audited; the units it sold are shown with what the stock holds of them now.
void ShowStockOutScreen(const std::shared_ptr<TSQLiteDBAccess>& db) {
  const TSampleShop shop = ReadSampleShop(*db);
  static std::istringstream yesAnswers("y\ny\ny\ny\n");
  StartBillServices(db, shop, yesAnswers);
  TMemoryClipboard clipboard;
  ScopedClipboard clipboardScope(clipboard);

  const std::string branch = std::to_string(shop.Branches.at(0));
  auto units = db->OpenSQL("SELECT TOP 4 F_MODE_NO FROM VI_GetSysStock WITH(nolock) WHERE F_SHOP_ID = " + branch +
                           " AND F_PRODUCT_TYPE_ID = 1 ORDER BY F_MODE_NO DESC");
  std::vector<std::string> serials;
  for (units->First(); !units->Eof(); units->Next()) serials.push_back(units->Fields(0).AsString());
  if (serials.size() < 4) {
    std::cout << "\n== Stock-out screen 批发销售: the first branch has fewer than 4 handsets left\n";
  } else {
    std::cout << "\n== Stock-out screen 批发销售: " << serials[0] << " scanned, ..." << serials[1].substr(serials[1].size() - 6)
              << " typed, " << serials[2] << " and " << serials[3] << " pasted with a number not in stock\n";
    auto* screen = OpenEditor<TFrmBillOutStockFramework>(Application(), "批发销售");
    Application().Advance(100);  // the deferred start: a new bill
    auto scan = [&](const std::string& text) {
      screen->SetActiveControl(screen->edtModeNO);
      screen->edtModeNO->SelectAll();
      screen->TypeText(text);
      screen->PressKey(VK_RETURN);
    };
    scan(serials[0]);
    scan(serials[1].substr(serials[1].size() - 6));
    clipboard.SetText(serials[2] + "\r\n359000000000000\r\n" + serials[3] + "\r\n");
    Application().QueueModalScript([](TCustomForm& form) {
      auto& paste = static_cast<TFrmBatchPasteModeNO&>(form);
      form.PressKey('V', ssCtrl);
      paste.btnOK->PerformClick();
      for (const std::string& line : paste.mmo2->Lines())
        if (!line.empty()) std::cout << "  failed: " << line << '\n';
    });
    Application().Dispatch([&] { screen->actBatchPasteModeNO->Execute(); });
    for (TAction* action : {screen->actBeforeSave, screen->actAudit})
      Application().Dispatch([action] { action->Execute(); });
    for (const std::string& error : Application().ShownErrors()) std::cout << "  error: " << error << '\n';
    const std::string id = screen->cdsMain->FieldByName("F_ID").AsString();
    auto bill = db->OpenSQL("SELECT F_CODE, F_STATUS, F_TOTAL_QTY, F_TOTAL_MONEY FROM TB_PF_SALE WITH(nolock) WHERE F_ID = " + id);
    PrintGrid("批发销售 " + bill->FieldByName("F_CODE").AsString() + " (F_STATUS 2: audited)", *bill);
    auto rows = db->OpenSQL("SELECT d.F_MODE_NO, d.F_PRODUCT, d.F_QTY, d.F_PRICE, d.F_MONEY, st.F_HAVE_QTY "
                            "FROM TB_PF_SALE_DETAIL d WITH(nolock) LEFT JOIN TB_SYS_STOCK st WITH(nolock) "
                            "ON st.F_MODE_NO = d.F_MODE_NO AND st.F_OUT_BILL_ID = d.F_MID WHERE d.F_MID = " + id +
                            " ORDER BY d.F_ID");
    PrintGrid("Rows and the units they sold (F_HAVE_QTY 0: out of stock)", *rows);
  }
  ResetApplication();
  SysService::Clear();
  PackageShutdown();
}

void Run(const TOptions& options) {
  std::cout << "jxcbase demo on " << options.Database << '\n';
  auto db = OpenDefaultDatabase(options.Database, options.Sample);

  auto shops = db->OpenSQL(
      "SELECT s.F_CODE, s.F_NAME, ISNULL(p.F_NAME, '') AS F_PARENT\n"
      "FROM TB_SHOP s WITH(nolock) LEFT JOIN TB_SHOP p WITH(nolock) ON p.F_ID = s.F_PARENTID\n"
      "ORDER BY s.F_CODE");
  PrintGrid("Shops", *shops);

  auto stock = db->OpenSQL(
      "SELECT sh.F_NAME AS F_SHOP, pa.F_NAME AS F_PRODUCT, SUM(st.F_HAVE_QTY) AS F_QTY,\n"
      "  SUM(st.F_PRICE * st.F_HAVE_QTY) AS F_AMOUNT\n"
      "FROM TB_SYS_STOCK st WITH(nolock)\n"
      "  JOIN TB_SHOP sh WITH(nolock) ON sh.F_ID = st.F_SHOP_ID\n"
      "  JOIN TB_PRODUCT_ATTRIBUTE pa WITH(nolock) ON pa.F_ID = st.F_PRODUCT_ID\n"
      "WHERE st.F_HAVE_QTY > 0\n"
      "GROUP BY sh.F_NAME, pa.F_NAME ORDER BY sh.F_NAME, pa.F_NAME");
  PrintGrid("Stock by shop and product", *stock);

  // The query designer's way: a base statement and conditions; the builder writes the WHERE part. A
  // trailing-digits search on the serial number becomes a LIKE on the reversed column.
  auto builder = std::make_shared<TSQLBuilder>();
  builder->AddSQL("SELECT TOP 10 st.F_MODE_NO, st.F_PRICE FROM TB_SYS_STOCK st WITH(nolock) WHERE");
  TFilterItem serial;
  serial.SetFieldName("st.F_MODE_NO");
  serial.SetCaption("串码");
  serial.SetOperatorKind("foLike");
  serial.SetValue(Variant(std::string("00007")));
  serial.SetDisplayText(Variant(std::string("以00007结尾")));
  builder->AddCondition(serial);
  std::cout << "\n== Serial search: " << builder->GetFilterCaption() << '\n';
  auto found = db->OpenSQL(builder->GetSQL() + "\nORDER BY st.F_MODE_NO");
  PrintGrid("Units whose serial number ends in 00007", *found);

  // A result regrouped in memory, as the report screens do with their detail rows.
  TkbmMemSQL memSQL;
  memSQL.TablesAdd(*stock, "STOCK");
  memSQL.ExecSQL("SELECT F_SHOP, SUM(F_QTY) AS F_QTY, SUM(F_AMOUNT) AS F_AMOUNT FROM STOCK GROUP BY F_SHOP");
  PrintGrid("Stock by shop (regrouped in memory)", memSQL);

  ShowMasterDataScreen(db);
  ShowStockInScreen(db);
  ShowBillScreens(db, options.Database);
  ShowStockOutScreen(db);
  PrintStockByShop(*db, "Stock by shop at the end of the day");
}

}  // namespace

int main(int argc, char** argv) {
  try {
    Run(ParseOptions(argc, argv));
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "jxcdemo: " << e.what() << '\n';
    return 1;
  }
}

// jxcdemo: the main program. Opens the embedded shop database (creating it with the sample shop on the
// first run) and shows the library at work on it: the shop tree, the stock held by each shop, a serial
// number search whose condition the filter engine writes, a result regrouped in memory, and a master-data
// screen used as a shop assistant would (a colour added and saved through the colours screen, with the
// operation log it wrote). Every statement is sent in the server dialect the screens use; the database
// service adapts it for SQLite.
//
//   jxcdemo [--database FILE] [--units N]

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "editors/UnitFrmBaseDBGridEditor.h"
#include "filter/UnitFilterImp.h"
#include "foundation/PackageEntry.h"
#include "foundation/UnitPublicUtils.h"
#include "kernel/SysSvc.h"
#include "platform/Application.h"
#include "platform/ExtCtrls.h"
#include "platform/Grid.h"
#include "services/ConsoleDialog.h"
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
  serial.SetValue(Variant(std::string("%07")));
  serial.SetDisplayText(Variant(std::string("以07结尾")));
  builder->AddCondition(serial);
  std::cout << "\n== Serial search: " << builder->GetFilterCaption() << '\n';
  auto found = db->OpenSQL(builder->GetSQL() + "\nORDER BY st.F_MODE_NO");
  PrintGrid("Units whose serial number ends in 07", *found);

  // A result regrouped in memory, as the report screens do with their detail rows.
  TkbmMemSQL memSQL;
  memSQL.TablesAdd(*stock, "STOCK");
  memSQL.ExecSQL("SELECT F_SHOP, SUM(F_QTY) AS F_QTY, SUM(F_AMOUNT) AS F_AMOUNT FROM STOCK GROUP BY F_SHOP");
  PrintGrid("Stock by shop (regrouped in memory)", memSQL);

  ShowMasterDataScreen(db);
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

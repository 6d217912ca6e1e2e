// A purchase receipt through the stock-in screen: rows priced from the product, the checks of the save
// and what it stamps on every row and the header, batch numbers for new rows, the amount question, the
// summary beside the rows, the audit that brings the units in and the un-audit that is refused once a
// unit has moved on.
#include <gtest/gtest.h>

#include "InStockTestSupport.h"

namespace jxc {
namespace {

using testing::InStockTest;
using testing::TRow;

class InStockBillTest : public InStockTest {
 protected:
  std::string Id(int64_t id) const { return std::to_string(id); }
  static std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
  }
  Currency Money(const char* text) const { return Currency::Parse(text); }
};

TEST_F(InStockBillTest, RowsArePricedFromTheProductAndATypedPriceIsKept) {
  auto* screen = OpenInStock();
  TClientDataSet& rows = *screen->CdsDetail;
  EXPECT_EQ(rows.FieldByName("F_PRESENT").AsInteger(), 0);
  EXPECT_EQ(rows.FieldByName("F_COLOR_ID").AsInteger(), 0);
  EXPECT_EQ(rows.FieldByName("F_LOCATION_ID").AsLargeInt(), Counter(0));

  ASSERT_TRUE(TypeCell(*screen, "F_PRODUCT_ID", Id(Handset(0))));
  EXPECT_EQ(rows.FieldByName("F_PRICE").AsCurrency(), Money("5999"));
  EXPECT_EQ(rows.FieldByName("F_PRICE_EMPLOYEE").AsCurrency(), Money("5999"));
  EXPECT_EQ(rows.FieldByName("F_MONEY").AsCurrency(), Money("5999"));
  ASSERT_TRUE(TypeCell(*screen, "F_PRICE", "6100"));

  // The next row of that product reads nothing and takes the product's price, not the one typed above.
  Click(*screen, screen->actDetailAppend);
  const int64_t calls = db->CallCount();
  ASSERT_TRUE(TypeCell(*screen, "F_PRODUCT_ID", Id(Handset(0))));
  EXPECT_EQ(db->CallCount(), calls);
  EXPECT_EQ(rows.FieldByName("F_PRICE").AsCurrency(), Money("5999"));

  // A price the row holds before its product (an order's) stays, also when the product changes.
  Click(*screen, screen->actDetailAppend);
  ASSERT_TRUE(TypeCell(*screen, "F_PRICE", "5000"));
  ASSERT_TRUE(TypeCell(*screen, "F_PRODUCT_ID", Id(Handset(1))));
  EXPECT_EQ(rows.FieldByName("F_PRICE").AsCurrency(), Money("5000"));
  EXPECT_EQ(rows.FieldByName("F_PRICE_EMPLOYEE").AsCurrency(), Money("3599"));
  ASSERT_TRUE(TypeCell(*screen, "F_PRODUCT_ID", Id(Handset(2))));
  EXPECT_EQ(rows.FieldByName("F_PRICE").AsCurrency(), Money("5000"));
  EXPECT_EQ(rows.FieldByName("F_PRICE_EMPLOYEE").AsCurrency(), Money("5199"));
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{});
}

TEST_F(InStockBillTest, ASerialNumberNeedsItsProductFirst) {
  auto* screen = OpenInStock();
  EXPECT_FALSE(TypeCell(*screen, "F_MODE_NO", NewSerial(1)));
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{"请选择商品"});
  EXPECT_TRUE(screen->CdsDetail->FieldByName("F_MODE_NO").IsNull());
  EXPECT_EQ(screen->ModeNOList().Count(), 0);
  Application().ClearShownErrors();

  ASSERT_TRUE(TypeCell(*screen, "F_PRODUCT_ID", Id(Handset(0))));
  ASSERT_TRUE(TypeCell(*screen, "F_MODE_NO", NewSerial(1)));
  EXPECT_EQ(screen->ModeNOList().Items(), std::set<std::string>{NewSerial(1)});
}

TEST_F(InStockBillTest, EachRowCheckRefusesTheSaveAndChangesNothing) {
  auto* screen = OpenInStock();
  EnterRows(*screen, {{Handset(0), NewSerial(1), "5999", 1, shop.Colors[0]}, {Handset(1), NewSerial(2), "3599"}});
  ExpectRefused(*screen, screen->actBeforeSave, TDialogKind::Error, "第2行颜色不能为空");
  ASSERT_TRUE(TypeCell(*screen, "F_COLOR_ID", Id(shop.Colors[1])));

  // A card needs no colour, but it is one unit.
  Click(*screen, screen->actDetailAppend);
  ASSERT_TRUE(TypeCell(*screen, "F_PRODUCT_ID", Id(shop.Card)));
  ASSERT_TRUE(TypeCell(*screen, "F_MODE_NO", "898600000001"));
  ASSERT_TRUE(TypeCell(*screen, "F_QTY", "0"));
  ExpectRefused(*screen, screen->actBeforeSave, TDialogKind::Error, "第3行商品数量必须等于1");
  ASSERT_TRUE(TypeCell(*screen, "F_QTY", "2"));
  ExpectRefused(*screen, screen->actBeforeSave, TDialogKind::Error, "第3行商品数量必须等于1");
  ASSERT_TRUE(TypeCell(*screen, "F_QTY", "1"));

  // A handset without its serial number.
  Click(*screen, screen->actDetailAppend);
  ASSERT_TRUE(TypeCell(*screen, "F_PRODUCT_ID", Id(Handset(2))));
  ASSERT_TRUE(TypeCell(*screen, "F_COLOR_ID", Id(shop.Colors[2])));
  ExpectRefused(*screen, screen->actBeforeSave, TDialogKind::Error, "第4行手机串号/卡号不能为空");
  Click(*screen, screen->actDetailDelete);

  // No purchase price: a warning, unless zero prices are allowed, when the bill's own question comes.
  screen->CdsDetail->First();
  ASSERT_TRUE(TypeCell(*screen, "F_PRICE", "0"));
  ExpectRefused(*screen, screen->actBeforeSave, TDialogKind::Warning, "第1行进货价为0,请修改");
  SetParam(kSpAllowZeroPurchasePrice, Variant(true));
  dialog->QueueAnswer(false);
  ExpectRefused(*screen, screen->actBeforeSave, TDialogKind::Confirm, "检测到第1行,单价为 0 确定继续吗?");
  SetParam(kSpAllowZeroPurchasePrice, Variant(false));
  ASSERT_TRUE(TypeCell(*screen, "F_PRICE", "5999"));

  // The staff cost price is checked where staff cost prices are in use, and only its own field.
  screen->CdsDetail->Next();
  ASSERT_TRUE(TypeCell(*screen, "F_PRICE_EMPLOYEE", "0"));
  SetParam(kSpEmployeeCostPrice, Variant(true));
  ExpectRefused(*screen, screen->actBeforeSave, TDialogKind::Warning, "第2行员工成本价为0,请修改");
  SetParam(kSpEmployeeCostPrice, Variant(false));
  Click(*screen, screen->actBeforeSave);
  EXPECT_EQ(screen->cdsMain->ChangeCount(), 0) << JoinStrings(dialog->Texts(TDialogKind::Error), "|");
  EXPECT_EQ(Count(Made("TB_IN_STOCK_DETAIL")), 3);
}

TEST_F(InStockBillTest, TheSaveStampsEveryRowAndTheHeaderInExactMoney) {
  auto* screen = OpenInStock();
  ChooseSupplier(*screen, shop.Suppliers[1]);
  EnterRows(*screen, {{Handset(0), NewSerial(1), "5999.5", 1, shop.Colors[1]},
                      {shop.Accessories[0], "", "0.10", 3},
                      {shop.Card, "898600000001", "10"}});
  ASSERT_TRUE(TypeCell(*screen, "F_PRESENT", "1"));  // the card comes free
  Click(*screen, screen->actBeforeSave);
  ASSERT_EQ(dialog->Texts(TDialogKind::Error), std::vector<std::string>{});
  const std::string id = screen->cdsMain->FieldByName("F_ID").AsString();
  const std::string tail = "|" + Id(shop.Suppliers[1]) + "|" + Id(Branch(0)) + "|1|0|";
  EXPECT_EQ(Lines("SELECT F_MODE_NO, F_QTY, F_PRICE, F_COST_PRICE, F_MONEY, F_COST_MONEY, F_GOODS_MONEY, F_PRESENT, F_ROOT_ID, "
                  "F_SHOP_ID, F_SOURCE_ID = F_ID, F_USE_QTY FROM TB_IN_STOCK_DETAIL WHERE F_MID = " + id + " ORDER BY F_ID"),
            (std::vector<std::string>{NewSerial(1) + "|1|5999.5|5999.5|5999.5|5999.5|0|0" + tail,
                                      "|3|0.1|0.1|0.3|0.3|0|0" + tail, "898600000001|1|10|0|0|0|0|1" + tail}));
  EXPECT_EQ(Count("SELECT COUNT(DISTINCT F_PH) FROM TB_IN_STOCK_DETAIL WHERE F_MID = " + id), 3);
  EXPECT_EQ(Lines("SELECT F_TOTAL_QTY, F_TOTAL_MONEY, F_COST_MONEY, F_GOODS_MONEY FROM TB_IN_STOCK WHERE F_ID = " + id),
            std::vector<std::string>{"5|5999.8|5999.8|0|"});

  // Stored rows keep their batch numbers; the two new ones get the next numbers in one request. What
  // audits counted of a row is theirs: the screen leaves it as it is.
  const std::string batch = Text("SELECT F_PH FROM TB_IN_STOCK_DETAIL WHERE F_MODE_NO = '" + NewSerial(1) + "'");
  db->QueryNative("UPDATE TB_IN_STOCK_DETAIL SET F_USE_QTY = 2 WHERE F_MID = " + id + " AND F_QTY = 3");
  Click(*screen, screen->actRefresh);
  Click(*screen, screen->actEdit);
  screen->CdsDetail->Locate("F_QTY", Variant(3));
  ASSERT_TRUE(TypeCell(*screen, "F_PRICE", "0.20"));
  screen->CdsDetail->Last();
  EnterRows(*screen, {{Handset(1), NewSerial(2), "3599", 1, shop.Colors[0]}, {Handset(1), NewSerial(3), "3599", 1, shop.Colors[0]}});
  Click(*screen, screen->actBeforeSave);
  ASSERT_EQ(dialog->Texts(TDialogKind::Error), std::vector<std::string>{});
  const std::vector<std::string> batches =
      Lines("SELECT F_PH FROM TB_IN_STOCK_DETAIL WHERE F_MID = " + id + " AND F_MODE_NO IS NOT NULL ORDER BY F_ID");
  ASSERT_EQ(batches.size(), 4u);
  EXPECT_EQ(batches[0], batch + "|");
  EXPECT_EQ(std::stoll(batches[3]), std::stoll(batches[2]) + 1);
  EXPECT_EQ(Lines("SELECT F_TOTAL_QTY, F_TOTAL_MONEY FROM TB_IN_STOCK WHERE F_ID = " + id),
            std::vector<std::string>{"7|13198.1|"});
  EXPECT_EQ(Lines("SELECT F_MONEY, F_COST_PRICE, F_USE_QTY FROM TB_IN_STOCK_DETAIL WHERE F_MID = " + id + " AND F_QTY = 3"),
            std::vector<std::string>{"0.6|0.2|2|"});
}

TEST_F(InStockBillTest, AWriteThatFailsGivesTheRowsAndTheHeaderBack) {
  auto* screen = OpenInStock();
  ChooseSupplier(*screen, shop.Suppliers[0]);
  EnterRows(*screen, {{Handset(0), NewSerial(1), "5999.5", 1, shop.Colors[1]}, {shop.Accessories[1], "", "2.35", 4}});
  screen->CdsDetail->CheckBrowseMode();
  const std::string before = Screen(*screen);
  db->QueryNative("CREATE TEMP TRIGGER TR_FULL BEFORE INSERT ON TB_IN_STOCK_DETAIL BEGIN SELECT RAISE(ABORT, '磁盘已满'); END");
  dialog->Clear();
  Click(*screen, screen->actBeforeSave);
  ASSERT_EQ(dialog->Texts(TDialogKind::Error).size(), 1u);
  EXPECT_NE(dialog->Texts(TDialogKind::Error)[0].find("磁盘已满"), std::string::npos);
  EXPECT_EQ(Screen(*screen), before);
  EXPECT_EQ(Count(Made("TB_IN_STOCK")), 0);

  db->QueryNative("DROP TRIGGER TR_FULL");
  Click(*screen, screen->actBeforeSave);
  EXPECT_EQ(screen->cdsMain->ChangeCount(), 0);
  EXPECT_EQ(Count(Made("TB_IN_STOCK_DETAIL")), 2);
}

TEST_F(InStockBillTest, TheAmountQuestionShowsTotalAndAverageAndNoIsNoSave) {
  SetParam(kSpConfirmBillAmount, Variant(true));
  auto* screen = OpenInStock();
  EnterRows(*screen, {{Handset(0), NewSerial(1), "5999.5", 1, shop.Colors[0]}, {Handset(1), NewSerial(2), "3599", 1, shop.Colors[0]}});
  dialog->QueueAnswer(false);
  ExpectRefused(*screen, screen->actBeforeSave, TDialogKind::Confirm, "本单总额为9598.50元平均单价4799.25元,确定吗？");

  // Without units there is no average.
  Click(*screen, screen->actDetailDelete);
  Click(*screen, screen->actDetailDelete);
  EnterRows(*screen, {{shop.Accessories[0], "", "8.5", 0}});
  dialog->QueueAnswer(false);
  ExpectRefused(*screen, screen->actBeforeSave, TDialogKind::Confirm, "本单总额为0.00元,确定吗？");
  dialog->QueueAnswer(true);
  Click(*screen, screen->actBeforeSave);
  EXPECT_EQ(screen->cdsMain->ChangeCount(), 0);
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{});
}

TEST_F(InStockBillTest, TheAuditBringsEachUnitInWithItsBatchCostAndSupplier) {
  auto* screen = OpenInStock();
  ChooseSupplier(*screen, shop.Suppliers[0]);
  EnterRows(*screen, {{Handset(0), NewSerial(1), "5999.5", 1, shop.Colors[1]}, {Handset(1), NewSerial(2), "3599", 1, shop.Colors[2]}});
  ASSERT_TRUE(TypeCell(*screen, "F_LOCATION_ID", Id(shop.StoreLocations[0])));
  Click(*screen, screen->actBeforeSave);
  Click(*screen, screen->actAudit);
  ASSERT_EQ(screen->cdsMain->FieldByName("F_STATUS").AsInteger(), 2) << JoinStrings(dialog->Texts(TDialogKind::Error), "|");
  const std::string id = screen->cdsMain->FieldByName("F_ID").AsString();
  const std::vector<std::string> batches = Lines("SELECT F_PH FROM TB_IN_STOCK_DETAIL WHERE F_MID = " + id + " ORDER BY F_ID");
  EXPECT_EQ(Lines("SELECT F_MODE_NO, F_SHOP_ID, F_LOCATION_ID, F_COLOR_ID, F_PH, F_COST_PRICE, F_CUSTOMER_ID, F_HAVE_QTY, "
                  "F_IN_DATE IS NOT NULL FROM TB_SYS_STOCK WHERE F_IN_BILL_ID = " + id + " ORDER BY F_MODE_NO"),
            (std::vector<std::string>{
                NewSerial(1) + "|" + Id(Branch(0)) + "|" + Id(Counter(0)) + "|" + Id(shop.Colors[1]) + "|" + batches[0] +
                    "5999.5|" + Id(shop.Suppliers[0]) + "|1|1|",
                NewSerial(2) + "|" + Id(Branch(0)) + "|" + Id(shop.StoreLocations[0]) + "|" + Id(shop.Colors[2]) + "|" +
                    batches[1] + "3599|" + Id(shop.Suppliers[0]) + "|1|1|"}));
  EXPECT_EQ(Inconsistencies(), "");

  // A unit that came into stock on another receipt meanwhile refuses the whole audit of the next bill.
  Click(*screen, screen->actNew);
  EnterRows(*screen, {{Handset(2), NewSerial(3), "5199", 1, shop.Colors[0]}, {Handset(3), NewSerial(4), "5999", 1, shop.Colors[0]}});
  Click(*screen, screen->actBeforeSave);
  auto* other = OpenInStock(testing::kPlainStockIn);
  SaveNewBill(*other, {{Handset(3), NewSerial(4), "5999", 1, shop.Colors[0]}});
  Click(*other, other->actAudit);
  ASSERT_EQ(other->cdsMain->FieldByName("F_STATUS").AsInteger(), 2);
  const std::string code = screen->cdsMain->FieldByName("F_CODE").AsString();
  const std::vector<std::string> stock = Stock();
  dialog->Clear();
  Click(*screen, screen->actAudit);
  ASSERT_EQ(dialog->Texts(TDialogKind::Error).size(), 1u);
  EXPECT_TRUE(StartsText("单据号[" + code + "]审批失败\r\n失败原因：", dialog->Texts(TDialogKind::Error)[0]));
  EXPECT_EQ(Stock(), stock);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_STATUS").AsInteger(), 1);
}

TEST_F(InStockBillTest, UnAuditIsRefusedOnceAUnitOfTheBillWasSold) {
  const std::vector<std::string> stockBefore = Stock();
  auto* receipt = OpenInStock();
  EnterRows(*receipt, {{Handset(0), NewSerial(1), "5999", 1, shop.Colors[0]}, {Handset(1), NewSerial(2), "3599", 1, shop.Colors[0]}});
  Click(*receipt, receipt->actBeforeSave);
  Click(*receipt, receipt->actAudit);
  ASSERT_EQ(receipt->cdsMain->FieldByName("F_STATUS").AsInteger(), 2);

  auto* sale = Open(testing::kSale);
  SaveNewBill(*sale, {{Handset(0), NewSerial(1), "6500"}});
  Click(*sale, sale->actAudit);
  ASSERT_EQ(sale->cdsMain->FieldByName("F_STATUS").AsInteger(), 2);

  ExpectRefused(*receipt, receipt->actUnAudit, TDialogKind::Error, "反审核失败\r\n失败原因:库存已变动,如需修改请使用纠正功能");
  EXPECT_EQ(receipt->cdsMain->FieldByName("F_STATUS").AsInteger(), 2);

  Click(*sale, sale->actUnAudit);
  dialog->Clear();
  Click(*receipt, receipt->actUnAudit);
  EXPECT_EQ(receipt->cdsMain->FieldByName("F_STATUS").AsInteger(), 1) << JoinStrings(dialog->Texts(TDialogKind::Error), "|");
  EXPECT_EQ(Stock(), stockBefore);
  EXPECT_EQ(Inconsistencies(), "");
}

TEST_F(InStockBillTest, AThousandUnitsComeInAreSoldInPartAndTheReceiptGoesOnlyOnceTheSaleIsUndone) {
  const std::vector<std::string> stockBefore = Stock();
  auto* receipt = OpenInStock();
  ChooseSupplier(*receipt, shop.Suppliers[0]);
  EnterRows(*receipt, {{Handset(0), "", "5999", 1, shop.Colors[0]}});
  std::string pasted;
  for (int n = 1; n <= 1000; ++n) pasted += NewSerial(n) + "\r\n";
  EXPECT_TRUE(PasteThrough(*receipt, receipt->actBatchPasteModeNO, pasted).empty());
  ASSERT_EQ(receipt->CdsDetail->RecordCount(), 1000);
  EXPECT_EQ(SummaryLines(*receipt), std::vector<std::string>{Id(Handset(0)) + "|" + Id(shop.Colors[0]) + "|1000"});
  Click(*receipt, receipt->actBeforeSave);
  ASSERT_EQ(receipt->cdsMain->ChangeCount(), 0) << JoinStrings(dialog->Texts(TDialogKind::Error), "|");
  Click(*receipt, receipt->actAudit);
  ASSERT_EQ(receipt->cdsMain->FieldByName("F_STATUS").AsInteger(), 2);
  const std::string id = receipt->cdsMain->FieldByName("F_ID").AsString();
  EXPECT_EQ(Lines("SELECT COUNT(*), SUM(F_COST_PRICE), COUNT(DISTINCT F_PH) FROM TB_SYS_STOCK WHERE F_HAVE_QTY = 1 "
                  "AND F_IN_BILL_ID = " + id),
            std::vector<std::string>{"1000|5999000|1000|"})
      << "every unit in stock with its cost and batch";

  // Ten of them sold over the counter of the wholesale screen, as the menu opens it.
  auto* sale = OpenByFunctionRow(testing::kSale);
  ASSERT_NE(sale, nullptr);
  std::vector<TRow> sold;
  for (int n = 1; n <= 10; ++n) sold.push_back({Handset(0), NewSerial(n * 7), "6500"});
  SaveNewBill(*sale, sold);
  Click(*sale, sale->actAudit);
  ASSERT_EQ(sale->cdsMain->FieldByName("F_STATUS").AsInteger(), 2) << JoinStrings(dialog->Texts(TDialogKind::Error), "|");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_SYS_STOCK WHERE F_HAVE_QTY = 1 AND F_IN_BILL_ID = " + id), 990);

  ExpectRefused(*receipt, receipt->actUnAudit, TDialogKind::Error, "反审核失败\r\n失败原因:库存已变动,如需修改请使用纠正功能");

  Click(*sale, sale->actUnAudit);
  ASSERT_EQ(sale->cdsMain->FieldByName("F_STATUS").AsInteger(), 1);
  Click(*receipt, receipt->actUnAudit);
  ASSERT_EQ(receipt->cdsMain->FieldByName("F_STATUS").AsInteger(), 1) << JoinStrings(dialog->Texts(TDialogKind::Error), "|");
  dialog->QueueAnswer(true);
  Click(*receipt, receipt->actDelete);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_IN_STOCK_DETAIL WHERE F_MID = " + id), 0);
  EXPECT_EQ(receipt->cdsMain->FieldByName("F_CODE").AsString(), "新增单据");
  EXPECT_EQ(SummaryLines(*receipt), std::vector<std::string>{});
  EXPECT_EQ(Stock(), stockBefore);
  EXPECT_EQ(Inconsistencies(), "");
}

TEST_F(InStockBillTest, TheSummaryCountsUnitsPerProductAndColourAsRowsChange) {
  auto* screen = OpenInStock();
  EXPECT_FALSE(screen->cxGrid2->Visible()) << "nothing to count yet";
  const std::string h = Id(Handset(0)), a = Id(shop.Accessories[0]), c0 = Id(shop.Colors[0]), c1 = Id(shop.Colors[1]);
  EnterRows(*screen, {{Handset(0), NewSerial(1), "5999", 1, shop.Colors[0]},
                      {Handset(0), NewSerial(2), "5999", 1, shop.Colors[0]},
                      {Handset(0), NewSerial(3), "5999", 1, shop.Colors[1]},
                      {shop.Accessories[0], "", "8.5", 5, shop.Colors[0]}});
  screen->CdsDetail->CheckBrowseMode();
  EXPECT_EQ(SummaryLines(*screen), Sorted({a + "|" + c0 + "|5", h + "|" + c0 + "|2", h + "|" + c1 + "|1"}));
  EXPECT_EQ(SummaryLines(*screen), RegroupedLines(*screen));
  EXPECT_TRUE(screen->cxGrid2->Visible());
  TGridDataController& lines = screen->tvResultSum->DataController();
  EXPECT_EQ(lines.FooterSummaryText(*screen->tvResultSum->FindColumnByFieldName("F_PRODUCT")), "记录数3条");
  EXPECT_EQ(lines.FooterSummaryValue(*screen->tvResultSum->FindColumnByFieldName("F_QTY")).AsInt64(), 8);
  std::vector<std::string> colours;
  for (int record : lines.Rows()) colours.push_back(lines.DisplayText(record, *screen->tvResultSum->FindColumnByFieldName("F_COLOR_ID")));
  std::sort(colours.begin(), colours.end());
  const std::string red = Text("SELECT F_NAME FROM TB_PRODUCT_COLOR WHERE F_ID = " + c0);
  const std::string other = Text("SELECT F_NAME FROM TB_PRODUCT_COLOR WHERE F_ID = " + c1);
  std::vector<std::string> expected = {red, red, other};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(colours, expected) << "the colour shown by its name";

  // A row given another colour moves to that colour's line; an edit dropped changes nothing.
  screen->CdsDetail->First();
  ASSERT_TRUE(TypeCell(*screen, "F_COLOR_ID", c1));
  screen->CdsDetail->Post();
  EXPECT_EQ(SummaryLines(*screen), Sorted({a + "|" + c0 + "|5", h + "|" + c0 + "|1", h + "|" + c1 + "|2"}));
  screen->CdsDetail->Last();
  ASSERT_TRUE(TypeCell(*screen, "F_QTY", "9"));
  screen->CdsDetail->Cancel();
  EXPECT_EQ(SummaryLines(*screen), RegroupedLines(*screen));
  ASSERT_TRUE(TypeCell(*screen, "F_QTY", "7"));
  screen->CdsDetail->Post();
  EXPECT_EQ(SummaryLines(*screen), Sorted({a + "|" + c0 + "|7", h + "|" + c0 + "|1", h + "|" + c1 + "|2"}));

  // A deleted row leaves its line; the last row of a line takes the line with it.
  screen->CdsDetail->First();
  Click(*screen, screen->actDetailDelete);
  screen->CdsDetail->Locate("F_MODE_NO", Variant(NewSerial(2)));
  Click(*screen, screen->actDetailDelete);
  EXPECT_EQ(SummaryLines(*screen), Sorted({a + "|" + c0 + "|7", h + "|" + c1 + "|1"}));
  EXPECT_EQ(SummaryLines(*screen), RegroupedLines(*screen));

  // Saved and read again, the same lines; a new bill has none.
  Click(*screen, screen->actBeforeSave);
  Click(*screen, screen->actRefresh);
  EXPECT_EQ(SummaryLines(*screen), Sorted({a + "|" + c0 + "|7", h + "|" + c1 + "|1"}));
  Click(*screen, screen->actNew);
  EXPECT_EQ(SummaryLines(*screen), std::vector<std::string>{});
  EXPECT_FALSE(screen->cxGrid2->Visible());
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{});
}

}  // namespace
}  // namespace jxc

// The whole life of a bill through its screen on the sample shop: a purchase receipt and a wholesale sale
// typed in, saved, audited, un-audited and deleted, with the stock each step leaves compared row by row
// with a snapshot, the codes, statuses and operation log the bill gets, and what the screen offers at each
// step.
#include <gtest/gtest.h>

#include "BillTestSupport.h"

namespace jxc {
namespace {

using testing::BillTest;
using testing::TRow;

class BillLifecycleTest : public BillTest {};

TEST_F(BillLifecycleTest, ANewBillHasItsDefaultsAndOneRowToTypeInto) {
  auto* screen = Open(testing::kStockIn);
  EXPECT_EQ(screen->Name(), "CGRK");
  EXPECT_EQ(screen->lblHeader->Caption(), "采购入库");
  EXPECT_EQ(screen->ID(), "0");
  EXPECT_EQ(screen->BillType(), 2);
  TClientDataSet& header = *screen->cdsMain;
  ASSERT_EQ(header.State(), dsInsert);
  EXPECT_EQ(header.FieldByName("F_CODE").AsString(), "新增单据");
  EXPECT_EQ(header.FieldByName("F_STATUS").AsInteger(), 1);
  EXPECT_EQ(header.FieldByName("F_KIND").AsInteger(), 2);
  EXPECT_EQ(header.FieldByName("F_SHOP_ID").AsLargeInt(), Branch(0));
  EXPECT_EQ(header.FieldByName("F_ACCOUNT_ID").AsString(), Text("SELECT F_ACCOUNT_ID FROM TB_SHOP WHERE F_ID = " + std::to_string(Branch(0))));
  EXPECT_EQ(header.FieldByName("F_ADD_USER").AsString(), "张三");
  EXPECT_EQ(header.FieldByName("F_ADD_USER_ID").AsLargeInt(), 7);
  EXPECT_EQ(header.FieldByName("F_BILL_DATE").AsDateTime(), Date());
  EXPECT_GT(header.FieldByName("F_ID").AsLargeInt(), 0);
  ASSERT_EQ(screen->CdsDetail->State(), dsInsert) << "one row to type into";
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_QTY").AsInteger(), 1);
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_KIND").AsInteger(), 2);
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_LOCATION_ID").AsLargeInt(), Counter(0));
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_MID").AsLargeInt(), header.FieldByName("F_ID").AsLargeInt());

  EXPECT_TRUE(screen->actBeforeSave->Enabled);
  EXPECT_TRUE(screen->actUndo->Enabled);
  EXPECT_FALSE(screen->actAudit->Enabled);
  EXPECT_FALSE(screen->actNew->Enabled);
  EXPECT_FALSE(screen->actPrint->Enabled);
  EXPECT_TRUE(screen->imgStatus1->Visible());
  EXPECT_FALSE(screen->imgStatus2->Visible());
  EXPECT_TRUE(screen->actTrackModeNO->Visible);
  EXPECT_EQ(screen->tvResult->BandCount(), 1);
  EXPECT_EQ(screen->tvResult->Bands(0).Caption, "基本信息");
  EXPECT_EQ(screen->tvResult->ColumnCount(), screen->CdsDetail->FieldCount());
  EXPECT_EQ(screen->tvResult->OptionsView.DataRowHeight, 21);
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{});
}

TEST_F(BillLifecycleTest, AStockInLivesThroughSaveAuditUnAuditAndDelete) {
  auto* screen = Open(testing::kStockIn);
  const std::vector<std::string> stockBefore = Stock();
  const std::vector<TRow> rows = {{Handset(0), "35000000000101", "3000.5"},
                                  {Handset(1), NewSerial(2), "2999"},
                                  {shop.Accessories[0], "", "8.5", 3, shop.Colors[0]}};
  EnterRows(*screen, rows);
  EXPECT_EQ(screen->ModeNOList().Count(), 2);
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_MONEY").AsCurrency(), Currency::Parse("25.5"));

  // First save: a real code, header and rows in one transaction with the log row.
  Click(*screen, screen->actBeforeSave);
  ASSERT_TRUE(dialog->Texts(TDialogKind::Error).empty()) << dialog->Texts(TDialogKind::Error).front();
  const std::string id = screen->cdsMain->FieldByName("F_ID").AsString();
  const std::string code = screen->cdsMain->FieldByName("F_CODE").AsString();
  EXPECT_TRUE(StartsText("CGRK", code)) << code;
  EXPECT_EQ(screen->ID(), id);
  EXPECT_EQ(Text("SELECT F_CODE FROM TB_IN_STOCK WHERE F_ID = " + id), code);
  EXPECT_EQ(Text("SELECT F_STATUS FROM TB_IN_STOCK WHERE F_ID = " + id), "1");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_IN_STOCK_DETAIL WHERE F_MID = " + id), 3);
  EXPECT_EQ(Lines("SELECT F_MODE_NO, F_QTY, F_PRICE, F_MONEY, F_UNIT, F_LOCATION_ID, F_COLOR_ID, F_CONFIG_ID FROM TB_IN_STOCK_DETAIL "
                  "WHERE F_MID = " + id + " ORDER BY F_ID"),
            (std::vector<std::string>{"35000000000101|1|3000.5|3000.5|台|" + std::to_string(Counter(0)) + "|0|" +
                                          Text("SELECT F_CONFIG_ID FROM TB_PRODUCT_ATTRIBUTE WHERE F_ID = " + std::to_string(Handset(0))) + "|",
                                      NewSerial(2) + "|1|2999|2999|台|" + std::to_string(Counter(0)) + "|0|" +
                                          Text("SELECT F_CONFIG_ID FROM TB_PRODUCT_ATTRIBUTE WHERE F_ID = " + std::to_string(Handset(1))) + "|",
                                      "|3|8.5|25.5|个|" + std::to_string(Counter(0)) + "|" + std::to_string(shop.Colors[0]) + "|0|"}));
  EXPECT_EQ(Log(id), std::vector<std::string>{"采购入库 [张三]  [新增] " + code});
  EXPECT_EQ(Lines("SELECT F_TOTAL_QTY, F_TOTAL_MONEY FROM TB_IN_STOCK WHERE F_ID = " + id),
            std::vector<std::string>{"5|6025|"}) << "the header's totals are its rows' sums";
  EXPECT_EQ(Stock(), stockBefore) << "saving moves no stock";
  EXPECT_TRUE(screen->actAudit->Enabled);
  EXPECT_TRUE(screen->actNew->Enabled);
  EXPECT_FALSE(screen->actBeforeSave->Enabled);
  EXPECT_EQ(progress->ShownTexts(), std::vector<std::string>{"数据保存中,请稍候..."});
  EXPECT_FALSE(progress->Showing());

  // A second save after a change keeps the code and logs an edit.
  Click(*screen, screen->actEdit);
  screen->CdsDetail->First();
  ASSERT_TRUE(TypeCell(*screen, "F_PRICE", "3100"));
  Click(*screen, screen->actBeforeSave);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_CODE").AsString(), code);
  EXPECT_EQ(Log(id).back(), "采购入库 [张三]  [编辑] " + code);
  EXPECT_EQ(Text("SELECT F_PRICE FROM TB_IN_STOCK_DETAIL WHERE F_MODE_NO = '35000000000101'"), "3100");

  // Audit: every unit in stock at the bill's shop and the row's counter, the counted accessory added.
  const int64_t accessoryQty = Count("SELECT F_HAVE_QTY FROM TB_SYS_STOCK WHERE F_MODE_NO IS NULL AND F_SHOP_ID = " +
                                     std::to_string(Branch(0)) + " AND F_PRODUCT_ID = " + std::to_string(shop.Accessories[0]));
  dialog->Clear();
  Click(*screen, screen->actAudit);
  EXPECT_EQ(dialog->Texts(TDialogKind::Info), std::vector<std::string>{"单据号[" + code + "]审批成功"});
  EXPECT_EQ(dialog->Texts(TDialogKind::Tip), std::vector<std::string>{"单据[" + code + "]已刷新"});
  EXPECT_EQ(screen->cdsMain->FieldByName("F_STATUS").AsInteger(), 2);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_AUDITOR").AsString(), "张三");
  EXPECT_FALSE(screen->cdsMain->FieldByName("F_AUDIT_DATE").IsNull()) << "read back from the database";
  EXPECT_EQ(Log(id).back(), "采购入库 [张三]  [审核] " + code);
  // Row by row: the stock before is unchanged but for the accessory's counted row, which holds 3 more; the
  // two handsets are new rows.
  const std::string accessoryRow = Text("SELECT F_ID FROM TB_SYS_STOCK WHERE F_MODE_NO IS NULL AND F_SHOP_ID = " +
                                        std::to_string(Branch(0)) + " AND F_PRODUCT_ID = " + std::to_string(shop.Accessories[0]));
  const std::vector<std::string> audited = Stock();
  ASSERT_EQ(audited.size(), stockBefore.size() + 2);
  for (size_t i = 0; i < stockBefore.size(); ++i) {
    if (StartsText(accessoryRow + "|", stockBefore[i])) continue;
    EXPECT_EQ(audited[i], stockBefore[i]);
  }
  EXPECT_EQ(Count("SELECT F_HAVE_QTY FROM TB_SYS_STOCK WHERE F_ID = " + accessoryRow), accessoryQty + 3);
  EXPECT_EQ(Lines("SELECT F_MODE_NO, F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, F_HAVE_QTY, F_IN_BILL_ID FROM TB_SYS_STOCK "
                  "WHERE F_ID > " + stockBefore.back().substr(0, stockBefore.back().find('|')) + " ORDER BY F_PRODUCT_ID"),
            (std::vector<std::string>{"35000000000101|" + std::to_string(Branch(0)) + "|" + std::to_string(Counter(0)) + "|" +
                                          std::to_string(Handset(0)) + "|1|" + id + "|",
                                      NewSerial(2) + "|" + std::to_string(Branch(0)) + "|" + std::to_string(Counter(0)) + "|" +
                                          std::to_string(Handset(1)) + "|1|" + id + "|"}));
  EXPECT_EQ(Inconsistencies(), "");
  // The audited bill is read-only.
  EXPECT_FALSE(screen->grpBillHeader->Enabled());
  EXPECT_FALSE(screen->actDetailAppend->Enabled);
  EXPECT_FALSE(screen->actAudit->Enabled);
  EXPECT_TRUE(screen->actUnAudit->Enabled);
  EXPECT_TRUE(screen->imgStatus2->Visible());
  EXPECT_FALSE(TypeCell(*screen, "F_PRICE", "1"));
  Application().ClearShownErrors();
  EXPECT_EQ(Text("SELECT F_PRICE FROM TB_IN_STOCK_DETAIL WHERE F_MODE_NO = '35000000000101'"), "3100");

  // Delete is refused while audited.
  dialog->Clear();
  Click(*screen, screen->actDelete);
  EXPECT_EQ(dialog->Texts(TDialogKind::Error),
            std::vector<std::string>{"删除失败\r\n失败原因: 不能删除已审单据[" + code + "],请先反审"});

  // Un-audit puts the stock back exactly as it was before the audit.
  dialog->Clear();
  Click(*screen, screen->actUnAudit);
  EXPECT_EQ(dialog->Texts(TDialogKind::Info), std::vector<std::string>{"单据号[" + code + "]反审批成功"});
  EXPECT_EQ(Stock(), stockBefore);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_STATUS").AsInteger(), 1);
  EXPECT_TRUE(screen->cdsMain->FieldByName("F_AUDITOR").IsNull());
  EXPECT_EQ(Log(id).back(), "采购入库 [张三]  [反审] " + code);
  EXPECT_TRUE(screen->grpBillHeader->Enabled());

  // Delete: header, rows and the log row in one statement text, then a fresh bill.
  dialog->QueueAnswer(true);
  Click(*screen, screen->actDelete);
  EXPECT_EQ(dialog->Messages().back().Text, "单据[" + code + "]删除成功");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_IN_STOCK WHERE F_ID = " + id), 0);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_IN_STOCK_DETAIL WHERE F_MID = " + id), 0);
  EXPECT_EQ(Log(id).back(), "采购入库 [张三]  [删除] " + code);
  EXPECT_EQ(Stock(), stockBefore);
  EXPECT_EQ(Inconsistencies(), "");
  EXPECT_EQ(screen->cdsMain->FieldByName("F_CODE").AsString(), "新增单据");
  EXPECT_NE(screen->cdsMain->FieldByName("F_ID").AsString(), id);
  EXPECT_EQ(screen->ModeNOList().Count(), 0);
  EXPECT_EQ(screen->ID(), "0");
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{});
}

TEST_F(BillLifecycleTest, ASaleTakesItsUnitsOutOfStockAndUnAuditBringsThemBack) {
  auto* screen = Open(testing::kSale);
  const std::vector<std::string> stockBefore = Stock();
  const std::string first = UnitOf(0, 0), second = UnitOf(0, 1);
  const std::string id = SaveNewBill(*screen, {{HandsetOfUnit(0, 0), first, "3899"}, {HandsetOfUnit(0, 1), second, "4100"}});
  const std::string code = screen->cdsMain->FieldByName("F_CODE").AsString();
  EXPECT_TRUE(StartsText("PFXS", code)) << code;
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PF_SALE_DETAIL WHERE F_MID = " + id), 2);

  Click(*screen, screen->actAudit);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_STATUS").AsInteger(), 2);
  std::vector<std::string> expected = stockBefore;
  // The two units left the shop: their stock rows stay as history with the bill that took them.
  for (std::string& line : expected)
    for (const std::string& unit : {first, second})
      if (line.find("|" + unit + "|1|") != std::string::npos) {
        line.replace(line.find("|" + unit + "|1|"), unit.size() + 4, "|" + unit + "|0|");
        line = line.substr(0, line.size() - 1) + id + "|";
      }
  EXPECT_EQ(Stock(), expected);
  EXPECT_EQ(Inconsistencies(), "");

  Click(*screen, screen->actUnAudit);
  EXPECT_EQ(Stock(), stockBefore);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_STATUS").AsInteger(), 1);

  dialog->QueueAnswer(true);
  Click(*screen, screen->actDelete);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PF_SALE WHERE F_ID = " + id), 0);
  EXPECT_EQ(Stock(), stockBefore);
  EXPECT_EQ(Lines("SELECT F_MESSAGE FROM TB_SYS_LOG WHERE F_BILL_ID = " + id + " ORDER BY F_ID"),
            (std::vector<std::string>{"批发销售 [张三]  [新增] " + code + "|", "批发销售 [张三]  [审核] " + code + "|",
                                      "批发销售 [张三]  [反审] " + code + "|", "批发销售 [张三]  [删除] " + code + "|"}));
}

}  // namespace
}  // namespace jxc

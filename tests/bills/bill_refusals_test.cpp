// What a bill screen refuses: every refusal shows its message and leaves the database and the screen's
// datasets exactly as they were. Saves with missing or wrong rows, audits and un-audits that may not run,
// a second screen that still shows a bill another screen audited, a log that cannot be written, and
// typed text that is no number.
#include <gtest/gtest.h>

#include "BillTestSupport.h"
#include "platform/DateTime.h"
#include "platform/Format.h"

namespace jxc {
namespace {

using testing::BillTest;
using testing::TRow;

class BillRefusalTest : public BillTest {};

TEST_F(BillRefusalTest, EachSaveRefusalWritesNothingAndKeepsTheRows) {
  auto* screen = Open(testing::kStockIn);
  dialog->Clear();
  Click(*screen, screen->actBeforeSave);
  EXPECT_EQ(dialog->Texts(TDialogKind::Error), std::vector<std::string>{"采购入库明细记录不能为空"});
  EXPECT_EQ(screen->CdsDetail->State(), dsInsert) << "a row to type into";
  EXPECT_EQ(Count(Made("TB_IN_STOCK")), 0);

  EnterRows(*screen, {{Handset(0), NewSerial(1), "2000"}, {Handset(1), NewSerial(2), "2100"}});
  // A bill older than the days allowed.
  SetParam(kSpBillDays, Variant(3));
  ASSERT_TRUE(TypeHeader(*screen, "F_BILL_DATE", DateToStr(IncDay(Date(), -4))));
  ExpectRefused(*screen, screen->actBeforeSave, TDialogKind::Warning, "开单日期不能小于系统设置天数 3");
  ASSERT_TRUE(TypeHeader(*screen, "F_BILL_DATE", DateToStr(IncDay(Date(), -3))));

  // A remark is required.
  SetParam(kSpRequireRemark, Variant(true));
  ExpectRefused(*screen, screen->actBeforeSave, TDialogKind::Info, "请填写单据备注");
  ASSERT_TRUE(TypeHeader(*screen, "F_REMARK", "月初进货"));

  // A row without a product.
  Click(*screen, screen->actDetailAppend);
  ASSERT_TRUE(TypeCell(*screen, "F_PRICE", "5"));
  ExpectRefused(*screen, screen->actBeforeSave, TDialogKind::Info, "第3商品不能为空");
  EXPECT_EQ(screen->CdsDetail->RecNo(), 3) << "the row is shown";
  Click(*screen, screen->actDetailDelete);

  // A row without a unit.
  screen->CdsDetail->First();
  ASSERT_TRUE(TypeCell(*screen, "F_UNIT", ""));
  ExpectRefused(*screen, screen->actBeforeSave, TDialogKind::Info, "检查到第[1]行单位为空");
  ASSERT_TRUE(TypeCell(*screen, "F_UNIT", "台"));

  // Duplicate serial numbers (written as a batch entry writes them) among handsets; a card too.
  EnterRows(*screen, {{shop.Card, "", "30"}, {Handset(2), "", "1"}, {shop.Card, "", "30"}});
  for (int row : {3, 4, 5}) {
    screen->CdsDetail->SetRecNo(row);
    screen->CdsDetail->Edit();
    screen->CdsDetail->FieldByName("F_MODE_NO").SetAsString(row == 4 ? NewSerial(2) : "CARD0001");
    screen->CdsDetail->Post();
  }
  ExpectRefused(*screen, screen->actBeforeSave, TDialogKind::Error,
                "检测串码重复 \r\n串码 " + NewSerial(2) + " 重复 第[2]行\r\n串码 CARD0001 重复 第[3]行\r\n");
  EXPECT_EQ(screen->cdsMain->FieldByName("F_CODE").AsString(), "新增单据") << "the code comes back";
  screen->CdsDetail->SetRecNo(5);
  Click(*screen, screen->actDetailDelete);
  screen->CdsDetail->SetRecNo(4);
  Click(*screen, screen->actDetailDelete);

  // A zero price asks once, on the first such row; "no" keeps the bill as it was.
  for (int row : {1, 2}) {
    screen->CdsDetail->SetRecNo(row);
    ASSERT_TRUE(TypeCell(*screen, "F_PRICE", "0"));
  }
  dialog->QueueAnswer(false);
  ExpectRefused(*screen, screen->actBeforeSave, TDialogKind::Confirm, "检测到第1行,单价为 0 确定继续吗?");
  dialog->Clear();
  dialog->QueueAnswer(true);
  Click(*screen, screen->actBeforeSave);
  EXPECT_EQ(dialog->Texts(TDialogKind::Confirm), std::vector<std::string>{"检测到第1行,单价为 0 确定继续吗?"});
  EXPECT_EQ(dialog->Texts(TDialogKind::Error), std::vector<std::string>{});
  EXPECT_EQ(Count(Made("TB_IN_STOCK_DETAIL")), 3);
  EXPECT_EQ(Text("SELECT F_REMARK FROM TB_IN_STOCK WHERE F_ID > " + firstID), "月初进货");
}

TEST_F(BillRefusalTest, AuditsAndUnAuditsThatMayNotRunChangeNothing) {
  auto* screen = Open(testing::kStockIn);
  EnterRows(*screen, {{Handset(0), NewSerial(5), "2000"}});
  RunHandler(screen->actAudit);
  EXPECT_EQ(dialog->Texts(TDialogKind::Error), std::vector<std::string>{"请先保存单据"});
  Click(*screen, screen->actBeforeSave);
  const std::string id = screen->cdsMain->FieldByName("F_ID").AsString();
  const std::string code = screen->cdsMain->FieldByName("F_CODE").AsString();

  ExpectRefused(*screen, screen->actUnAudit, TDialogKind::Error, "单据未审,不能反审批");

  rights->SetGrantAll(false);
  rights->Grant(testing::kStockIn, "反审核");
  ExpectRefused(*screen, screen->actAudit, TDialogKind::Error, "采购入库[审核]权限未授权");
  rights->SetGrantAll(true);

  // The procedure refuses a unit that is in stock already: the reason is shown, nothing is logged as an
  // audit, and the screen shows the bill as stored.
  screen->CdsDetail->First();
  Click(*screen, screen->actEdit);
  ASSERT_TRUE(TypeCell(*screen, "F_MODE_NO", UnitOf(1, 0)));
  Click(*screen, screen->actBeforeSave);
  const std::vector<std::string> stock = Stock();
  dialog->Clear();
  Click(*screen, screen->actAudit);
  EXPECT_EQ(dialog->Texts(TDialogKind::Error),
            std::vector<std::string>{"单据号[" + code + "]审批失败\r\n失败原因：第1行串码[" + UnitOf(1, 0) + "]已在库存中, 不能重复入库"});
  EXPECT_EQ(dialog->Texts(TDialogKind::Tip), std::vector<std::string>{"单据[" + code + "]已刷新"});
  EXPECT_EQ(Stock(), stock);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_STATUS").AsInteger(), 1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_SYS_LOG WHERE F_BILL_ID = " + id + " AND F_MESSAGE LIKE '%[审核]%'"), 0);

  // Audited: a second audit is refused, and so is an un-audit past the days allowed or of a bill the
  // system made from another (as the bill is stored before its audit).
  Click(*screen, screen->actEdit);
  ASSERT_TRUE(TypeCell(*screen, "F_MODE_NO", NewSerial(6)));
  ASSERT_TRUE(TypeHeader(*screen, "F_BILL_DATE", DateToStr(IncDay(Date(), -3))));
  Click(*screen, screen->actBeforeSave);
  db->QueryNative("UPDATE TB_IN_STOCK SET F_SOURCE_ID = 1 WHERE F_ID = ?", {Variant(static_cast<long long>(std::stoll(id)))});
  Click(*screen, screen->actAudit);
  ASSERT_EQ(screen->cdsMain->FieldByName("F_STATUS").AsInteger(), 2);
  RunHandler(screen->actAudit);
  EXPECT_EQ(dialog->Texts(TDialogKind::Error).back(), "单据已审,请勿重复审批");
  SetParam(kSpAuditDays, Variant(2));
  ExpectRefused(*screen, screen->actUnAudit, TDialogKind::Warning, "反审核失败, 审核日期已超过系统设置可反审核天数 2");
  SetParam(kSpAuditDays, Variant(3));
  ExpectRefused(*screen, screen->actUnAudit, TDialogKind::Error, "不能反审核系统生成的单据");
}

TEST_F(BillRefusalTest, AScreenStillShowingABillAnotherScreenAuditedCannotChangeOrDeleteIt) {
  auto* first = Open(testing::kSale);
  const std::string id = SaveNewBill(*first, {{HandsetOfUnit(0, 0), UnitOf(0, 0), "3899"}, {HandsetOfUnit(0, 1), UnitOf(0, 1), "4100"}});
  const std::string code = first->cdsMain->FieldByName("F_CODE").AsString();
  auto* second = OpenBill(testing::kSale, id);
  ASSERT_EQ(second->cdsMain->FieldByName("F_CODE").AsString(), code);
  Click(*second, second->actAudit);
  ASSERT_EQ(second->cdsMain->FieldByName("F_STATUS").AsInteger(), 2);

  // The first screen still shows the bill as saved and lets its user change a price.
  ASSERT_EQ(first->cdsMain->FieldByName("F_STATUS").AsInteger(), 1);
  Click(*first, first->actEdit);
  first->CdsDetail->First();
  ASSERT_TRUE(TypeCell(*first, "F_PRICE", "1"));
  ExpectRefused(*first, first->actBeforeSave, TDialogKind::Error, "单据[" + code + "]保存失败, 已审单据不能修改");
  dialog->QueueAnswer(true);
  Click(*first, first->actUndo);
  ExpectRefused(*first, first->actDelete, TDialogKind::Error, "删除失败\r\n失败原因: 不能删除已审单据[" + code + "],请先反审");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PF_SALE_DETAIL WHERE F_MID = " + id + " AND F_PRICE = 1"), 0);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PF_SALE WHERE F_ID = " + id), 1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_SYS_STOCK WHERE F_OUT_BILL_ID = " + id), 2);
}

TEST_F(BillRefusalTest, UndoOfANewBillLeavesNoRowBehindAndTheNextBillSaves) {
  auto* screen = Open(testing::kStockIn);
  EnterRows(*screen, {{Handset(0), NewSerial(1), "2000"}, {Handset(1), NewSerial(2), "2000"}, {Handset(2), NewSerial(3), "1"}});
  screen->CdsDetail->CheckBrowseMode();
  dialog->QueueAnswer(true);
  Click(*screen, screen->actUndo);
  EXPECT_EQ(dialog->Texts(TDialogKind::Confirm), std::vector<std::string>{"您正在编辑数据继续吗?"});
  EXPECT_EQ(screen->cdsMain->ChangeCount(), 0);
  EXPECT_EQ(screen->CdsDetail->ChangeCount(), 0) << "the rows of the dropped header are dropped too";
  EXPECT_EQ(screen->CdsDetail->Data().Rows.size(), 0u);
  EXPECT_EQ(screen->ModeNOList().Count(), 0);
  ASSERT_EQ(screen->cdsMain->State(), dsInsert) << "a fresh bill";

  const std::string id = SaveNewBill(*screen, {{Handset(0), NewSerial(1), "2000"}});
  EXPECT_EQ(dialog->Texts(TDialogKind::Error), std::vector<std::string>{});
  EXPECT_EQ(Count(Made("TB_IN_STOCK")), 1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_IN_STOCK_DETAIL WHERE F_MID = " + id), 1);
  EXPECT_EQ(Count(Made("TB_IN_STOCK_DETAIL")), 1);
}

TEST_F(BillRefusalTest, TheLogIsWrittenWithTheBillOrNeither) {
  auto* screen = Open(testing::kStockIn);
  EnterRows(*screen, {{Handset(0), NewSerial(1), "2000"}});
  db->Connection().ExecScript(
      "CREATE TRIGGER jxc_log_full BEFORE INSERT ON TB_SYS_LOG BEGIN SELECT RAISE(ABORT, '日志已满'); END;");
  screen->CdsDetail->CheckBrowseMode();
  const std::string before = Screen(*screen);
  dialog->Clear();
  Click(*screen, screen->actBeforeSave);
  ASSERT_EQ(dialog->Texts(TDialogKind::Error).size(), 1u);
  EXPECT_TRUE(StartsText("保存失败\r\n失败原因：", dialog->Texts(TDialogKind::Error)[0]));
  EXPECT_TRUE(Contains(dialog->Texts(TDialogKind::Error)[0], "日志已满"));
  EXPECT_EQ(Count(Made("TB_IN_STOCK")), 0);
  EXPECT_EQ(Screen(*screen), before) << "the rows and the code 新增单据 stay for another attempt";
  EXPECT_FALSE(progress->Showing());

  db->Connection().ExecScript("DROP TRIGGER jxc_log_full;");
  Click(*screen, screen->actBeforeSave);
  const std::string id = screen->cdsMain->FieldByName("F_ID").AsString();
  ASSERT_EQ(Count("SELECT COUNT(*) FROM TB_IN_STOCK WHERE F_ID = " + id), 1);
  db->Connection().ExecScript(
      "CREATE TRIGGER jxc_log_full BEFORE INSERT ON TB_SYS_LOG BEGIN SELECT RAISE(ABORT, '日志已满'); END;");
  dialog->QueueAnswer(true);
  Click(*screen, screen->actDelete);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_IN_STOCK WHERE F_ID = " + id), 1) << "no delete without its log row";
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_IN_STOCK_DETAIL WHERE F_MID = " + id), 1);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_ID").AsString(), id);
}

TEST_F(BillRefusalTest, TypedTextReachesTheDatabaseOnlyAsANumber) {
  auto* screen = Open(testing::kStockIn);
  const int64_t calls = db->CallCount();
  EXPECT_FALSE(TypeCell(*screen, "F_PRODUCT_ID", "1 OR 1=1"));
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{"商品编号[1 OR 1=1]无效"});
  EXPECT_EQ(db->CallCount(), calls);
  EXPECT_FALSE(TypeCell(*screen, "F_PRODUCT_ID", "999"));
  EXPECT_EQ(Application().ShownErrors().back(), "商品[999]不存在");
  EXPECT_TRUE(screen->CdsDetail->FieldByName("F_PRODUCT_ID").IsNull());

  // A bill identifier that is no number reads no bill: the screen starts a new one.
  auto* other = OpenBill(testing::kStockIn, "0 OR 1=1");
  EXPECT_EQ(other->cdsMain->FieldByName("F_CODE").AsString(), "新增单据");
  EXPECT_EQ(Application().ShownErrors().size(), 2u);
}

}  // namespace
}  // namespace jxc

// Working in a bill: the serial list as rows are typed, changed, cancelled and deleted; changing the
// bill's shop; loading, refreshing and closing with work pending; the detail actions; the field handlers'
// arithmetic; product rows split into units.
#include <gtest/gtest.h>

#include "BillTestSupport.h"
#include "platform/DBCtrls.h"
#include "platform/GridInplaceEdit.h"
#include "platform/Keys.h"
#include "platform/Menus.h"
#include "platform/SystemDialogs.h"

namespace jxc {
namespace {

using testing::BillTest;
using testing::TRow;

class BillEditingTest : public BillTest {};

TEST_F(BillEditingTest, TheSerialListHoldsEachUnitOnceWhateverTheRowsGoThrough) {
  auto* screen = Open(testing::kStockIn);
  const std::string a = NewSerial(1), b = NewSerial(2), c = NewSerial(3);
  EnterRows(*screen, {{Handset(0), " " + LowerCase(a) + " ", "1"}, {Handset(0), "", "1"}});
  EXPECT_EQ(screen->CdsDetail->RecNo(), 0) << "the second row is still being typed";
  EXPECT_FALSE(TypeCell(*screen, "F_MODE_NO", a));
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{"手机串码/卡号[" + a + "]重复"});
  EXPECT_TRUE(screen->CdsDetail->FieldByName("F_MODE_NO").IsNull());
  ASSERT_TRUE(TypeCell(*screen, "F_MODE_NO", b));
  screen->CdsDetail->CheckBrowseMode();
  EXPECT_EQ(screen->ModeNOList().Items(), (std::set<std::string>{a, b})) << "trimmed and upper-cased";

  // A number changed frees the old one; a change refused keeps the row's own.
  screen->CdsDetail->First();
  ASSERT_TRUE(TypeCell(*screen, "F_MODE_NO", c));
  screen->CdsDetail->Post();
  EXPECT_EQ(screen->ModeNOList().Items(), (std::set<std::string>{b, c}));
  ASSERT_TRUE(TypeCell(*screen, "F_PRICE", "2"));
  EXPECT_FALSE(TypeCell(*screen, "F_MODE_NO", b));
  EXPECT_EQ(screen->ModeNOList().Items(), (std::set<std::string>{b, c}));
  Click(*screen, screen->actDetailAppend);
  EXPECT_EQ(screen->CdsDetail->RecordCount(), 2) << "the changed price was posted";
  ASSERT_TRUE(TypeCell(*screen, "F_PRODUCT_ID", std::to_string(Handset(1))));
  EXPECT_FALSE(TypeCell(*screen, "F_MODE_NO", c)) << "the refused change did not free the row's number";
  ASSERT_TRUE(TypeCell(*screen, "F_MODE_NO", a));
  screen->CdsDetail->Post();

  // A cancelled edit gives the row its number back, and only what it discards leaves the list.
  screen->CdsDetail->First();
  ASSERT_TRUE(TypeCell(*screen, "F_MODE_NO", NewSerial(9)));
  screen->CdsDetail->Cancel();
  EXPECT_EQ(screen->ModeNOList().Items(), (std::set<std::string>{a, b, c}));
  ASSERT_TRUE(TypeCell(*screen, "F_PRICE", "7"));
  screen->CdsDetail->Cancel();
  EXPECT_EQ(screen->ModeNOList().Items(), (std::set<std::string>{a, b, c}));

  // A deleted row frees its number and puts the header into edit; the last row deleted leaves a new one.
  screen->CdsDetail->First();
  Click(*screen, screen->actDetailDelete);
  EXPECT_EQ(screen->ModeNOList().Items(), (std::set<std::string>{a, b}));
  Click(*screen, screen->actDetailDelete);
  Click(*screen, screen->actDetailDelete);
  EXPECT_EQ(screen->ModeNOList().Count(), 0);
  EXPECT_EQ(screen->CdsDetail->RecordCount(), 0);
  EXPECT_EQ(screen->CdsDetail->State(), dsInsert);
  Application().ClearShownErrors();
}

TEST_F(BillEditingTest, ChangingTheShopAsksFirstAndChecksTheShopsCounterBeforeAnyRowGoes) {
  auto* screen = Open(testing::kStockIn);
  EnterRows(*screen, {{Handset(0), NewSerial(1), "1"}, {Handset(1), NewSerial(2), "1"}});
  screen->CdsDetail->CheckBrowseMode();
  const std::string before = Screen(*screen);

  // "No" changes nothing, the rows' counters included.
  dialog->QueueAnswer(false);
  EXPECT_TRUE(TypeHeader(*screen, "F_SHOP_ID", std::to_string(Branch(1))));
  EXPECT_EQ(dialog->Texts(TDialogKind::Confirm), std::vector<std::string>{"更改店铺将清空明细,确定更改吗?"});
  EXPECT_EQ(dialog->Messages().back().Caption, "采购入库");
  EXPECT_EQ(Screen(*screen), before);

  // A shop without its counter is refused before anything goes.
  const int64_t bare = db->NewID();
  db->QueryNative("INSERT INTO TB_SHOP (F_ID, F_CODE, F_NAME, F_PARENTID) VALUES (?, '99', '新店', ?)",
                  {Variant(static_cast<long long>(bare)), Variant(static_cast<long long>(shop.HeadOffice))});
  dialog->QueueAnswer(true);
  EXPECT_FALSE(TypeHeader(*screen, "F_SHOP_ID", std::to_string(bare)));
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{"店铺没有设置主柜台,请在柜台设置中设置默认柜台"});
  EXPECT_EQ(Screen(*screen), before);
  EXPECT_EQ(UserInfo->CurrentShopID(), std::to_string(Branch(0)));

  // "Yes": the rows go, one new row at the new shop's counter, and the workstation works for that shop.
  dialog->QueueAnswer(true);
  EXPECT_TRUE(TypeHeader(*screen, "F_SHOP_ID", std::to_string(Branch(1))));
  EXPECT_EQ(screen->cdsMain->FieldByName("F_SHOP_ID").AsLargeInt(), Branch(1));
  EXPECT_EQ(screen->CdsDetail->RecordCount(), 0);
  EXPECT_EQ(screen->CdsDetail->State(), dsInsert);
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_LOCATION_ID").AsLargeInt(), Counter(1));
  EXPECT_EQ(screen->ModeNOList().Count(), 0);
  EXPECT_EQ(UserInfo->CurrentShopID(), std::to_string(Branch(1)));
  EXPECT_EQ(SysConfig.LocationID, std::to_string(Counter(1)));
}

TEST_F(BillEditingTest, LoadingABillReadsItOnceAndLeavesTheWorkstationAlone) {
  auto* screen = Open(testing::kStockIn);
  dialog->QueueAnswer(true);
  ASSERT_TRUE(TypeHeader(*screen, "F_SHOP_ID", std::to_string(Branch(1))));
  const std::string id = SaveNewBill(*screen, {{Handset(0), NewSerial(1), "1"}});
  const std::string code = screen->cdsMain->FieldByName("F_CODE").AsString();
  UserInfo->SetCurrentShopID(std::to_string(Branch(0)));
  SysConfig.LocationID = std::to_string(Counter(0));

  auto* viewer = OpenBill(testing::kStockIn, id);
  EXPECT_EQ(viewer->cdsMain->FieldByName("F_CODE").AsString(), code);
  EXPECT_EQ(viewer->CdsDetail->RecordCount(), 1);
  EXPECT_EQ(viewer->ModeNOList().Items(), std::set<std::string>{NewSerial(1)});
  EXPECT_EQ(UserInfo->CurrentShopID(), std::to_string(Branch(0))) << "viewing a bill of another shop";
  EXPECT_EQ(SysConfig.LocationID, std::to_string(Counter(0)));

  const int64_t calls = db->CallCount();
  Click(*viewer, viewer->actQuery);
  EXPECT_EQ(db->CallCount(), calls) << "the bill shown is not read again";
  dialog->Clear();
  Click(*viewer, viewer->actRefresh);
  EXPECT_EQ(dialog->Texts(TDialogKind::Tip), std::vector<std::string>{"单据[" + code + "]已刷新"});
  EXPECT_EQ(db->CallCount(), calls + 1);

  // A new bill of this workstation's shop takes this shop's counter.
  Click(*screen, screen->actNew);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_SHOP_ID").AsLargeInt(), Branch(0));
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_LOCATION_ID").AsLargeInt(), Counter(0));
}

TEST_F(BillEditingTest, WorkNotSavedIsDroppedOnlyAfterAQuestion) {
  auto* screen = Open(testing::kStockIn);
  const std::string id = SaveNewBill(*screen, {{Handset(0), NewSerial(1), "1"}, {Handset(1), NewSerial(2), "2"}});
  ASSERT_EQ(screen->cdsMain->State(), dsBrowse);
  // A row changed, the header untouched.
  screen->CdsDetail->First();
  ASSERT_TRUE(TypeCell(*screen, "F_PRICE", "9"));
  screen->CdsDetail->Post();
  ASSERT_EQ(screen->cdsMain->State(), dsBrowse);

  dialog->QueueAnswer(false);
  Click(*screen, screen->actClose);
  EXPECT_EQ(dialog->Texts(TDialogKind::Confirm), std::vector<std::string>{"您正在编辑数据,确认关闭吗?"});
  EXPECT_TRUE(screen->Visible());
  EXPECT_EQ(screen->CdsDetail->ChangeCount(), 1);

  dialog->QueueAnswer(false);
  Click(*screen, screen->actUndo);
  EXPECT_EQ(screen->CdsDetail->ChangeCount(), 1);
  dialog->QueueAnswer(true);
  Click(*screen, screen->actUndo);
  EXPECT_EQ(screen->CdsDetail->ChangeCount(), 0);
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_PRICE").AsCurrency(), Currency::FromInt(1));
  EXPECT_EQ(screen->ModeNOList().Count(), 2);

  // Saved and unchanged: closing asks nothing.
  dialog->Clear();
  Click(*screen, screen->actClose);
  EXPECT_EQ(dialog->Count(TDialogKind::Confirm), 0);
  Application().ProcessMessages();
  EXPECT_EQ(Application().FindComponent("CGRK"), nullptr);
  EXPECT_EQ(Text("SELECT F_PRICE FROM TB_IN_STOCK_DETAIL WHERE F_MID = " + id + " ORDER BY F_ID"), "1");
}

TEST_F(BillEditingTest, FieldHandlersKeepMoneyExactAndRefuseImpossiblePrices) {
  auto* screen = Open(testing::kStockIn);
  EnterRows(*screen, {{shop.Accessories[0], "", "2.35", 3}});
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_MONEY").AsCurrency(), Currency::Parse("7.05"));
  ASSERT_TRUE(TypeCell(*screen, "F_QTY", "abc"));
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_QTY").AsInteger(), 1);
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_MONEY").AsCurrency(), Currency::Parse("2.35"));
  EXPECT_FALSE(TypeCell(*screen, "F_PRICE", "100000.01"));
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{"单价输入有误"});
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_PRICE").AsCurrency(), Currency::Parse("2.35"));
  ASSERT_TRUE(TypeCell(*screen, "F_PRICE", "100000"));
  ASSERT_TRUE(TypeCell(*screen, "F_QTY", "3"));
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_MONEY").AsCurrency(), Currency::FromInt(300000));

  // A handset is one unit whatever is typed.
  Click(*screen, screen->actDetailAppend);
  ASSERT_TRUE(TypeCell(*screen, "F_PRODUCT_ID", std::to_string(Handset(0))));
  ASSERT_TRUE(TypeCell(*screen, "F_PRICE", "10.1"));
  ASSERT_TRUE(TypeCell(*screen, "F_QTY", "5"));
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_QTY").AsInteger(), 1);
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_MONEY").AsCurrency(), Currency::Parse("10.1"));
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_UNIT").AsString(), "台");
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_PRODUCT_TYPE_ID").AsInteger(), 1);

  // The footer sums money as money.
  screen->CdsDetail->Post();
  screen->tvResult->FindColumnByFieldName("F_MONEY")->Summary.Footer = {skSum, "#,##0.00"};
  const Variant footer = screen->GetFooterValue("F_MONEY");
  EXPECT_EQ(footer.AsCurrency(), Currency::Parse("300010.1"));
  EXPECT_EQ(footer.Type(), VarType::Currency);
  EXPECT_EQ(screen->GetFooterValue("F_NONE").AsInt64(), 0);
}

TEST_F(BillEditingTest, DetailActionsCopyRowsSerialsAndRemarks) {
  auto* screen = Open(testing::kStockIn);
  EnterRows(*screen, {{Handset(0), NewSerial(1), "1999", 1, shop.Colors[1]}});
  screen->CdsDetail->Edit();
  screen->CdsDetail->FieldByName("F_PH").SetAsString("PH1");
  screen->CdsDetail->Post();

  Click(*screen, screen->actDetailCopyAdd);
  ASSERT_EQ(screen->CdsDetail->RecordCount(), 2);
  TClientDataSet& row = *screen->CdsDetail;
  EXPECT_EQ(row.FieldByName("F_PRODUCT_ID").AsLargeInt(), Handset(0));
  EXPECT_EQ(row.FieldByName("F_COLOR_ID").AsLargeInt(), shop.Colors[1]);
  EXPECT_EQ(row.FieldByName("F_PRICE").AsCurrency(), Currency::FromInt(1999));
  EXPECT_TRUE(row.FieldByName("F_MODE_NO").IsNull());
  EXPECT_TRUE(row.FieldByName("F_PH").IsNull());
  EXPECT_FALSE(row.FieldByName("F_ID").IsNull());
  row.First();
  const std::string firstID = row.FieldByName("F_ID").AsString();
  row.Last();
  EXPECT_NE(row.FieldByName("F_ID").AsString(), firstID);

  // Copying a serial number: the clipboard holds it; a row without one has nothing to copy.
  row.First();
  Click(*screen, screen->actCopyModeNO);
  EXPECT_EQ(clipboard.GetText(), NewSerial(1));
  EXPECT_EQ(dialog->Messages().back().Text, "串码[" + NewSerial(1) + "]已复制");
  row.Last();
  Click(*screen, screen->actCopyModeNO);
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{"请选中需要复制的串号"});

  // Tracking is offered on a handset row that holds its number.
  screen->ppmDetail->Popup();
  EXPECT_FALSE(screen->actTrackModeNO->Enabled);
  row.First();
  screen->ppmDetail->Popup();
  EXPECT_TRUE(screen->actTrackModeNO->Enabled);
  TMenuItem& items = screen->ppmDetail->Items();
  EXPECT_EQ(items.Items(0)->Caption(), "增行(&A)");
  EXPECT_EQ(items.Items(items.Count() - 3)->Caption(), "定位到第一行");
  EXPECT_EQ(items.Items(items.Count() - 1)->Caption(), "批量更新备注");

  // One remark for every row.
  TScriptedInputQuery query;
  ScopedInputQuery queryScope(query);
  query.QueueAnswer(std::string("展会样机"));
  Click(*screen, screen->actBatchUpdateRemark);
  ASSERT_EQ(query.Calls().size(), 1u);
  EXPECT_EQ(query.Calls()[0].Caption, "修改备注");
  EXPECT_EQ(query.Calls()[0].Prompt, "请输入新备注");
  for (row.First(); !row.Eof(); row.Next()) EXPECT_EQ(row.FieldByName("F_REMARK").AsString(), "展会样机");
}

TEST_F(BillEditingTest, AProductSplitsIntoUnitsAndEveryWayOfWritingItEnds) {
  auto* screen = Open(testing::kStockIn);
  TClientDataSet product;
  for (const char* name : {"F_PRODUCT_ID", "F_PRODUCT_TYPE_ID", "F_QTY"}) product.FieldDefs().Add(name, ftLargeint);
  product.FieldDefs().Add("F_PRODUCT", ftString, 50);
  product.FieldDefs().Add("F_UNIT", ftString, 10);
  product.FieldDefs().Add("F_PRICE", ftCurrency);
  product.FieldDefs().Add("F_MONEY", ftCurrency);
  product.CreateDataSet();
  product.AppendRecord({Variant(static_cast<long long>(Handset(1))), Variant(1), Variant(3), Variant("华为 Mate 60"), Variant("台"),
                        Variant(Currency::FromInt(4000)), Variant(Currency::FromInt(12000))});
  product.Edit();
  int written = 0;
  screen->SetProductInfo(product, *screen->CdsDetail, [&](TDataSet&) { ++written; }, true);
  screen->CdsDetail->CheckBrowseMode();
  EXPECT_EQ(written, 3);
  EXPECT_EQ(screen->CdsDetail->RecordCount(), 3);
  EXPECT_EQ(product.FieldByName("F_QTY").AsInteger(), 0);
  for (screen->CdsDetail->First(); !screen->CdsDetail->Eof(); screen->CdsDetail->Next()) {
    EXPECT_EQ(screen->CdsDetail->FieldByName("F_QTY").AsInteger(), 1);
    EXPECT_EQ(screen->CdsDetail->FieldByName("F_MONEY").AsCurrency(), Currency::FromInt(4000));
  }

  // Without splitting, or with nothing to split, one row; nothing runs for ever.
  for (int qty : {3, 0, -2}) {
    product.Edit();
    product.FieldByName("F_QTY").SetAsInteger(qty);
    Click(*screen, screen->actDetailAppend);
    screen->SetProductInfo(product, *screen->CdsDetail, nullptr, qty <= 0);
    EXPECT_EQ(screen->CdsDetail->FieldByName("F_QTY").AsInteger(), qty);
    EXPECT_EQ(screen->CdsDetail->FieldByName("F_MONEY").AsCurrency(), Currency::FromInt(12000));
    screen->CdsDetail->Post();
  }
  EXPECT_EQ(screen->CdsDetail->RecordCount(), 6);
}

TEST_F(BillEditingTest, ABillIsFoundByItsCodeAndTheBillDateFollowsItsItemRight) {
  auto* screen = Open(testing::kStockIn);
  const std::string id = SaveNewBill(*screen, {{Handset(0), NewSerial(1), "1"}, {Handset(1), NewSerial(2), "1"}});
  const std::string code = screen->cdsMain->FieldByName("F_CODE").AsString();
  EXPECT_EQ(screen->FooterInfoText(), "当前第[2]条记录,共 [2]条");

  auto* byCode = CreateForm<TFrmBaseBillFramework>(&Application());
  byCode->SetCaption(testing::kStockIn);
  byCode->DoOnShow();
  byCode->ViewRecordByCode(code);
  EXPECT_EQ(byCode->ID(), id);
  EXPECT_FALSE(byCode->dxBarCommand->Visible);
  Application().Advance(100);
  EXPECT_EQ(byCode->cdsMain->FieldByName("F_CODE").AsString(), code);
  byCode->ViewRecordByCode("没有的单号");
  EXPECT_EQ(byCode->ID(), "0");

  // Without the item right the bill date cannot be changed; without the right to make bills the screen
  // starts no bill and offers no save.
  SetParam(kSpLimitBillDate, Variant(true));
  rights->SetGrantAll(false);
  rights->GrantOpen(testing::kStockIn);
  auto* limited = Open(testing::kStockIn);
  EXPECT_FALSE(limited->db_edtBillDate->Enabled());
  EXPECT_EQ(dialog->Texts(TDialogKind::Error).back(), "采购入库[新增]权限未授权");
  EXPECT_FALSE(limited->actSave->Enabled);
  rights->GrantItem("特殊权限", "修改开单日期");
  rights->Grant(testing::kStockIn, "新增");
  auto* allowed = Open(testing::kStockIn);
  EXPECT_TRUE(allowed->db_edtBillDate->Enabled());
  EXPECT_EQ(allowed->cdsMain->FieldByName("F_CODE").AsString(), "新增单据");
}

}  // namespace
}  // namespace jxc

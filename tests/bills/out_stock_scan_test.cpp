// The stock-out bill's quick input as the assistant uses it on the wholesale screen of the sample shop
// (branch 0 holds units 0, 2, 4, ... : handset 0 colour 0, handset 2 colour 2, ...): a scanned or typed
// serial number finds the one unit of the bill's shop, refusals leave the bill as it was, prices come from
// the shop's price list once per product.
#include <gtest/gtest.h>

#include "OutStockTestSupport.h"
#include "editors/UnitFrameLookupSysStock.h"
#include "platform/ClassRegistry.h"
#include "platform/Exceptions.h"

namespace jxc {
namespace {

using testing::OutStockTest;

std::string Tail(const std::string& serial, size_t n) { return serial.substr(serial.size() - n); }

TEST_F(OutStockTest, AScanFillsARowFromTheStockAndTheNextScanANewRow) {
  // The sample shop's stock-out screens name the stock-out bill, which the host finds by that name.
  EXPECT_EQ(Lines("SELECT F_NAME, F_ClassName FROM TB_SYS_FUNCTION WHERE F_NAME IN ('批发销售', '零售销售', '调拨出库', '采购退货') "
                  "ORDER BY F_NAME"),
            (std::vector<std::string>{"批发销售|TFrmBillOutStockFramework|", "调拨出库|TFrmBillOutStockFramework|",
                                      "采购退货|TFrmBillOutStockFramework|", "零售销售|TFrmBillOutStockFramework|"}));
  EXPECT_NE(FindClass("TFrmBillOutStockFramework"), nullptr);
  auto* screen = OpenOut();
  EXPECT_EQ(screen->grpBillBottom->Caption(), "快速输入");
  EXPECT_TRUE(screen->grpBillBottom->Visible());
  EXPECT_FALSE(screen->chkAutoAppend->Visible());
  EXPECT_TRUE(screen->chkAutoAppend->Checked());

  const std::string first = UnitOf(0, 0);
  Scan(*screen, first);
  ASSERT_TRUE(dialog->Texts(TDialogKind::Info).empty()) << dialog->Texts(TDialogKind::Info).front();
  ASSERT_TRUE(dialog->Texts(TDialogKind::Error).empty()) << dialog->Texts(TDialogKind::Error).front();
  TClientDataSet& detail = *screen->CdsDetail;
  detail.First();
  EXPECT_EQ(detail.FieldByName("F_MODE_NO").AsString(), first);
  EXPECT_EQ(detail.FieldByName("F_PRODUCT_ID").AsLargeInt(), Handset(0));
  EXPECT_EQ(detail.FieldByName("F_PRODUCT").AsString(), "华为 Mate 60 Pro");
  EXPECT_EQ(detail.FieldByName("F_COLOR_ID").AsLargeInt(), shop.Colors[0]);
  EXPECT_FALSE(detail.FieldByName("F_CONFIG_ID").IsNull());
  EXPECT_EQ(detail.FieldByName("F_UNIT").AsString(), "台");
  EXPECT_EQ(detail.FieldByName("F_LOCATION_ID").AsLargeInt(), Counter(0));
  EXPECT_FALSE(detail.FieldByName("F_ROOT_ID").IsNull()) << "the supplier of the unit";
  EXPECT_FALSE(detail.FieldByName("F_IN_DATE").IsNull()) << "the unit's in-date comes with it";
  EXPECT_EQ(detail.FieldByName("F_QTY").AsInteger(), 1);
  EXPECT_EQ(detail.FieldByName("F_PRICE").AsCurrency(), Currency::FromInt(6199)) << "branch 0's own wholesale price";
  EXPECT_EQ(detail.FieldByName("F_MONEY").AsCurrency(), Currency::FromInt(6199));
  EXPECT_EQ(screen->ActiveControl(), screen->edtModeNO) << "ready for the next scan";
  EXPECT_EQ(screen->edtModeNO->SelText(), first);

  // The last five characters find the next unit; it goes into a row of its own.
  const std::string second = UnitOf(0, 1);
  Scan(*screen, Tail(second, 5));
  EXPECT_EQ(Rows(*screen), (std::vector<std::string>{Row(first, Handset(0), "6199"), Row(second, Handset(2), "5499")}));
  EXPECT_EQ(screen->ModeNOList().Count(), 2);

  // The last ten of fifteen, as the hint invites.
  const std::string third = UnitOf(0, 2);
  Scan(*screen, Tail(third, 10));
  EXPECT_EQ(Rows(*screen).size(), 3u);
  EXPECT_EQ(Rows(*screen).back(), Row(third, Handset(0), "6199"));
  EXPECT_TRUE(dialog->Texts(TDialogKind::Info).empty());

  // The trailing empty row does not stand in the save's way.
  Click(*screen, screen->actBeforeSave);
  EXPECT_EQ(screen->cdsMain->ChangeCount(), 0) << JoinStrings(dialog->Texts(TDialogKind::Error), "|");
  EXPECT_EQ(Lines("SELECT COUNT(*) FROM TB_PF_SALE_DETAIL"), std::vector<std::string>{"3|"});
}

TEST_F(OutStockTest, TextThatNamesNoUnitOfTheBillIsRefusedAndTheBillStaysAsItWas) {
  auto* screen = OpenOut();
  Scan(*screen, UnitOf(0, 0));
  screen->CdsDetail->CheckBrowseMode();
  const std::string before = Screen(*screen);
  const std::vector<std::string> stock = Stock();
  auto refused = [&](const std::string& text, TDialogKind kind, const std::string& message) {
    dialog->Clear();
    Scan(*screen, text);
    EXPECT_EQ(dialog->Texts(kind), std::vector<std::string>{message}) << text;
    EXPECT_EQ(Screen(*screen), before) << text;
    EXPECT_EQ(screen->ActiveControl(), screen->edtModeNO) << text;
  };
  refused("8600", TDialogKind::Warning, "请输入手机串号/卡号,或后5-10位");
  refused("    ", TDialogKind::Warning, "请输入手机串号/卡号,或后5-10位");
  refused(NewSerial(5), TDialogKind::Info, "手机串号/卡号[" + NewSerial(5) + "]库存不足,请重新输入");
  // Another branch's unit, whole or by its end.
  refused(UnitOf(1, 0), TDialogKind::Info, "手机串号/卡号[" + UnitOf(1, 0) + "]不属于此店铺");
  refused(Tail(UnitOf(1, 0), 6), TDialogKind::Info, "手机串号/卡号[" + UnitOf(1, 0) + "]不属于此店铺");
  // Wildcards are characters: nothing ends in them.
  refused("%%%%%", TDialogKind::Info, "手机串号/卡号[%%%%%]库存不足,请重新输入");
  refused("0000_", TDialogKind::Info, "手机串号/卡号[0000_]库存不足,请重新输入");
  // The unit the bill holds already.
  refused(UnitOf(0, 0), TDialogKind::Error, "手机串码/卡号[" + UnitOf(0, 0) + "]重复");
  refused(Tail(UnitOf(0, 0), 5), TDialogKind::Error, "手机串码/卡号[" + UnitOf(0, 0) + "]重复");
  EXPECT_EQ(Stock(), stock);
}

TEST_F(OutStockTest, ARowThatNamesAProductOrColourTakesOnlyAUnitOfThem) {
  auto* screen = OpenOut();
  screen->chkAutoAppend->SetChecked(false);
  // The assistant starts the row with handset 2 (units 2, 6, 10 of branch 0).
  ASSERT_TRUE(TypeCell(*screen, "F_PRODUCT_ID", std::to_string(Handset(2))));
  screen->CdsDetail->CheckBrowseMode();
  const std::string before = Screen(*screen);
  dialog->Clear();
  Scan(*screen, UnitOf(0, 0));
  EXPECT_EQ(dialog->Texts(TDialogKind::Info),
            std::vector<std::string>{"手机串号/卡号[" + UnitOf(0, 0) + "]不属于此机型\r\n请检查商品是否正确"});
  EXPECT_EQ(Screen(*screen), before);

  ASSERT_TRUE(TypeCell(*screen, "F_COLOR_ID", std::to_string(shop.Colors[1])));
  screen->CdsDetail->CheckBrowseMode();
  const std::string coloured = Screen(*screen);
  dialog->Clear();
  Scan(*screen, UnitOf(0, 1));
  EXPECT_EQ(dialog->Texts(TDialogKind::Info),
            std::vector<std::string>{"手机串号/卡号[" + UnitOf(0, 1) + "]不属于此机型\r\n请检查颜色是否正确"});
  EXPECT_EQ(Screen(*screen), coloured);

  ASSERT_TRUE(TypeCell(*screen, "F_COLOR_ID", std::to_string(shop.Colors[2])));
  dialog->Clear();
  Scan(*screen, UnitOf(0, 1));
  EXPECT_EQ(dialog->Count(), 0);
  EXPECT_EQ(Rows(*screen), std::vector<std::string>{Row(UnitOf(0, 1), Handset(2), "5499")}) << "the row it started";
}

TEST_F(OutStockTest, AfterARowOfACountedProductTheNextUnitTakesARowOfItsOwn) {
  auto* screen = OpenOut();
  screen->chkAutoAppend->SetChecked(false);
  EnterRows(*screen, {{shop.Accessories[0], "", "15", 2}});
  Scan(*screen, UnitOf(0, 0));
  EXPECT_EQ(dialog->Count(TDialogKind::Info), 0) << "the accessory names no model for the handset";
  const std::string accessory = "|" + std::to_string(shop.Accessories[0]) + "|2|15";
  EXPECT_EQ(Rows(*screen), (std::vector<std::string>{accessory, Row(UnitOf(0, 0), Handset(0), "6199")}));

  // A paste started on such a row neither narrows to its product nor takes its price.
  EnterRows(*screen, {{shop.Accessories[1], "", "8", 1}});
  EXPECT_TRUE(PasteThrough(*screen, screen->actBatchPasteModeNO, UnitOf(0, 1) + "\r\n").empty());
  EXPECT_EQ(Rows(*screen).back(), Row(UnitOf(0, 1), Handset(2), "5499"));
  EXPECT_EQ(Rows(*screen).size(), 4u);
}

// Units whose numbers end alike: the look-up takes the one of the bill's shop and product, or none.
TEST_F(OutStockTest, AnEndSharedByUnitsOfTheBillIsNeverResolvedByChance) {
  // Two more units: one in branch 0 and one in branch 1, both ending as unit 0 (of branch 0) does.
  const std::string end = Tail(UnitOf(0, 0), 6);
  const std::string twinThere = "3511111" + end;
  db->ExecSQL("INSERT INTO TB_SYS_STOCK (F_ID, F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, F_COLOR_ID, F_MODE_NO, F_HAVE_QTY, F_UNIT) "
              "VALUES (" + std::to_string(db->NewID()) + ", " + std::to_string(Branch(1)) + ", " + std::to_string(Counter(1)) + ", " +
              std::to_string(Handset(1)) + ", " + std::to_string(shop.Colors[1]) + ", '" + twinThere + "', 1, '台')");
  auto* screen = OpenOut();
  // Only branch 0's unit ends so: the other branch's twin is not considered.
  Scan(*screen, end);
  EXPECT_EQ(dialog->Count(), 0) << JoinStrings(dialog->Texts(TDialogKind::Info), "|");
  EXPECT_EQ(Rows(*screen).front(), Row(UnitOf(0, 0), Handset(0), "6199"));

  const std::string tail = Tail(UnitOf(0, 1), 5);
  const std::string twin = "3599999999" + tail;
  db->ExecSQL("INSERT INTO TB_SYS_STOCK (F_ID, F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, F_COLOR_ID, F_MODE_NO, F_HAVE_QTY, F_UNIT) "
              "VALUES (" + std::to_string(db->NewID()) + ", " + std::to_string(Branch(0)) + ", " + std::to_string(Counter(0)) + ", " +
              std::to_string(Handset(1)) + ", " + std::to_string(shop.Colors[1]) + ", '" + twin + "', 1, '台')");
  screen->CdsDetail->CheckBrowseMode();
  const std::string before = Screen(*screen);
  dialog->Clear();
  Scan(*screen, tail);
  EXPECT_EQ(dialog->Texts(TDialogKind::Info),
            std::vector<std::string>{"手机串号/卡号[" + tail + "]匹配到2个库存串号,请输入更多位数"});
  EXPECT_EQ(Screen(*screen), before) << "neither is taken";
  // More digits name one.
  Scan(*screen, Tail(UnitOf(0, 1), 8));
  EXPECT_EQ(Rows(*screen).back(), Row(UnitOf(0, 1), Handset(2), "5499"));
}

// Cards carry letters and numbers of any length.
TEST_F(OutStockTest, AWholeNumberWinsOverLongerOnesEndingInItAndLettersMatchInAnyCase) {
  auto card = [&](const std::string& number) {
    db->ExecSQL("INSERT INTO TB_SYS_STOCK (F_ID, F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, F_COLOR_ID, F_MODE_NO, F_HAVE_QTY, F_UNIT) "
                "VALUES (" + std::to_string(db->NewID()) + ", " + std::to_string(Branch(0)) + ", " + std::to_string(Counter(0)) +
                ", " + std::to_string(shop.Card) + ", 0, '" + number + "', 1, '张')");
  };
  card("CA00012345");
  card("99CA00012345");
  card("8986XY77QZ");
  auto* screen = OpenOut();
  Scan(*screen, "ca00012345");
  EXPECT_EQ(dialog->Count(), 0) << "the card numbered so, not the one ending so";
  Scan(*screen, "y77qz");
  EXPECT_EQ(dialog->Count(), 0);
  Scan(*screen, "9ca00012345");
  EXPECT_EQ(dialog->Texts(TDialogKind::Info), std::vector<std::string>{"手机串号/卡号[9CA00012345]库存不足,请重新输入"})
      << "more than ten characters are a whole number";
  Scan(*screen, "99ca00012345");
  EXPECT_EQ(Rows(*screen), (std::vector<std::string>{Row("CA00012345", shop.Card, "30"), Row("8986XY77QZ", shop.Card, "30"),
                                                     Row("99CA00012345", shop.Card, "30")}));
}

TEST_F(OutStockTest, PricesComeFromTheShopOncePerProductAndFillOnlyUnpricedRows) {
  auto* screen = OpenOut();
  Scan(*screen, UnitOf(0, 0));
  const int64_t calls = db->CallCount();
  Scan(*screen, UnitOf(0, 2));  // handset 0 again: its price is known
  EXPECT_EQ(db->CallCount() - calls, 1) << "the stock look-up only";
  EXPECT_EQ(Rows(*screen).back(), Row(UnitOf(0, 2), Handset(0), "6199"));

  // A quick-input price wins over the shop's.
  ASSERT_TRUE(QuickPrice(*screen, "5000"));
  Scan(*screen, UnitOf(0, 4));
  EXPECT_EQ(Rows(*screen).back(), Row(UnitOf(0, 4), Handset(0), "5000"));
  // The bound of the quick-input price is included.
  EXPECT_TRUE(QuickPrice(*screen, "100000"));
  EXPECT_FALSE(QuickPrice(*screen, "100000.01"));
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{"单价输入有误"});
}

TEST_F(OutStockTest, ThePriceOfTheNewShopAfterTheShopChanges) {
  auto* screen = OpenOut();
  Scan(*screen, UnitOf(0, 0));
  EXPECT_EQ(Rows(*screen).front(), Row(UnitOf(0, 0), Handset(0), "6199"));
  dialog->QueueAnswer(true);  // "更改店铺将清空明细"
  ASSERT_TRUE(TypeHeader(*screen, "F_SHOP_ID", std::to_string(Branch(1))));
  Scan(*screen, UnitOf(1, 1));  // unit 3: handset 3
  Scan(*screen, UnitOf(1, 2));  // unit 5: handset 1
  Scan(*screen, UnitOf(1, 3));  // unit 7: handset 3 again
  EXPECT_EQ(Rows(*screen), (std::vector<std::string>{Row(UnitOf(1, 1), Handset(3), "3899"), Row(UnitOf(1, 2), Handset(1), "3799"),
                                                     Row(UnitOf(1, 3), Handset(3), "3899")}));
  // Handset 0 in branch 1 sells at the product's own price, not branch 0's.
  Scan(*screen, UnitOf(1, 0));  // unit 1: handset 1
  EXPECT_EQ(Rows(*screen).back(), Row(UnitOf(1, 0), Handset(1), "3799"));
}

TEST_F(OutStockTest, TypedPricesFollowTheParametersOfTheBillKind) {
  auto* screen = OpenOut();
  TGridColumn* price = screen->tvResult->FindColumnByFieldName("F_PRICE");
  ASSERT_NE(price, nullptr);
  EXPECT_FALSE(price->Options.Editing) << "the wholesale price may not be changed";
  Scan(*screen, UnitOf(0, 0));
  screen->CdsDetail->First();
  screen->CdsDetail->Edit();
  screen->CdsDetail->FieldByName("F_PRICE").SetText("100");
  EXPECT_EQ(dialog->Texts(TDialogKind::Tip), std::vector<std::string>{"系统设置不允许修改批发价"});
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_PRICE").AsCurrency(), Currency::FromInt(6199));
  screen->CdsDetail->Cancel();

  SetParam(kSpEditWholesalePrice, Variant(true));
  auto* allowed = OpenOut();
  EXPECT_TRUE(allowed->tvResult->FindColumnByFieldName("F_PRICE")->Options.Editing);
  Scan(*allowed, UnitOf(0, 1));
  allowed->CdsDetail->First();
  EXPECT_TRUE(TypeCell(*allowed, "F_PRICE", "5300"));
  EXPECT_EQ(Rows(*allowed).front(), Row(UnitOf(0, 1), Handset(2), "5300"));

  dialog->Clear();
  auto* retail = OpenOut(testing::kRetail);
  EXPECT_FALSE(retail->tvResult->FindColumnByFieldName("F_PRICE")->Options.Editing);
  Scan(*retail, UnitOf(0, 0));
  EXPECT_EQ(Rows(*retail).front(), Row(UnitOf(0, 0), Handset(0), "6899")) << "branch 0's retail price";
  retail->CdsDetail->First();
  retail->CdsDetail->Edit();
  retail->CdsDetail->FieldByName("F_PRICE").SetText("100");
  EXPECT_EQ(dialog->Texts(TDialogKind::Tip), std::vector<std::string>{"系统设置不允许修改零售价"});
  retail->CdsDetail->Cancel();
}

TEST_F(OutStockTest, TheSerialColumnListsTheUnitsOfTheShopAndFillsTheRow) {
  auto* screen = OpenOut();
  TGridColumn* serial = screen->tvResult->FindColumnByFieldName("F_MODE_NO");
  ASSERT_NE(serial, nullptr);
  screen->SetActiveControl(screen->cxGrid1);
  screen->tvResult->SetFocusedColumn(serial);
  screen->TypeText(Tail(UnitOf(0, 3), 6));
  screen->PressKey(VK_RETURN);
  screen->CdsDetail->CheckBrowseMode();
  EXPECT_EQ(Rows(*screen).front(), Row(UnitOf(0, 3), Handset(2), "5499"));
  EXPECT_TRUE(screen->ModeNOList().Contains(UnitOf(0, 3)));
  // The same unit once more, into the next row: refused, the row as it was.
  screen->CdsDetail->Append();
  screen->CdsDetail->CheckBrowseMode();
  const std::string before = Screen(*screen);
  screen->SetActiveControl(screen->cxGrid1);
  screen->tvResult->SetFocusedColumn(serial);
  screen->TypeText(Tail(UnitOf(0, 3), 6));
  screen->PressKey(VK_RETURN);
  screen->PressKey(VK_ESCAPE);
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{"手机串码/卡号[" + UnitOf(0, 3) + "]重复"});
  screen->CdsDetail->Cancel();
  EXPECT_EQ(Screen(*screen), before);
  auto* list = dynamic_cast<TFrameLookupSysStock*>(serial->Properties.PopupControl);
  ASSERT_NE(list, nullptr);
  list->DoFilter(Tail(UnitOf(1, 0), 6));
  EXPECT_EQ(list->cdsMain->RecordCount(), 0) << "another branch's units are not offered";
}

}  // namespace
}  // namespace jxc

namespace jxc {
namespace {

// A screen that binds the serial validation to an edit of its own, as derived screens may.
class TFrmValidatedModeNO : public TFrmBillOutStockFramework {
 public:
  using TFrmBillOutStockFramework::TFrmBillOutStockFramework;
  std::string Validate(const std::string& text, bool& error) {
    std::string display = text, message;
    error = false;
    edtModeNOPropertiesValidate(*edtModeNO, display, message, error);
    return message;
  }
};

TEST_F(OutStockTest, TheSerialValidationFollowsTheRulesOfTheQuickInput) {
  auto* screen = Open<TFrmValidatedModeNO>(testing::kSale);
  bool error = false;
  EXPECT_EQ(screen->Validate("  ", error), "");
  EXPECT_FALSE(error);
  EXPECT_EQ(dialog->Texts(TDialogKind::Warning), std::vector<std::string>{"请输入手机串号/卡号"});
  screen->CdsDetail->CheckBrowseMode();
  const std::string before = Screen(*screen);
  EXPECT_EQ(screen->Validate("0", error), "请输入手机串号/卡号,或后5-10位") << "one character names no unit";
  EXPECT_TRUE(error);
  EXPECT_EQ(screen->Validate("_____", error), "手机串号/卡号[_____]库存不足,请重新输入");
  EXPECT_TRUE(error);
  EXPECT_EQ(Screen(*screen), before);
  const std::string unit = UnitOf(0, 1);
  EXPECT_EQ(screen->Validate(" " + unit.substr(unit.size() - 7) + " ", error), "");
  EXPECT_FALSE(error);
  EXPECT_EQ(Rows(*screen).front(), Row(unit, Handset(2), "5499"));
}

}  // namespace
}  // namespace jxc

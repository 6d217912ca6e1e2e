// The grid editor on the sample shop's master data: quick and exact search, delete with its detail rows
// and without losing other unsaved edits, refresh, the picker of other screens, and the application's
// record editor behind New and Edit.

#include <gtest/gtest.h>

#include "EditorTestSupport.h"
#include "platform/Exceptions.h"
#include "platform/StdCtrls.h"

namespace jxc {
namespace {

using testing::EditorTest;
using testing::TFrmColorEditor;
using testing::TFrmProductPrices;

class GridEditorTest : public EditorTest {
 protected:
  // The user types into the quick-search box, replacing what it held.
  void Search(TFrmBaseDBGridEditor& screen, const std::string& text) {
    screen.SetActiveControl(screen.edtSearch);
    screen.edtSearch->SelectAll();
    screen.PressKey(VK_DELETE);
    screen.TypeText(text);
  }
  // The user picks a field and an operator in the exact-search bar and types a value.
  void Exact(TFrmBaseDBGridEditor& screen, const char* field, const char* op, const std::string& value) {
    for (int i = 0; i < screen.edtFieldList->ItemCount(); ++i)
      if (screen.edtFieldList->ItemValue(i).ToString() == field) screen.edtFieldList->SetItemIndex(i);
    screen.edtOpKind->SetItemIndex(screen.edtOpKind->IndexOf(op));
    screen.SetActiveControl(screen.edtValue);
    screen.edtValue->SelectAll();
    screen.PressKey(VK_DELETE);
    screen.TypeText(value);
  }
  std::vector<std::string> Codes(TFrmBaseDBGridEditor& screen) {
    std::vector<std::string> codes;
    TGridColumn* code = screen.tvResult->FindColumnByFieldName("F_CODE");
    for (int record : screen.tvResult->DataController().Rows())
      codes.push_back(screen.tvResult->DataController().Value(record, *code).ToString());
    return codes;
  }
  void DeleteFocused(TFrmBaseDBGridEditor& screen, TMsgResult answer = TMsgResult::OK) {
    boxes.QueueAnswer(answer);
    screen.PressKey(VK_F4);
  }
};

TEST_F(GridEditorTest, QuickSearchFindsCodeNameOrPinyinInAnyCaseAsTheUserTypes) {
  db->ExecSQL("UPDATE TB_PRODUCT_ATTRIBUTE SET F_STATUS = 1 WHERE F_CODE = 'P8'");
  auto* screen = Open("商品资料");
  EXPECT_EQ(screen->cdsMain->RecordCount(), 8);
  Search(*screen, "pho");
  EXPECT_EQ(Codes(*screen), std::vector<std::string>{"P3"});  // iPhone 15
  Search(*screen, "sj");
  EXPECT_EQ(Codes(*screen), std::vector<std::string>{"P5"});  // 手机保护壳, pinyin SJBHK
  Search(*screen, "p6");
  EXPECT_EQ(Codes(*screen), std::vector<std::string>{"P6"});
  Search(*screen, " 华为 ");
  EXPECT_EQ(Codes(*screen), std::vector<std::string>{"P1"});
  Search(*screen, "O'B");
  EXPECT_TRUE(Application().ShownErrors().empty());
  EXPECT_EQ(screen->cdsMain->RecordCount(), 0);
  Search(*screen, "");
  EXPECT_EQ(screen->cdsMain->RecordCount(), 8);

  // Stopped products stay out of sight unless asked for.
  screen->chkShowStopped->Click();
  EXPECT_EQ(screen->cdsMain->RecordCount(), 7);
  Search(*screen, "卡");
  EXPECT_EQ(screen->cdsMain->RecordCount(), 0);
  screen->chkShowStopped->Click();
  EXPECT_EQ(Codes(*screen), std::vector<std::string>{"P8"});
}

TEST_F(GridEditorTest, ExactSearchComparesInTheFieldsOwnKind) {
  auto* screen = Open("商品资料");
  ASSERT_GT(screen->edtFieldList->ItemCount(), 5);
  EXPECT_EQ(screen->edtFieldList->ItemValue(screen->edtFieldList->ItemIndex()).ToString(), "F_NAME");
  Exact(*screen, "F_PRICE_LS", "大于或等于", "4000");
  EXPECT_EQ(Codes(*screen), (std::vector<std::string>{"P1", "P3", "P4"}));
  EXPECT_EQ(StatusTexts().back(), "搜索完成,匹配到共3条记录");
  Exact(*screen, "F_PRICE_LS", "小于或等于", "99");
  EXPECT_EQ(Codes(*screen), (std::vector<std::string>{"P5", "P6", "P7", "P8"}));
  Exact(*screen, "F_PRICE_LS", "相等", "99.00");
  EXPECT_EQ(Codes(*screen), std::vector<std::string>{"P7"});
  Exact(*screen, "F_PRICE_LS", "相似", "99");
  EXPECT_EQ(Codes(*screen), (std::vector<std::string>{"P1", "P2", "P3", "P4", "P7"}));
  Exact(*screen, "F_PRODUCT_TYPE_ID", "大于或等于", "2");
  EXPECT_EQ(Codes(*screen), (std::vector<std::string>{"P5", "P6", "P7", "P8"}));
  Exact(*screen, "F_PRODUCT_TYPE_ID", "相等", "x");
  EXPECT_EQ(StatusTexts().back(), "查询值[x]无效");
  EXPECT_EQ(screen->tvResult->DataController().RowCount(), 8);
  Exact(*screen, "F_NAME", "相似", "MATE");
  EXPECT_EQ(Codes(*screen), std::vector<std::string>{"P1"});
  Exact(*screen, "F_NAME", "相似", "");
  EXPECT_EQ(screen->tvResult->DataController().RowCount(), 8);
  EXPECT_EQ(StatusTexts().back(), "搜索完成,匹配到共8条记录");
  screen->chkShowFilter->Click();
  EXPECT_TRUE(screen->tvResult->OptionsView.FilterRow);
  EXPECT_EQ(screen->tvResult->OptionsView.FilterRowInfoText, "点击这里定义过滤项");
}

TEST_F(GridEditorTest, DeleteRemovesTheRowAndKeepsOtherUnsavedEdits) {
  auto* screen = Open("商品资料");
  TClientDataSet& products = *screen->cdsMain;
  screen->PressKey(VK_F2);
  Type(*screen, "F_PRICE_LS", "6666");
  ASSERT_TRUE(products.Locate("F_CODE", Variant("P2")));  // moving on posts the edit of P1
  EXPECT_EQ(products.ChangeCount(), 1);

  DeleteFocused(*screen, TMsgResult::Cancel);
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].Text, "确定删除本条记录吗?");
  EXPECT_EQ(boxes.Calls()[0].Title, "提示");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_ATTRIBUTE"), 8);
  EXPECT_EQ(products.RecordCount(), 8);

  DeleteFocused(*screen);
  EXPECT_EQ(dialog->Last().Text, "记录已删除");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_ATTRIBUTE WHERE F_CODE = 'P2'"), 0);
  EXPECT_EQ(products.RecordCount(), 7);
  EXPECT_FALSE(products.Locate("F_CODE", Variant("P2")));
  EXPECT_EQ(products.ChangeCount(), 1);  // P1's price, still to be saved
  Click(*screen, screen->actSave);
  EXPECT_EQ(Text("SELECT F_PRICE_LS FROM TB_PRODUCT_ATTRIBUTE WHERE F_CODE = 'P1'"), "6666");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_SYS_LOG WHERE F_MESSAGE = '商品资料 [张三]  [删除] P2'"), 1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_SYS_LOG WHERE F_MESSAGE = '商品资料 [张三]  [编辑] P1'"), 1);
  EXPECT_EQ(products.ChangeCount(), 0);

  // Down to the last row, then nothing left to delete.
  while (!products.IsEmpty()) DeleteFocused(*screen);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_ATTRIBUTE"), 0);
  EXPECT_EQ(screen->tvResult->DataController().RowCount(), 0);
  EXPECT_EQ(dialog->Last().Text, "记录已删除");
  const size_t asked = boxes.Calls().size();
  screen->PressKey(VK_F4);
  EXPECT_EQ(dialog->Last().Text, "没有记录可删除");
  EXPECT_EQ(boxes.Calls().size(), asked);
  EXPECT_EQ(products.ChangeCount(), 0);
}

TEST_F(GridEditorTest, DeletingAProductTakesOnlyItsOwnDetailRowsInTheSameTransaction) {
  const int64_t huawei = shop.Handsets[0], xiaomi = shop.Handsets[1];
  db->ExecSQL("INSERT INTO TB_PRODUCT_SHOP_PRICE (F_ID, F_SHOP_ID, F_PRODUCT_ID, F_PRICE_LS) VALUES (91, " +
              std::to_string(shop.Branches[1]) + ", " + std::to_string(huawei) + ", 6799)\n" +
              "INSERT INTO TB_PRODUCT_SHOP_PRICE (F_ID, F_SHOP_ID, F_PRODUCT_ID, F_PRICE_LS) VALUES (92, " +
              std::to_string(shop.Branches[1]) + ", " + std::to_string(xiaomi) + ", 3899)");
  auto* screen = Open<TFrmProductPrices>("商品资料");
  ASSERT_EQ(screen->cdsPrices->RecordCount(), 3);
  ASSERT_TRUE(screen->cdsMain->Locate("F_ID", Variant(static_cast<long long>(huawei))));
  DeleteFocused(*screen);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_SHOP_PRICE WHERE F_PRODUCT_ID = " + std::to_string(huawei)), 0);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_SHOP_PRICE WHERE F_PRODUCT_ID = " + std::to_string(xiaomi)), 1);
  EXPECT_EQ(screen->cdsPrices->RecordCount(), 1);
  EXPECT_EQ(screen->cdsPrices->ChangeCount(), 0);
  EXPECT_FALSE(screen->actSave->Enabled);

  // A detail table the database refuses: the product stays, in the database and on the screen.
  auto* broken = CreateForm<TFrmProductPrices>(&Application());
  broken->PriceTable = "TB_PRODUCT_PRICE_NOPE";
  broken->SetCaption("商品资料");
  broken->DoOnShow();
  Application().Advance(200);
  ASSERT_TRUE(broken->cdsMain->Locate("F_ID", Variant(static_cast<long long>(xiaomi))));
  DeleteFocused(*broken);
  EXPECT_EQ(dialog->Last().Text.rfind("删除失败\r\n失败原因：", 0), 0u) << dialog->Last().Text;
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_ATTRIBUTE WHERE F_ID = " + std::to_string(xiaomi)), 1);
  EXPECT_TRUE(broken->cdsMain->Locate("F_ID", Variant(static_cast<long long>(xiaomi))));
  EXPECT_EQ(broken->cdsMain->ChangeCount(), 0);
}

TEST_F(GridEditorTest, RefreshShowsWhatOthersSavedAndTipsOnlyWhenItWorked) {
  auto* screen = Open("商品颜色");
  ASSERT_EQ(screen->cdsMain->RecordCount(), 4);
  ASSERT_TRUE(screen->cdsMain->Locate("F_CODE", Variant("3")));
  {
    TSQLiteDBAccess other(path);
    other.ExecSQL("INSERT INTO TB_PRODUCT_COLOR (F_ID, F_CODE, F_NAME) VALUES (77, '5', '紫色')");
  }
  screen->PressKey(VK_F5);
  EXPECT_EQ(screen->cdsMain->RecordCount(), 5);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_CODE").AsString(), "3");  // still on the row the user was on
  EXPECT_EQ(dialog->Last().Text, "刷新成功");

  // Unsaved changes: asked first, and "no" keeps them.
  screen->PressKey(VK_F2);
  Type(*screen, "F_NAME", "金黄");
  dialog->Clear();
  screen->PressKey(VK_F5);
  EXPECT_EQ(dialog->Texts(TDialogKind::Confirm), std::vector<std::string>{"您正在编辑数据,是否继续?"});
  EXPECT_EQ(screen->cdsMain->FieldByName("F_NAME").AsString(), "金黄");
  boxes.QueueAnswer(TMsgResult::OK);
  Click(*screen, screen->actUndo);

  // A query that fails: one message, the rows kept, no success tip, the query action usable again.
  screen->SetFilter("WHERE F_NOPE = 1");
  dialog->Clear();
  screen->PressKey(VK_F5);
  ASSERT_EQ(dialog->Count(), 1);
  EXPECT_EQ(dialog->Last().Text.rfind("查询失败\r\n失败原因：", 0), 0u) << dialog->Last().Text;
  EXPECT_EQ(screen->cdsMain->RecordCount(), 5);
  EXPECT_TRUE(screen->actQuery->Enabled);
  screen->SetFilter("WHERE F_CODE <> '5'");
  screen->PressKey(VK_F9);
  EXPECT_EQ(screen->cdsMain->RecordCount(), 4);
}

TEST_F(GridEditorTest, ThePickerIsReusedPerCaptionAndHandsBackTheChosenRows) {
  TFrmBaseDBGridEditor* picker = GetBaseGridForm(nullptr, "商品资料");
  EXPECT_EQ(GetBaseGridForm(nullptr, "商品资料"), picker);
  EXPECT_EQ(picker->Name(), "SPZL");
  EXPECT_EQ(picker->FormStyle, TFormStyle::fsNormal);
  EXPECT_TRUE(picker->actSelect->Visible);
  EXPECT_EQ(picker->actSelect->Caption, "选择(&S)");
  EXPECT_EQ(picker->actBack->Caption, "取消(&S)");
  // 商品种类 shares the initials SPZL: it gets its own screen.
  db->ExecSQL("INSERT INTO TB_SYS_FUNCTION (F_ID, F_NAME, F_ClassName, F_TableName, F_DATA) VALUES "
              "(88, '商品种类', 'TFrmBaseDBGridEditor', 'TB_PRODUCT_CONFIG', 'TB_PRODUCT_CONFIG')");
  TFrmBaseDBGridEditor* kinds = GetBaseGridForm(nullptr, "商品种类");
  EXPECT_NE(kinds, picker);
  EXPECT_EQ(kinds->Caption(), "商品种类");
  EXPECT_EQ(GetBaseGridForm(nullptr, "商品种类"), kinds);
  Application().Advance(200);
  EXPECT_EQ(kinds->FormParams.F_UpdateTable, "TB_PRODUCT_CONFIG");

  TMemTable chosen;
  picker->SetDataSet(&chosen);
  Application().QueueModalScript([](TCustomForm& form) {
    auto& grid = static_cast<TFrmBaseDBGridEditor&>(form);
    grid.cdsMain->Locate("F_CODE", Variant("P3"));
    grid.tvResult->DblClick();
  });
  EXPECT_EQ(picker->ShowModelForm(), mrOk);
  ASSERT_EQ(chosen.RecordCount(), 1);
  EXPECT_EQ(chosen.FieldByName("F_NAME").AsString(), "iPhone 15");

  picker->SetIsMulSelected(true);
  Application().QueueModalScript([](TCustomForm& form) {
    auto& grid = static_cast<TFrmBaseDBGridEditor&>(form);
    grid.tvResult->SelectRecord(0);
    grid.tvResult->SelectRecord(4);
    grid.actSelect->Execute();
  });
  EXPECT_EQ(picker->ShowModelForm(), mrOk);
  ASSERT_EQ(chosen.RecordCount(), 2);
  EXPECT_EQ(chosen.FieldByName("F_CODE").AsString(), "P1");

  // Nothing to choose from: the user is told and the picker stays open until closed.
  picker->SetFilter("WHERE 1 = 0");
  Application().QueueModalScript([](TCustomForm& form) {
    auto& grid = static_cast<TFrmBaseDBGridEditor&>(form);
    grid.actQuery->Execute();
    Application().Dispatch([&grid] { grid.actSelect->Execute(); });
  });
  EXPECT_EQ(picker->ShowModelForm(), mrCancel);
  EXPECT_EQ(dialog->Last().Text, "请选择一条记录");

  // A picker the user may not open is not kept.
  rights->SetGrantAll(false);
  EXPECT_THROW(GetBaseGridForm(nullptr, "库位资料"), Exception);
  Application().ProcessMessages();
  EXPECT_EQ(Application().FindComponent("KWZL"), nullptr);
}

TEST_F(GridEditorTest, NewAndEditGoThroughTheRecordEditorAndShowWhatItSaved) {
  auto* screen = Open("商品颜色");
  screen->SetDataEditor(std::make_shared<TDataEditorLauncher>(
      "商品颜色", [](TComponent* owner) { return CreateForm<TFrmColorEditor>(owner); }));
  Application().QueueModalScript([](TCustomForm& form) {
    auto& editor = static_cast<TFrmColorEditor&>(form);
    editor.Enter(editor.edtName, "青色");
    editor.btnOK->PerformClick();
  });
  screen->PressKey(VK_F1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_COLOR WHERE F_NAME = '青色'"), 1);
  EXPECT_EQ(screen->cdsMain->RecordCount(), 5);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_NAME").AsString(), "青色");
  EXPECT_EQ(screen->cdsMain->ChangeCount(), 0);
  EXPECT_EQ(dialog->Texts(TDialogKind::Info), std::vector<std::string>{"保存成功"});

  Application().QueueModalScript([](TCustomForm& form) {
    auto& editor = static_cast<TFrmColorEditor&>(form);
    editor.Enter(editor.edtName, "靛青");
    editor.btnOK->PerformClick();
  });
  screen->PressKey(VK_F2);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_NAME").AsString(), "靛青");
  EXPECT_EQ(screen->cdsMain->ChangeCount(), 0);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_COLOR WHERE F_NAME = '靛青'"), 1);

  // Closed without saving: nothing changes.
  Application().QueueModalScript([](TCustomForm& form) { form.Close(); });
  screen->PressKey(VK_F1);
  EXPECT_EQ(screen->cdsMain->RecordCount(), 5);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_COLOR"), 5);
  EXPECT_TRUE(Application().ShownErrors().empty());
}

TEST_F(GridEditorTest, LayoutAndExportGoThroughTheGridLayoutService) {
  auto* screen = Open("商品资料");
  layouts->SetArranger([](TGridTableView& view) {
    view.FindColumnByFieldName("F_PY")->Visible = false;
    view.FindColumnByFieldName("F_NAME")->Caption = "商品名称";
    return true;
  });
  Click(*screen, screen->actGridConfig);
  EXPECT_TRUE(layouts->HasGridConfig("商品资料"));
  EXPECT_EQ(screen->edtFieldList->IndexOf("F_PY"), -1);
  EXPECT_GE(screen->edtFieldList->IndexOf("商品名称"), 0);

  // The next screen of the function opens with the stored layout.
  ResetApplication();
  auto* again = Open("商品资料");
  EXPECT_FALSE(again->tvResult->FindColumnByFieldName("F_PY")->Visible);
  EXPECT_EQ(again->tvResult->FindColumnByFieldName("F_NAME")->Caption, "商品名称");

  TScriptedSaveDialog files;
  ScopedSaveFileDialog scopedFiles(files);
  Click(*again, again->actExport);
  EXPECT_EQ(files.Requests().size(), 1u);  // asked for a file; cancelled, nothing written
  EXPECT_TRUE(Application().ShownErrors().empty());
}

}  // namespace
}  // namespace jxc

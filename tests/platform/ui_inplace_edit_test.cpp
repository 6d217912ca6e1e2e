// In-place editors of grid cells: opening by typing, F2 and clicks, writing through the field's text
// entry, refusals, Esc, lookup and popup drop-downs, and editors closing while their grid, view or
// dataset changes under them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "platform/Grid.h"
#include "platform/GridDB.h"
#include "platform/GridInplaceEdit.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"

namespace jxc {
namespace {

// A detail grid of products with a colour looked up in a colour list.
class UiInplaceEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplication();
    form = new TForm(&Application());
    cdsDetail = new TClientDataSet(form);
    cdsDetail->FieldDefs().Add("F_PRODUCT", ftString, 50);
    cdsDetail->FieldDefs().Add("F_QTY", ftInteger);
    cdsDetail->FieldDefs().Add("F_COLOR_ID", ftInteger);
    cdsDetail->CreateDataSet();
    cdsDetail->AppendRecord({"iPhone", 1, 1});
    cdsDetail->AppendRecord({"Mate", 2, 2});
    cdsDetail->First();
    dsDetail = new TDataSource(form);
    dsDetail->SetDataSet(cdsDetail);

    cdsColor = new TClientDataSet(form);
    cdsColor->FieldDefs().Add("F_ID", ftInteger);
    cdsColor->FieldDefs().Add("F_NAME", ftString, 20);
    cdsColor->CreateDataSet();
    cdsColor->AppendRecord({1, "黑色"});
    cdsColor->AppendRecord({2, "白色"});
    cdsColor->AppendRecord({3, "白金"});
    dsColor = new TDataSource(form);
    dsColor->SetDataSet(cdsColor);

    grid = new TGrid(form);
    grid->SetParent(form);
    tvResult = grid->CreateView();
    tvResult->DataController().SetDataSource(dsDetail);
    product = tvResult->CreateColumn("F_PRODUCT", "商品");
    qty = tvResult->CreateColumn("F_QTY", "数量");
    color = tvResult->CreateColumn("F_COLOR_ID", "颜色");
    color->Properties.Kind = TGridEditorKind::Lookup;
    color->Properties.ListSource = dsColor;
    color->Properties.KeyFieldNames = "F_ID";
    color->Properties.ListFieldNames = "F_NAME";
    other = new TEdit(form);
    other->SetParent(form);
    grid->SetFocus();
  }
  void TearDown() override { ResetApplication(); }

  void Focus(TGridColumn* column) { tvResult->SetFocusedColumn(column); }

  TForm* form;
  TClientDataSet *cdsDetail, *cdsColor;
  TDataSource *dsDetail, *dsColor;
  TGrid* grid;
  TGridTableView* tvResult;
  TGridColumn *product, *qty, *color;
  TEdit* other;
};

TEST_F(UiInplaceEditTest, TypingOnACellOpensItsEditorAndEnterWritesThroughTheTextEntry) {
  std::vector<std::string> entered;
  cdsDetail->FieldByName("F_PRODUCT").OnSetText = [&](TField& field, const std::string& text) {
    entered.push_back(text);
    field.SetAsString(UpperCase(text));
  };
  Focus(product);
  form->TypeText("nova");
  TGridInplaceEditor* editor = tvResult->InplaceEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(form->ActiveControl(), editor);
  EXPECT_EQ(editor->Text(), "nova") << "the first character replaces the cell's text";
  EXPECT_EQ(cdsDetail->State(), dsEdit) << "the first keystroke puts the row into edit";
  EXPECT_EQ(cdsDetail->FieldByName("F_PRODUCT").AsString(), "iPhone") << "nothing written before the post";

  form->PressKey(VK_RETURN);
  EXPECT_EQ(entered, std::vector<std::string>{"nova"});
  EXPECT_EQ(cdsDetail->FieldByName("F_PRODUCT").AsString(), "NOVA");
  EXPECT_EQ(tvResult->InplaceEditor(), nullptr);
  EXPECT_EQ(form->ActiveControl(), grid) << "the grid has the focus again";
  EXPECT_EQ(grid->ControlCount(), 0) << "the closed editor was freed after the key";

  form->PressKey(VK_F2);
  ASSERT_NE(tvResult->InplaceEditor(), nullptr);
  EXPECT_EQ(tvResult->InplaceEditor()->Text(), "NOVA");
  EXPECT_EQ(tvResult->InplaceEditor()->SelLength(), 4) << "entering selects the whole text";
}

TEST_F(UiInplaceEditTest, ARefusedValueIsShownAndKeptUntilEscDropsIt) {
  cdsDetail->FieldByName("F_QTY").OnSetText = [](TField& field, const std::string& text) {
    if (StrToIntDef(text, 0) <= 0) throw Exception("数量输入有误");
    field.SetAsString(text);
  };
  Focus(qty);
  form->TypeText("0");
  form->PressKey(VK_RETURN);
  EXPECT_EQ(Application().ShownErrors().back(), "数量输入有误");
  ASSERT_NE(tvResult->InplaceEditor(), nullptr) << "the editor stays open";
  EXPECT_EQ(tvResult->InplaceEditor()->Text(), "0");

  Application().Dispatch([&] { form->SetActiveControl(other); });  // the user clicks another control
  EXPECT_EQ(form->ActiveControl(), tvResult->InplaceEditor()) << "a refused value keeps the focus";

  form->PressKey(VK_ESCAPE);
  EXPECT_EQ(tvResult->InplaceEditor(), nullptr);
  EXPECT_EQ(cdsDetail->FieldByName("F_QTY").AsInteger(), 1);
  form->TypeText("5");
  form->PressKey(VK_DOWN);
  EXPECT_EQ(cdsDetail->RecNo(), 2) << "Down writes the cell, then moves to the next row";
  cdsDetail->First();
  EXPECT_EQ(cdsDetail->FieldByName("F_QTY").AsInteger(), 5);
}

TEST_F(UiInplaceEditTest, CellsThatMayNotChangeRefuseTheKeys) {
  dsDetail->AutoEdit = false;
  Focus(product);
  form->TypeText("x");
  ASSERT_NE(tvResult->InplaceEditor(), nullptr);
  EXPECT_EQ(tvResult->InplaceEditor()->Text(), "iPhone");
  EXPECT_EQ(cdsDetail->State(), dsBrowse);
  form->PressKey(VK_ESCAPE);

  dsDetail->AutoEdit = true;
  product->Options.Editing = false;
  form->PressKey(VK_F2);
  EXPECT_EQ(tvResult->InplaceEditor(), nullptr);
}

TEST_F(UiInplaceEditTest, ALookupListOpensMovesAcceptsAndCancels) {
  int initPopups = 0, closeUps = 0;
  color->Properties.OnInitPopup = [&](TGridColumn&) { ++initPopups; };
  color->Properties.OnCloseUp = [&](TGridColumn&) { ++closeUps; };
  tvResult->ClickCell(0, *color);
  auto* editor = dynamic_cast<TGridInplaceLookupEdit*>(tvResult->InplaceEditor());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->Text(), "黑色") << "a key shows as its list row";
  form->PressKey(VK_DOWN, ssAlt);
  EXPECT_TRUE(editor->DroppedDown());
  EXPECT_EQ(initPopups, 1);
  EXPECT_EQ(editor->ListRow(), 0) << "the list opens on the cell's row";
  form->PressKey(VK_DOWN);
  EXPECT_EQ(editor->LookupKey(), Variant(2));
  form->PressKey(VK_ESCAPE);
  EXPECT_FALSE(editor->DroppedDown());
  EXPECT_EQ(editor->LookupKey(), Variant(1)) << "Esc goes back to the key from before";
  EXPECT_EQ(closeUps, 1);

  form->PressKey(VK_F4);
  form->PressKey(VK_DOWN);
  form->PressKey(VK_DOWN);
  form->PressKey(VK_RETURN);
  EXPECT_FALSE(editor->DroppedDown());
  EXPECT_EQ(editor->EditValue(), Variant(3));
  EXPECT_EQ(editor->Text(), "白金");
  form->PressKey(VK_RETURN);
  EXPECT_EQ(cdsDetail->FieldByName("F_COLOR_ID").AsInteger(), 3);
}

TEST_F(UiInplaceEditTest, TypingInALookupListCompletesTheFirstMatchAndAClickPicksARow) {
  cdsDetail->Next();
  Focus(color);
  form->TypeText("白");
  auto* editor = dynamic_cast<TGridInplaceLookupEdit*>(tvResult->InplaceEditor());
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->DroppedDown()) << "typing opens the list";
  EXPECT_EQ(editor->Text(), "白色");
  EXPECT_EQ(editor->SelStart(), 1);
  EXPECT_EQ(editor->SelText(), "色") << "the completed tail is selected";
  form->TypeText("金");
  EXPECT_EQ(editor->Text(), "白金");
  EXPECT_EQ(editor->LookupKey(), Variant(3));
  editor->ClickListRow(0);
  EXPECT_FALSE(editor->DroppedDown());
  EXPECT_EQ(editor->EditValue(), Variant(1));
  tvResult->ClickCell(0, *product);  // clicking elsewhere writes the cell
  cdsDetail->Last();
  EXPECT_EQ(cdsDetail->FieldByName("F_COLOR_ID").AsInteger(), 1);
}

TEST_F(UiInplaceEditTest, APopupShowsItsControlWhileOpen) {
  auto* frame = new TFrame(form);
  frame->SetParent(form);
  frame->SetVisible(false);
  product->Properties.Kind = TGridEditorKind::Popup;
  product->Properties.OnInitPopup = [&](TGridColumn& column) {
    column.Properties.PopupControl = frame;  // rebuilt before each opening
  };
  product->Properties.OnCloseUp = [&](TGridColumn& column) {
    if (TGridInplaceEditor* editor = column.View()->InplaceEditor()) editor->SetEditValue("Mate 60");
  };
  tvResult->ClickCell(0, *product);
  TGridInplaceEditor* editor = tvResult->InplaceEditor();
  ASSERT_NE(editor, nullptr);
  editor->DropDown();
  EXPECT_TRUE(frame->Visible());
  editor->CloseUp(true);
  EXPECT_FALSE(frame->Visible());
  form->PressKey(VK_RETURN);
  EXPECT_EQ(cdsDetail->FieldByName("F_PRODUCT").AsString(), "Mate 60");
}

TEST_F(UiInplaceEditTest, MovesInCodeAndFreedOwnersCloseTheEditorWithoutWriting) {
  Focus(product);
  form->TypeText("Nova");
  ASSERT_NE(tvResult->InplaceEditor(), nullptr);
  cdsDetail->Cancel();
  cdsDetail->Next();  // the row moves under the editor
  EXPECT_EQ(tvResult->InplaceEditor(), nullptr);
  cdsDetail->First();
  EXPECT_EQ(cdsDetail->FieldByName("F_PRODUCT").AsString(), "iPhone");

  // An editor's own handler may close it; the view, column and grid may go while it is open.
  form->PressKey(VK_F2);
  tvResult->InplaceEditor()->OnChange = [&](TCustomEdit&) { tvResult->HideEdit(false); };
  form->TypeChar(U'x');
  EXPECT_EQ(tvResult->InplaceEditor(), nullptr);
  form->PressKey(VK_F2);
  ASSERT_NE(tvResult->InplaceEditor(), nullptr);
  delete product;
  EXPECT_EQ(tvResult->InplaceEditor(), nullptr);
  Focus(qty);
  form->PressKey(VK_F2);
  ASSERT_NE(tvResult->InplaceEditor(), nullptr);
  delete tvResult;
  Application().ProcessMessages();
  EXPECT_EQ(grid->ControlCount(), 0);
  tvResult = grid->CreateView();
  tvResult->DataController().SetDataSource(dsDetail);
  tvResult->SetFocusedColumn(tvResult->CreateColumn("F_QTY", "数量"));
  form->PressKey(VK_F2);
  ASSERT_NE(tvResult->InplaceEditor(), nullptr);
  delete grid;  // with the editor open
  EXPECT_EQ(form->ActiveControl(), nullptr);
}

TEST_F(UiInplaceEditTest, UnboundCellsAndTabBetweenCells) {
  auto* unbound = new TGrid(form);
  unbound->SetParent(form);
  TGridTableView* view = unbound->CreateView();
  TGridColumn* a = view->CreateColumn();
  TGridColumn* b = view->CreateColumn();
  view->DataController().SetRecordCount(2);
  view->OptionsBehavior.FocusCellOnTab = true;
  view->ClickCell(1, *a);
  form->TypeText("甲");
  form->PressKey(VK_TAB);
  EXPECT_EQ(view->DataController().Value(1, *a), Variant("甲"));
  EXPECT_EQ(view->FocusedColumn(), b);
  EXPECT_EQ(view->InplaceEditor(), nullptr);
  form->TypeText("乙");
  form->PressKey(VK_UP);
  EXPECT_EQ(view->DataController().Value(1, *b), Variant("乙"));
  EXPECT_EQ(view->FocusedRecordIndex(), 0);
}

}  // namespace
}  // namespace jxc

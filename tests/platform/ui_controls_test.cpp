// Plain controls: edits and memos as the user types, value edits, check boxes, radio buttons, combo boxes
// and page controls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Desktop.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"
#include "platform/ValueEdits.h"

namespace jxc {
namespace {

class UiControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplication();
    form = new TForm(&Application());
  }
  void TearDown() override { ResetApplication(); }
  template <class T>
  T* Place() {
    T* control = new T(form);
    control->SetParent(form);
    return control;
  }
  TForm* form;
};

TEST_F(UiControlsTest, TypingEditsTheSelectionAndHonoursCaseReadOnlyAndLength) {
  auto* edit = Place<TEdit>();
  int changes = 0;
  edit->OnChange = [&](TCustomEdit&) { ++changes; };
  edit->CharCase = TEditCharCase::ecUpperCase;
  edit->SetFocus();
  form->TypeText("imei串码");
  EXPECT_EQ(edit->Text(), "IMEI串码");
  EXPECT_EQ(changes, 6);
  edit->SelectAll();
  form->TypeText("x");
  EXPECT_EQ(edit->Text(), "X");
  form->PressKey(VK_BACK);
  EXPECT_EQ(edit->Text(), "");
  edit->MaxLength = 2;
  form->TypeText("abc");
  EXPECT_EQ(edit->Text(), "AB");
  edit->ReadOnly = true;
  form->TypeText("c");
  EXPECT_EQ(edit->Text(), "AB");
  edit->SetText("code");  // code writes regardless and still applies the case
  EXPECT_EQ(edit->Text(), "CODE");
}

TEST_F(UiControlsTest, MemoLinesCountTheEmptyLineAfterATrailingBreak) {
  auto* memo = Place<TMemo>();
  EXPECT_EQ(memo->LineCount(), 1);
  memo->AddLine("860001");
  memo->AddLine("860002");
  EXPECT_EQ(memo->Text(), "860001\r\n860002\r\n");
  EXPECT_EQ(memo->LineCount(), 3);
  EXPECT_EQ(memo->Lines(), (std::vector<std::string>{"860001", "860002", ""}));
  memo->SetLines({"a", "b"});
  EXPECT_EQ(memo->LineCount(), 2);
}

TEST_F(UiControlsTest, CtrlVPastesTheClipboardAsTypedLineByLineInAMemo) {
  TMemoryClipboard clipboard;
  ScopedClipboard scope(clipboard);
  clipboard.SetText("abc001\n\nabc002\r\nabc003");
  auto* memo = Place<TMemo>();
  memo->CharCase = TEditCharCase::ecUpperCase;
  memo->SetFocus();
  form->TypeText("x");
  form->PressKey(VK_RETURN);
  form->PressKey('V', ssCtrl);
  EXPECT_EQ(memo->Text(), "X\r\nABC001\r\n\r\nABC002\r\nABC003") << "line breaks of any kind end lines";
  EXPECT_TRUE(memo->Modified());
  memo->SelectAll();
  form->PressKey(VK_INSERT, ssShift);
  EXPECT_EQ(memo->LineCount(), 4);

  auto* edit = Place<TEdit>();
  edit->SetFocus();
  form->PressKey('V', ssCtrl);
  EXPECT_EQ(edit->Text(), "abc001") << "one line in a one-line edit";
  edit->ReadOnly = true;
  edit->SelectAll();
  form->PressKey('V', ssCtrl);
  EXPECT_EQ(edit->Text(), "abc001");
}

TEST_F(UiControlsTest, CurrencyEditParsesWhatWasTypedAndKeepsItWhenRefused) {
  auto* edtPrice = Place<TCurrencyEdit>();
  EXPECT_EQ(edtPrice->Text(), "0.00");
  edtPrice->OnValidate = [](TCustomEdit&, std::string& text, std::string& error, bool& refused) {
    if (StrToFloatDef(StringReplace(text, ",", ""), 0) > 100000) {
      refused = true;
      error = "单价输入有误";
    }
  };
  auto* next = Place<TEdit>();
  edtPrice->SetFocus();
  edtPrice->SelectAll();
  form->TypeText("100000.01");
  form->PressKey(VK_TAB);
  EXPECT_EQ(form->ActiveControl(), edtPrice);
  EXPECT_EQ(Application().ShownErrors().back(), "单价输入有误");
  EXPECT_EQ(edtPrice->Value(), 0);
  edtPrice->SelectAll();
  form->TypeText("100000");
  form->PressKey(VK_TAB);
  EXPECT_EQ(form->ActiveControl(), next);
  EXPECT_EQ(edtPrice->Value(), 100000);
  EXPECT_EQ(edtPrice->Text(), "100,000.00");
  edtPrice->SetText("abc");
  EXPECT_THROW(edtPrice->ValidateEdit(), EConvertError);
  EXPECT_EQ(edtPrice->Value(), 100000);
}

TEST_F(UiControlsTest, DateAndSpinEditsKeepTheirValuesWithinBounds) {
  auto* date = Place<TDateEdit>();
  EXPECT_TRUE(date->EditValue().IsNull()) << "a fresh editor holds no date";
  date->MinDate = EncodeDate(2024, 1, 1);
  date->SetDate(EncodeDate(2023, 5, 6));
  EXPECT_EQ(date->Text(), "2024-01-01");
  date->SetText("2025-02-03");
  date->ValidateEdit();
  EXPECT_EQ(date->Date(), EncodeDate(2025, 2, 3));
  date->SetEditValue(Variant::Null());
  EXPECT_EQ(date->Text(), "");

  auto* top = Place<TSpinEdit>();
  top->MinValue = 1;
  top->MaxValue = 100;
  top->SetValue(10);
  top->SetFocus();
  form->PressKey(VK_UP);
  EXPECT_EQ(top->Value(), 11);
  top->SetValue(500);
  EXPECT_EQ(top->Value(), 100);
}

TEST_F(UiControlsTest, CheckBoxesAndRadioButtonsReportClicks) {
  auto* chk = Place<TCheckBox>();
  int clicks = 0;
  chk->OnClick = [&](TControl&) { ++clicks; };
  chk->PerformClick();
  EXPECT_TRUE(chk->Checked());
  chk->SetChecked(true);  // no change, no click
  EXPECT_EQ(clicks, 1);
  chk->SetEnabled(false);
  chk->PerformClick();
  EXPECT_TRUE(chk->Checked());

  auto* group = Place<TGroupBox>();
  std::vector<TRadioButton*> radios;
  for (const char* caption : {"全部", "已审", "未审"}) {
    auto* rb = new TRadioButton(form);
    rb->SetParent(group);
    rb->SetCaption(caption);
    rb->HelpKeyword = "F_STATUS";
    radios.push_back(rb);
  }
  radios[0]->SetChecked(true);
  radios[2]->PerformClick();
  EXPECT_FALSE(radios[0]->Checked());
  EXPECT_TRUE(radios[2]->Checked());
}

TEST_F(UiControlsTest, ComboBoxFollowsItsItemsAndPageControlItsPages) {
  auto* edtOpKind = Place<TComboBox>();
  for (const char* item : {"相等", "大于或等于", "小于或等于", "相似"}) edtOpKind->AddItem(item);
  edtOpKind->SetItemIndex(2);
  EXPECT_EQ(edtOpKind->Text(), "小于或等于");
  edtOpKind->SetText("相似");
  EXPECT_EQ(edtOpKind->ItemIndex(), 3);
  edtOpKind->SetText("别的");
  EXPECT_EQ(edtOpKind->ItemIndex(), -1);
  EXPECT_THROW(edtOpKind->SetItemIndex(4), EArgumentError);

  auto* pages = Place<TPageControl>();
  TTabSheet* info = pages->AddPage("基本信息");
  TTabSheet* list = pages->AddPage("详细列表");
  EXPECT_EQ(pages->ActivePage(), info);
  int changes = 0;
  pages->OnChange = [&](TPageControl&) { ++changes; };
  pages->SetActivePageIndex(1);
  EXPECT_EQ(pages->ActivePage(), list);
  EXPECT_EQ(changes, 1);
  delete list;
  EXPECT_EQ(pages->PageCount(), 1);
  EXPECT_EQ(pages->ActivePage(), info);
}

}  // namespace
}  // namespace jxc

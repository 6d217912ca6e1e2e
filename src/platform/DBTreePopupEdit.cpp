#include "platform/DBTreePopupEdit.h"

#include "platform/DataSet.h"

namespace jxc {

TDBTreePopupEdit::TDBTreePopupEdit(TComponent* owner) : TDBControl<TPopupEdit>(owner), tree_(new TDBTreeList(this)) {
  // The drop-down is a window of its own, shown only while dropped down.
  tree_->SetVisible(false);
  PopupControl = tree_;
  // A click on a node chooses it; a click on the empty area chooses nothing.
  tree_->OnClick = [this](TControl&) {
    TTreeListNode* node = tree_->ClickedNode();
    if (DroppedDown() && node && CanChoose(node)) ChooseNode(node);
  };
}

TDBTreePopupEdit::~TDBTreePopupEdit() { PopupControl = nullptr; }

void TDBTreePopupEdit::SetListSource(TDataSource* source) {
  tree_->SetDataSource(source);
  LoadFromField();
}

Variant TDBTreePopupEdit::EditValue() const { return Field() ? Field()->Value() : Variant::Null(); }

void TDBTreePopupEdit::LoadFromField() {
  TField* field = Field();
  if (!field || field->IsNull() || field->Value() == tree_->RootValue()) {
    SetText("");
    return;
  }
  // A parent that is not in the list still shows its key, so the user sees that something is chosen.
  TTreeListNode* node = tree_->FindNodeByKey(field->Value());
  SetText(node ? node->Text() : field->AsString());
}

bool TDBTreePopupEdit::CanChoose(TTreeListNode* node) const {
  if (!node) return true;
  if (node->InHiddenBranch()) return false;
  return ParentsSelectable || !node->HasChildren();
}

void TDBTreePopupEdit::ChooseNode(TTreeListNode* node) {
  TField* field = Field();
  if (!CanChoose(node) || !field || ReadOnly || !link_.CanModify() || !link_.Edit()) return;
  const Variant key = node ? node->Key() : tree_->RootValue();
  // The field change shows the chosen node.
  field->SetText(key.IsNullOrEmpty() ? std::string() : key.ToString());
  CloseUp();
  if (OnEditValueChanged) {
    auto handler = OnEditValueChanged;
    handler(*this);
  }
}

void TDBTreePopupEdit::DoInitPopup() {
  Variant excluded = Variant::Null();
  TDataSet* ds = link_.DataSet();
  if (ExcludeEditedBranch && ds && ds->Active())
    if (TField* own = ds->FindField(tree_->KeyField())) excluded = own->Value();
  tree_->SetHiddenBranchKey(excluded);
  TTreeListNode* chosen = tree_->FindNodeByKey(EditValue());
  if (chosen && !chosen->InHiddenBranch()) tree_->SetFocusedNode(chosen);
  TPopupEdit::DoInitPopup();
}

void TDBTreePopupEdit::DoCloseUp() {
  LoadFromField();
  TPopupEdit::DoCloseUp();
}

void TDBTreePopupEdit::ForwardToTree(unsigned msg, int64_t wParam, int64_t lParam) {
  TMessage message;
  message.Msg = msg;
  message.WParam = wParam;
  message.LParam = lParam;
  tree_->WndProc(message);
}

void TDBTreePopupEdit::KeyDown(int& key, TShiftState shift) {
  // The text is no typing field: only the handlers and the keys below.
  TWinControl::KeyDown(key, shift);
  if (key == 0) return;
  if (!DroppedDown()) {
    if (key == VK_F4 || (key == VK_DOWN && (shift & ssAlt))) {
      Popup();
      key = 0;
    } else if (key == VK_DELETE) {
      ChooseNode(nullptr);
      key = 0;
    }
    return;
  }
  switch (key) {
    case VK_RETURN:
      if (CanChoose(tree_->FocusedNode()) && tree_->FocusedNode()) ChooseNode(tree_->FocusedNode());
      break;
    case VK_ESCAPE:
      CloseUp();
      break;
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END:
      ForwardToTree(WM_KEYDOWN, key, shift);
      break;
    default:
      return;
  }
  key = 0;
}

void TDBTreePopupEdit::CharInput(char32_t key) {
  if (DroppedDown() && key >= 32) ForwardToTree(WM_CHAR, key);
}

}  // namespace jxc

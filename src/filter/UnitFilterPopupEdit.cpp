#include "filter/UnitFilterPopupEdit.h"

#include "filter/UnitFrameBaseFilterEx.h"
#include "platform/DataSet.h"
#include "platform/Grid.h"

namespace jxc {

// --- TDBFilterPopupEdit ----------------------------------------------------------------------------------

TDBFilterPopupEdit::~TDBFilterPopupEdit() {
  if (TFrameBaseFilterEx* frame = Frame()) frame->OnChosen = nullptr;
}

TFrameBaseFilterEx* TDBFilterPopupEdit::Frame() const { return dynamic_cast<TFrameBaseFilterEx*>(PopupControl); }

void TDBFilterPopupEdit::AttachFrame(TFrameBaseFilterEx& frame) {
  PopupControl = &frame;
  frame.FreeNotification(this);
  frame.OnChosen = [this](TFrameBaseFilterEx&) { CloseUp(); };
}

void TDBFilterPopupEdit::Notification(TComponent* component, TOperation operation) {
  TDBControl<TPopupEdit>::Notification(component, operation);
  if (operation == TOperation::opRemove && component == PopupControl) PopupControl = nullptr;
}

void TDBFilterPopupEdit::LoadFromField() {
  TField* field = Field();
  SetText(field ? field->Text() : std::string());  // set in code: no search
}

void TDBFilterPopupEdit::Change() {
  TPopupEdit::Change();
  TFrameBaseFilterEx* frame = Frame();
  if (!Modified() || !frame) return;  // only what the user types is searched
  if (!DroppedDown()) Popup();
  frame->SearchFor(Text());
}

void TDBFilterPopupEdit::KeyDown(int& key, TShiftState shift) {
  TPopupEdit::KeyDown(key, shift);  // the handler, then the caret keys
  TFrameBaseFilterEx* frame = Frame();
  if (key == 0 || !frame) return;
  if (!DroppedDown()) {
    if (key == VK_F4 || (key == VK_DOWN && (shift & ssAlt))) {
      frame->SearchFor("");
      Popup();
      key = 0;
    }
    return;
  }
  switch (key) {
    case VK_RETURN: frame->Choose(); break;
    case VK_ESCAPE: CloseUp(); break;
    case VK_UP: frame->MoveBy(-1); break;
    case VK_DOWN: frame->MoveBy(1); break;
    default: return;
  }
  key = 0;
}

void TDBFilterPopupEdit::DoEnter() {
  TPopupEdit::DoEnter();
  SelectAll();
}

void TDBFilterPopupEdit::DoCloseUp() {
  // What was typed was a search: the edit shows its field again.
  LoadFromField();
  SetModified(false);
  TPopupEdit::DoCloseUp();
}

// --- TGridInplaceFilterEdit ------------------------------------------------------------------------------

TGridInplaceFilterEdit::TGridInplaceFilterEdit(TGridColumn& column) : TGridInplacePopupEdit(column) {}

TGridInplaceFilterEdit::~TGridInplaceFilterEdit() {
  if (frame_) {
    frame_->OnChosen = nullptr;
    frame_->RemoveFreeNotification(this);
  }
}

TFrameBaseFilterEx* TGridInplaceFilterEdit::Frame() const { return frame_; }

void TGridInplaceFilterEdit::DoDropDown() {
  TGridInplacePopupEdit::DoDropDown();
  frame_ = dynamic_cast<TFrameBaseFilterEx*>(PopupControl());
  if (!frame_) return;
  frame_->FreeNotification(this);
  frame_->OnChosen = [this](TFrameBaseFilterEx&) {
    if (DroppedDown()) CloseUp(false);
    // The cell shows what the choice wrote into it.
    if (!Closed()) LoadValue(CellValue());
  };
  frame_->SearchFor(Text());
}

void TGridInplaceFilterEdit::DoCloseDropDown(bool accept) {
  TFrameBaseFilterEx* frame = frame_;
  frame_ = nullptr;
  TGridInplacePopupEdit::DoCloseDropDown(accept);
  if (!frame) return;
  frame->RemoveFreeNotification(this);
  if (accept) frame->Choose();  // its OnChosen finds the list closed already
  frame->OnChosen = nullptr;
}

void TGridInplaceFilterEdit::Notification(TComponent* component, TOperation operation) {
  TGridInplacePopupEdit::Notification(component, operation);
  if (operation == TOperation::opRemove && component == frame_) frame_ = nullptr;
}

void TGridInplaceFilterEdit::DoChange() {
  TGridInplacePopupEdit::DoChange();
  if (frame_ && DroppedDown()) frame_->SearchFor(Text());
}

void TGridInplaceFilterEdit::MoveInDropDown(int delta) {
  if (frame_) frame_->MoveBy(delta);
}

void UseLookupEditor(TGridColumn& column, TFrameBaseFilterEx* frame, TLookupMaker maker) {
  column.Properties.Kind = TGridEditorKind::Popup;
  column.Properties.PopupControl = frame;
  column.Properties.CreateEditor = [](TGridColumn& owner) -> TGridInplaceEditor* { return new TGridInplaceFilterEdit(owner); };
  if (maker) {
    column.Properties.OnInitPopup = [maker](TGridColumn& owner) {
      if (TFrameBaseFilterEx* made = maker(owner)) owner.Properties.PopupControl = made;
    };
  }
}

}  // namespace jxc

#include "platform/ExtCtrls.h"

#include <algorithm>

#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/Exceptions.h"
#include "platform/Menus.h"

namespace jxc {

void TDropDownButton::DropDown() {
  if (Enabled() && DropDownMenu) DropDownMenu->Popup();
}

void TPopupEdit::Popup() {
  if (droppedDown_ || !Enabled()) return;
  DoInitPopup();
  droppedDown_ = true;
  if (PopupControl) PopupControl->SetVisible(true);
}

void TPopupEdit::CloseUp() {
  if (!droppedDown_) return;
  droppedDown_ = false;
  if (PopupControl) PopupControl->SetVisible(false);
  DoCloseUp();
}

void TPopupEdit::DoInitPopup() {
  if (OnInitPopup) {
    auto handler = OnInitPopup;
    handler(*this);
  }
}

void TPopupEdit::DoCloseUp() {
  if (OnCloseUp) {
    auto handler = OnCloseUp;
    handler(*this);
  }
}

int TListBox::Add(std::string caption, std::any data, int imageIndex) {
  items_.push_back(TListEntry{std::move(caption), std::move(data), imageIndex, false});
  return Count() - 1;
}

void TListBox::Clear() {
  items_.clear();
  itemIndex_ = -1;
}

void TListBox::Delete(int index) {
  items_.erase(items_.begin() + index);
  if (itemIndex_ >= Count()) itemIndex_ = Count() - 1;
}

int TListBox::IndexOf(const std::string& caption) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[static_cast<size_t>(i)].Caption == caption) return i;
  return -1;
}

void TListBox::SetItemIndex(int index) {
  if (index < -1 || index >= Count()) throw EArgumentError("List index out of bounds (" + std::to_string(index) + ")");
  itemIndex_ = index;
}

void TListBox::ClickItem(int index) {
  if (!Enabled()) return;
  SetItemIndex(index);
  Click();
}

void TCheckListBox::CheckAll(bool checked) {
  for (int i = 0; i < Count(); ++i) Items(i).Checked = checked;
}

void TCheckListBox::ToggleByUser(int index) {
  if (!Enabled()) return;
  Items(index).Checked = !Items(index).Checked;
  if (OnClickCheck) {
    auto handler = OnClickCheck;
    handler(*this, index);
  }
}

void TBalloonHint::ShowHint(TControl* control, std::string title, std::string text, int imageIndex) {
  control_ = control;
  title_ = std::move(title);
  text_ = std::move(text);
  imageIndex_ = imageIndex;
  shownAt_ = Application().Scheduler().TickCount();
  visibleFromTick_ = shownAt_ + static_cast<uint64_t>(std::max(Delay, 0));
  visibleToTick_ = visibleFromTick_ + static_cast<uint64_t>(std::max(HideAfter, 0));
  ++showCount_;
}

bool TBalloonHint::Showing() const {
  if (visibleToTick_ == 0) return false;
  uint64_t now = Application().Scheduler().TickCount();
  return now >= visibleFromTick_ && now < visibleToTick_;
}

void TBarItem::Click() {
  if (!Enabled()) return;
  if (CheckButton) Down = !Down;
  if (link_.Execute()) return;
  if (OnClick) {
    auto handler = OnClick;
    handler(*this);
  }
}

TBarItem* TToolBar::AddItem(std::string caption, TAction* action) {
  auto* item = new TBarItem(this);
  item->SetCaption(std::move(caption));
  item->SetAction(action);
  return item;
}

std::vector<TBarItem*> TToolBar::Items() const {
  std::vector<TBarItem*> items;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* item = dynamic_cast<TBarItem*>(Components(i))) items.push_back(item);
  return items;
}

}  // namespace jxc

#include "platform/Menus.h"

#include <algorithm>

#include "platform/Text.h"

namespace jxc {

std::string StripHotkey(std::string_view caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  BeginDestroy();
  while (!items_.empty()) delete items_.back();
  if (parent_) parent_->Remove(this);
}

std::string TMenuItem::Caption() const { return link_.Caption(caption_); }
bool TMenuItem::Enabled() const { return link_.Enabled(enabled_); }
bool TMenuItem::Visible() const { return link_.Visible(visible_); }
bool TMenuItem::Checked() const { return link_.Checked(checked_); }
int TMenuItem::ImageIndex() const { return link_.ImageIndex(imageIndex_); }
TShortCut TMenuItem::ShortCut() const { return link_.ShortCut(shortCut_); }

void TMenuItem::SetChecked(bool checked) {
  if (TAction* action = link_.Action())
    action->Checked = checked;
  else
    checked_ = checked;
  if (checked && RadioItem && parent_) {
    for (TMenuItem* sibling : parent_->items_)
      if (sibling != this && sibling->RadioItem && sibling->GroupIndex == GroupIndex) sibling->SetChecked(false);
  }
}

void TMenuItem::Click() {
  if (!Enabled()) return;
  if (AutoCheck) SetChecked(!Checked());
  if (link_.Execute()) return;
  if (OnClick) {
    std::function<void(TMenuItem&)> handler = OnClick;
    handler(*this);
  }
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item || item == this) return;
  if (item->parent_) item->parent_->Remove(item);
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
}

void TMenuItem::Delete(int index) { delete items_.at(static_cast<size_t>(index)); }

void TMenuItem::Clear() {
  while (!items_.empty()) delete items_.back();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenuItem* TMenuItem::Find(std::string_view caption) const {
  std::string wanted = StripHotkey(caption);
  for (TMenuItem* item : items_)
    if (SameText(StripHotkey(item->Caption()), wanted)) return item;
  return nullptr;
}

TMenuItem* TMenuItem::AddItem(std::string caption, std::function<void(TMenuItem&)> onClick, TComponent* owner) {
  TMenuItem* item = new TMenuItem(owner);
  item->SetCaption(std::move(caption));
  item->OnClick = std::move(onClick);
  Add(item);
  return item;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) {}

TPopupMenu::~TPopupMenu() {
  BeginDestroy();
  delete items_;
}

void TPopupMenu::Popup(int x, int y) {
  DoPopup();
  showing_ = true;
  ++popupCount_;
}

void TPopupMenu::DoPopup() {
  if (OnPopup) OnPopup(*this);
}

namespace {
TMenuItem* FindByShortCut(TMenuItem& parent, TShortCut shortCut) {
  for (TMenuItem* item : parent.SubItems()) {
    if (item->ShortCut() == shortCut && item->Enabled()) return item;
    if (TMenuItem* found = FindByShortCut(*item, shortCut)) return found;
  }
  return nullptr;
}
}  // namespace

bool TPopupMenu::IsShortCut(TShortCut shortCut) {
  if (shortCut == scNone) return false;
  TMenuItem* item = FindByShortCut(*items_, shortCut);
  if (!item) return false;
  item->Click();
  return true;
}

}  // namespace jxc

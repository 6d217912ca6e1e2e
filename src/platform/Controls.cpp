#include "platform/Controls.h"

#include <algorithm>

#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "platform/Menus.h"

namespace jxc {

// --- TControl ------------------------------------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
  BeginDestroy();
  SetParent(nullptr);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_) {
    // Leaving a form takes the focus away from this control (or from a control inside it).
    if (TCustomForm* form = Form(); form && form->activeControl_) {
      for (TControl* c = form->activeControl_; c; c = c->parent_)
        if (c == this) {
          form->activeControl_ = nullptr;
          break;
        }
    }
    auto& siblings = parent_->controls_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    // (A window control being destroyed has left the Tab list in its own destructor already.)
    if (auto* self = dynamic_cast<TWinControl*>(this)) {
      auto& tabs = parent_->tabList_;
      tabs.erase(std::remove(tabs.begin(), tabs.end(), self), tabs.end());
    }
  }
  parent_ = parent;
  if (parent) {
    parent->controls_.push_back(this);
    if (auto* self = dynamic_cast<TWinControl*>(this)) parent->tabList_.push_back(self);
  }
}

TCustomForm* TControl::Form() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (auto* form = dynamic_cast<const TCustomForm*>(c)) return const_cast<TCustomForm*>(form);
  return nullptr;
}

std::string TControl::Caption() const { return link_.Caption(caption_); }
bool TControl::Enabled() const { return link_.Enabled(enabled_); }
bool TControl::Visible() const { return link_.Visible(visible_); }

void TControl::SetEnabled(bool enabled) {
  if (TAction* action = link_.Action())
    action->Enabled = enabled;
  else
    enabled_ = enabled;
}

void TControl::SetVisible(bool visible) {
  if (TAction* action = link_.Action())
    action->Visible = visible;
  else
    visible_ = visible;
}

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->Visible()) return false;
  return true;
}

bool TControl::EnabledInParents() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->Enabled()) return false;
  return true;
}

void TControl::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component == PopupMenu) PopupMenu = nullptr;
}

void TControl::Click() {
  if (!Enabled()) return;
  if (link_.Execute()) return;
  if (OnClick) {
    std::function<void(TControl&)> handler = OnClick;
    handler(*this);
  }
}

void TControl::DblClick() {
  if (!Enabled()) return;
  if (OnDblClick) {
    std::function<void(TControl&)> handler = OnDblClick;
    handler(*this);
  }
}

void TControl::PerformClick() {
  Application().Dispatch([this] { Click(); });
  Application().ProcessMessages();
}

// --- TWinControl ---------------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  BeginDestroy();
  Application().Scheduler().ForgetTarget(this);
  // The controls placed here go with their window; each leaves controls_ as it goes.
  while (!controls_.empty()) delete controls_.back();
  if (TWinControl* parent = Parent()) {
    auto& tabs = parent->tabList_;
    tabs.erase(std::remove(tabs.begin(), tabs.end(), this), tabs.end());
  }
}

int TWinControl::TabOrder() const {
  TWinControl* parent = Parent();
  if (!parent) return -1;
  auto& tabs = parent->tabList_;
  auto it = std::find(tabs.begin(), tabs.end(), this);
  return it == tabs.end() ? -1 : static_cast<int>(it - tabs.begin());
}

void TWinControl::SetTabOrder(int order) {
  TWinControl* parent = Parent();
  if (!parent) return;
  auto& tabs = parent->tabList_;
  tabs.erase(std::remove(tabs.begin(), tabs.end(), this), tabs.end());
  order = std::clamp(order, 0, static_cast<int>(tabs.size()));
  tabs.insert(tabs.begin() + order, this);
}

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent()) {
    // A form need not be shown for its controls to take the focus (screens are often set up first).
    if (dynamic_cast<const TCustomForm*>(c)) return c->Enabled();
    if (!c->Visible() || !c->Enabled()) return false;
  }
  return true;
}

bool TWinControl::Focused() const {
  TCustomForm* form = Form();
  return form && form->ActiveControl() == this;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  TCustomForm* form = Form();
  if (form && form != this) form->SetActiveControl(this);
}

void TWinControl::SetTimer(int id, int interval) { Application().Scheduler().SetTimer(this, id, interval); }
void TWinControl::KillTimer(int id) { Application().Scheduler().KillTimer(this, id); }
void TWinControl::PostMessage(unsigned msg, int64_t wParam, int64_t lParam) {
  Application().Scheduler().PostMessage(this, msg, wParam, lParam);
}

void TWinControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_KEYDOWN:
      message.Result = RouteKeyDown(static_cast<int>(message.WParam), static_cast<TShiftState>(message.LParam));
      break;
    case WM_CHAR:
      RouteChar(static_cast<char32_t>(message.WParam));
      break;
    case WM_TIMER:
      WMTimer(static_cast<int>(message.WParam));
      break;
    default:
      break;
  }
}

bool TWinControl::RouteKeyDown(int key, TShiftState shift) {
  TCustomForm* form = Form();
  if (PopupMenu && PopupMenu->IsShortCut(ShortCut(key, shift))) return true;
  if (form && form->IsShortCut(key, shift)) return true;
  if (key == VK_TAB && !(shift & (ssCtrl | ssAlt)) && !WantTabs() && form) {
    form->SelectNext(form->ActiveControl(), !(shift & ssShift), true);
    return true;
  }
  if (form && form != this && form->KeyPreview) {
    form->KeyDown(key, shift);
    if (key == 0) return false;
  }
  KeyDown(key, shift);
  return false;
}

void TWinControl::RouteChar(char32_t key) {
  TCustomForm* form = Form();
  if (form && form != this && form->KeyPreview) {
    form->KeyPress(key);
    if (key == 0) return;
  }
  KeyPress(key);
  if (key != 0) CharInput(key);
}

void TWinControl::KeyDown(int& key, TShiftState shift) {
  if (OnKeyDown) {
    auto handler = OnKeyDown;
    handler(*this, key, shift);
  }
}

void TWinControl::KeyPress(char32_t& key) {
  if (OnKeyPress) {
    auto handler = OnKeyPress;
    handler(*this, key);
  }
}

void TWinControl::DoEnter() {
  if (OnEnter) {
    auto handler = OnEnter;
    handler(*this);
  }
}

void TWinControl::DoExit() {
  if (OnExit) {
    auto handler = OnExit;
    handler(*this);
  }
}

std::vector<TWinControl*> TabOrderList(const TWinControl& root, bool tabStopOnly) {
  std::vector<TWinControl*> out;
  std::function<void(const TWinControl&)> collect = [&](const TWinControl& parent) {
    for (TWinControl* child : parent.tabList_) {
      if (!child->Visible() || !child->Enabled()) continue;
      if (!tabStopOnly || child->TabStop) out.push_back(child);
      collect(*child);
    }
  };
  collect(root);
  return out;
}

}  // namespace jxc

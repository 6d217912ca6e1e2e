#include "platform/Actions.h"

#include <algorithm>

#include "platform/Text.h"

namespace jxc {

TAction::TAction(TComponent* owner) : TComponent(owner) {}

TAction::~TAction() {
  BeginDestroy();
  SetActionList(nullptr);
}

bool TAction::Execute() {
  if (actionList_ && actionList_->OnUpdate) actionList_->OnUpdate(*this);
  if (OnUpdate) OnUpdate(*this);
  if (!Enabled || !OnExecute) return false;
  // A copy: the handler may replace OnExecute or free the action's screen.
  std::function<void(TAction&)> handler = OnExecute;
  handler(*this);
  return true;
}

void TAction::SetActionList(TActionList* list) {
  if (list == actionList_) return;
  if (actionList_) {
    auto& items = actionList_->actions_;
    items.erase(std::remove(items.begin(), items.end(), this), items.end());
    actionList_->RemoveFreeNotification(this);
  }
  actionList_ = list;
  if (list) {
    list->actions_.push_back(this);
    list->FreeNotification(this);
  }
}

void TAction::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component == actionList_) actionList_ = nullptr;
}

TActionLink::~TActionLink() {
  BeginDestroy();
  action_ = nullptr;
}

void TActionLink::SetAction(TAction* action) {
  if (action == action_) return;
  if (action_) action_->RemoveFreeNotification(this);
  action_ = action;
  if (action_) action_->FreeNotification(this);
}

bool TActionLink::Execute() const {
  if (!action_) return false;
  action_->Execute();
  return true;
}

void TActionLink::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component == action_) action_ = nullptr;
}

TActionList::TActionList(TComponent* owner) : TComponent(owner) {}

TActionList::~TActionList() {
  BeginDestroy();
  for (TAction* action : actions_) action->actionList_ = nullptr;
  actions_.clear();
}

TAction* TActionList::FindAction(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TAction* action : actions_)
    if (SameText(action->Name(), name)) return action;
  return nullptr;
}

TAction* TActionList::AddAction(std::string name, std::string caption, TComponent* owner) {
  TAction* action = new TAction(owner ? owner : Owner());
  action->SetName(std::move(name));
  action->Caption = std::move(caption);
  action->SetActionList(this);
  return action;
}

bool TActionList::DispatchShortCut(TShortCut shortCut) {
  if (shortCut == scNone) return false;
  // A copy: an action may free others or change the list.
  std::vector<TAction*> actions = actions_;
  for (TAction* action : actions)
    if (action->ShortCut == shortCut) return action->Execute();
  return false;
}

}  // namespace jxc

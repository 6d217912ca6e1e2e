#pragma once
// Actions hold what a command looks like (caption, image, shortcut, enabled, visible, checked) and what it
// does (OnExecute). Buttons and menu items linked to an action show the action's caption and state and run
// it when clicked. An action list gathers a screen's actions for lookup by name and shortcut dispatch;
// the actions themselves are owned by the screen (their owner), not by the list.
//
// Execute runs OnUpdate first, then OnExecute only when the action is enabled, as the toolkit does: a
// disabled action does nothing through Execute (callers that must run the work regardless call the
// handler itself). Execute tells whether a handler ran.

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Component.h"
#include "platform/Keys.h"

namespace jxc {

class TActionList;

class TAction : public TComponent {
 public:
  explicit TAction(TComponent* owner = nullptr);
  ~TAction() override;
  std::string ClassName() const override { return "TAction"; }

  std::string Caption;
  std::string Hint;
  std::string Category;
  int ImageIndex = -1;
  TShortCut ShortCut = scNone;
  bool Enabled = true;
  bool Visible = true;
  bool Checked = false;

  // Re-assignable at any time; descendants chain to the handler they replace by keeping a copy.
  std::function<void(TAction& sender)> OnExecute;
  std::function<void(TAction& sender)> OnUpdate;

  // Runs OnUpdate, then OnExecute when enabled and assigned; true when OnExecute ran. The sender the
  // handler receives is this action.
  bool Execute();
  bool HasHandler() const { return static_cast<bool>(OnExecute); }

  TActionList* ActionList() const { return actionList_; }
  // Moves the action into the list (or out of any list with null).
  void SetActionList(TActionList* list);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TActionList;
  TActionList* actionList_ = nullptr;
};

// The tie of a button, menu item or tool-bar item to its action: while linked, the client shows the
// action's caption and states instead of its own and runs the action when clicked. The link forgets an
// action that is freed.
class TActionLink : public TComponent {
 public:
  TActionLink() : TComponent(nullptr) {}
  ~TActionLink() override;

  TAction* Action() const { return action_; }
  void SetAction(TAction* action);
  std::string Caption(const std::string& own) const { return action_ ? action_->Caption : own; }
  bool Enabled(bool own) const { return action_ ? action_->Enabled : own; }
  bool Visible(bool own) const { return action_ ? action_->Visible : own; }
  bool Checked(bool own) const { return action_ ? action_->Checked : own; }
  int ImageIndex(int own) const { return action_ ? action_->ImageIndex : own; }
  TShortCut ShortCut(TShortCut own) const { return action_ ? action_->ShortCut : own; }
  // Executes the linked action; false when none is linked.
  bool Execute() const;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TAction* action_ = nullptr;
};

class TActionList : public TComponent {
 public:
  explicit TActionList(TComponent* owner = nullptr);
  ~TActionList() override;
  std::string ClassName() const override { return "TActionList"; }

  int ActionCount() const { return static_cast<int>(actions_.size()); }
  TAction* Actions(int index) const { return actions_.at(static_cast<size_t>(index)); }
  const std::vector<TAction*>& Items() const { return actions_; }
  // The listed action of that name (ASCII case-insensitive), or null.
  TAction* FindAction(std::string_view name) const;
  // A new action owned by owner (null: the list's owner), listed here, with the given name and caption.
  TAction* AddAction(std::string name, std::string caption, TComponent* owner = nullptr);

  // Executes the first listed action with this shortcut; true when it ran. A matching action that is
  // disabled stops the search and gives false, so the key goes on as an ordinary key.
  bool DispatchShortCut(TShortCut shortCut);

  // Called for every action of the list before the action's own OnUpdate (the toolkit's OnUpdate).
  std::function<void(TAction& action)> OnUpdate;

 private:
  friend class TAction;
  std::vector<TAction*> actions_;
};

// One row of a screen's action table: where the screen keeps the action, its name and caption, its
// shortcut ("" for none), its tag (its place in the rights text; 0 for none) and the screen's handler (null
// when the screen sets it later).
template <class Form>
struct TActionRow {
  TAction** Slot;
  const char* Name;
  const char* Caption;
  const char* ShortCut;
  int Tag;
  void (Form::*Handler)(TAction&);
};

// Creates a screen's actions in the table's order, listed in the list and kept in their slots.
template <class Form>
void AddActions(TActionList& list, Form& form, std::initializer_list<TActionRow<Form>> rows) {
  for (const TActionRow<Form>& row : rows) {
    TAction* action = list.AddAction(row.Name, row.Caption);
    if (*row.ShortCut) action->ShortCut = TextToShortCut(row.ShortCut);
    action->Tag = row.Tag;
    if (row.Handler) action->OnExecute = [&form, handler = row.Handler](TAction& sender) { (form.*handler)(sender); };
    *row.Slot = action;
  }
}

}  // namespace jxc

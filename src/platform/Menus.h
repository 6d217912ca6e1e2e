#pragma once
// Popup menus: a tree of menu items under the menu's root item. An item has a caption ("-" makes a
// separator), checked, radio-group, enabled and visible states, a shortcut, sub-items and a click handler,
// or is linked to an action whose caption and states it then shows and which it runs when clicked.
//
// Sub-items belong to their parent item: freeing an item frees its sub-items, and an item freed on its own
// (for instance by its owner) leaves its parent's list.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Actions.h"
#include "platform/Component.h"
#include "platform/Keys.h"

namespace jxc {

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner = nullptr);
  ~TMenuItem() override;
  std::string ClassName() const override { return "TMenuItem"; }

  // Caption and states read from the linked action when there is one; the setters store the item's own
  // values, used while no action is linked.
  std::string Caption() const;
  void SetCaption(std::string caption) { caption_ = std::move(caption); }
  bool Enabled() const;
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool Visible() const;
  void SetVisible(bool visible) { visible_ = visible; }
  bool Checked() const;
  // Checking a radio item unchecks the other radio items of its group among its siblings.
  void SetChecked(bool checked);
  int ImageIndex() const;
  void SetImageIndex(int index) { imageIndex_ = index; }
  TShortCut ShortCut() const;
  void SetShortCut(TShortCut shortCut) { shortCut_ = shortCut; }

  bool RadioItem = false;
  int GroupIndex = 0;
  bool AutoCheck = false;  // a click toggles Checked
  std::string Hint;
  bool IsLine() const { return Caption() == "-"; }

  TAction* Action() const { return link_.Action(); }
  void SetAction(TAction* action) { link_.SetAction(action); }

  std::function<void(TMenuItem& sender)> OnClick;
  // What the user's click does: nothing when disabled; otherwise AutoCheck toggles, then the linked
  // action runs, or OnClick when no action is linked.
  virtual void Click();

  // --- sub-items ---------------------------------------------------------------------------------------
  TMenuItem* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
  const std::vector<TMenuItem*>& SubItems() const { return items_; }
  // Takes the item (out of its previous parent) as the last / the index-th sub-item.
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  // Takes the item out without freeing it.
  void Remove(TMenuItem* item);
  // Frees the sub-item at the index / every sub-item.
  void Delete(int index);
  void Clear();
  int IndexOf(const TMenuItem* item) const;
  // The sub-item whose caption, without '&' accelerators, equals the text (ASCII case-insensitive);
  // null when none. Only this level is searched.
  TMenuItem* Find(std::string_view caption) const;
  // A new sub-item owned by owner with the caption and handler; returns it.
  TMenuItem* AddItem(std::string caption, std::function<void(TMenuItem&)> onClick = nullptr,
                     TComponent* owner = nullptr);
  TMenuItem* AddSeparator(TComponent* owner = nullptr) { return AddItem("-", nullptr, owner); }

 private:
  std::string caption_;
  bool enabled_ = true;
  bool visible_ = true;
  bool checked_ = false;
  int imageIndex_ = -1;
  TShortCut shortCut_ = scNone;
  TActionLink link_;
  TMenuItem* parent_ = nullptr;
  std::vector<TMenuItem*> items_;
};

// Caption without '&' accelerator marks ("&&" stays one '&').
std::string StripHotkey(std::string_view caption);

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner = nullptr);
  ~TPopupMenu() override;
  std::string ClassName() const override { return "TPopupMenu"; }

  // The root item; its sub-items are the menu's entries.
  TMenuItem& Items() { return *items_; }
  const TMenuItem& Items() const { return *items_; }

  std::function<void(TPopupMenu& sender)> OnPopup;
  // Runs DoPopup and marks the menu shown; a test then clicks items. Popup again after CloseMenu.
  void Popup(int x = 0, int y = 0);
  void CloseMenu() { showing_ = false; }
  bool Showing() const { return showing_; }
  int PopupCount() const { return popupCount_; }
  // The component the menu was opened on (set by the control that opens it).
  TComponent* PopupComponent = nullptr;

  // Walks every item (depth first) and clicks the first enabled item with that shortcut; true when one
  // was clicked.
  bool IsShortCut(TShortCut shortCut);

 protected:
  // Runs OnPopup; descendants prepare their items here before the menu shows.
  virtual void DoPopup();

 private:
  TMenuItem* items_;  // owned: freed in the destructor
  bool showing_ = false;
  int popupCount_ = 0;
};

}  // namespace jxc

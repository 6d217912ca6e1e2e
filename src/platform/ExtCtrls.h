#pragma once
// Further controls of the screens: a button with a drop-down menu, an edit with a drop-down panel (popup
// edit), list boxes with entries, check lists, a progress bar, a balloon hint timed on the application's
// clock, and tool-bar items.

#include <any>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Actions.h"
#include "platform/Component.h"
#include "platform/StdCtrls.h"

namespace jxc {

class TPopupMenu;

// A button whose arrow opens a popup menu.
class TDropDownButton : public TButton {
 public:
  using TButton::TButton;
  std::string ClassName() const override { return "TDropDownButton"; }
  TPopupMenu* DropDownMenu = nullptr;
  // The user opens the menu (its OnPopup runs).
  void DropDown();
};

// An edit whose drop-down content is another control (often a frame). OnInitPopup runs before each
// opening, so the content can be rebuilt; OnCloseUp after it closes.
class TPopupEdit : public TCustomEdit {
 public:
  using TCustomEdit::TCustomEdit;
  std::string ClassName() const override { return "TPopupEdit"; }

  TWinControl* PopupControl = nullptr;
  bool DroppedDown() const { return droppedDown_; }
  void Popup();
  void CloseUp();
  std::function<void(TPopupEdit& sender)> OnInitPopup;
  std::function<void(TPopupEdit& sender)> OnCloseUp;

 protected:
  virtual void DoInitPopup();
  virtual void DoCloseUp();

 private:
  bool droppedDown_ = false;
};

struct TListEntry {
  std::string Caption;
  std::any Data;
  int ImageIndex = -1;
  bool Checked = false;
};

// A list of entries; ItemIndex is the selected entry (-1: none). Selecting another entry runs OnClick.
class TListBox : public TWinControl {
 public:
  explicit TListBox(TComponent* owner = nullptr) : TWinControl(owner) { TabStop = true; }
  std::string ClassName() const override { return "TListBox"; }

  int Count() const { return static_cast<int>(items_.size()); }
  TListEntry& Items(int index) { return items_.at(static_cast<size_t>(index)); }
  const TListEntry& Items(int index) const { return items_.at(static_cast<size_t>(index)); }
  int Add(std::string caption, std::any data = {}, int imageIndex = -1);
  void Clear();
  void Delete(int index);
  int IndexOf(const std::string& caption) const;

  int ItemIndex() const { return itemIndex_; }
  // Selection in code; runs no OnClick.
  void SetItemIndex(int index);
  // The user clicks the entry: it becomes selected and OnClick runs.
  void ClickItem(int index);

 private:
  std::vector<TListEntry> items_;
  int itemIndex_ = -1;
};

// A list whose entries carry check boxes; the user ticking one runs OnClickCheck with its index.
class TCheckListBox : public TListBox {
 public:
  using TListBox::TListBox;
  std::string ClassName() const override { return "TCheckListBox"; }
  bool Checked(int index) const { return Items(index).Checked; }
  void SetChecked(int index, bool checked) { Items(index).Checked = checked; }
  void CheckAll(bool checked = true);
  void ToggleByUser(int index);
  std::function<void(TCheckListBox& sender, int index)> OnClickCheck;
};

class TProgressBar : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TProgressBar"; }
  int Min = 0;
  int Max = 100;
  int Position = 0;
  std::string Text;  // shown over the bar
};

// A hint balloon pointing at a control: it appears Delay ms after ShowHint and hides HideAfter ms later,
// on the application's clock.
class TBalloonHint : public TComponent {
 public:
  explicit TBalloonHint(TComponent* owner = nullptr) : TComponent(owner) {}
  std::string ClassName() const override { return "TBalloonHint"; }

  int Delay = 200;
  int HideAfter = 1500;
  void ShowHint(TControl* control, std::string title, std::string text, int imageIndex = -1);
  void HideHint() { shownAt_ = 0; visibleFromTick_ = visibleToTick_ = 0; }
  bool Showing() const;

  TControl* Control() const { return control_; }
  const std::string& Title() const { return title_; }
  const std::string& Text() const { return text_; }
  int ImageIndex() const { return imageIndex_; }
  int ShowCount() const { return showCount_; }

 private:
  TControl* control_ = nullptr;
  std::string title_, text_;
  int imageIndex_ = -1;
  uint64_t shownAt_ = 0, visibleFromTick_ = 0, visibleToTick_ = 0;
  int showCount_ = 0;
};

// A tool-bar item: a button (optionally a check button) linked to an action or with its own handler.
class TBarItem : public TComponent {
 public:
  explicit TBarItem(TComponent* owner = nullptr) : TComponent(owner) {}
  std::string ClassName() const override { return "TBarItem"; }

  std::string Caption() const { return link_.Caption(caption_); }
  void SetCaption(std::string caption) { caption_ = std::move(caption); }
  bool Enabled() const { return link_.Enabled(enabled_); }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool Visible() const { return link_.Visible(visible_); }
  void SetVisible(bool visible) { visible_ = visible; }
  bool CheckButton = false;  // a click toggles Down
  bool Down = false;

  TAction* Action() const { return link_.Action(); }
  void SetAction(TAction* action) { link_.SetAction(action); }
  std::function<void(TBarItem& sender)> OnClick;
  void Click();

 private:
  std::string caption_;
  bool enabled_ = true;
  bool visible_ = true;
  TActionLink link_;
};

// A tool bar: items in order, hidden as a whole by Visible.
class TToolBar : public TComponent {
 public:
  explicit TToolBar(TComponent* owner = nullptr) : TComponent(owner) {}
  std::string ClassName() const override { return "TToolBar"; }
  bool Visible = true;
  std::string Caption;
  // A new item owned by the bar, at the end of the bar.
  TBarItem* AddItem(std::string caption, TAction* action = nullptr);
  std::vector<TBarItem*> Items() const;
};

}  // namespace jxc

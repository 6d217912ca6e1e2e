#pragma once
// Controls of the headless screens. A control has a parent (the window it sits in), which is not its
// owner: a screen owns all of its controls, while a control sits in a panel, group box or the screen
// itself. Freeing a window control frees the controls placed in it.
//
// Keys. A user's key press reaches the focused control (or the form when nothing has the focus) as a
// key-down, then as a character when the key makes one. The key-down goes, in this order, to: the
// shortcuts of the form (the control's popup menu, then the form's action lists); Tab as the dialog key
// (the form moves the focus to the next control, unless the control wants tabs); the form's own key-down
// handler when its KeyPreview is on; the control. A handler that sets the key to 0 stops it from going
// further. The character goes to the form first when KeyPreview is on, then to the control's key-press
// handler, then to the control's default typing (an edit inserts it, a memo breaks the line on Enter).
// As in the toolkit, zeroing the key in a key-down handler does not suppress the character that follows.

#include <functional>
#include <string>
#include <vector>

#include "platform/Actions.h"
#include "platform/Component.h"
#include "platform/Keys.h"
#include "platform/Scheduler.h"

namespace jxc {

class TPopupMenu;
class TWinControl;
class TCustomForm;
std::vector<TWinControl*> TabOrderList(const TWinControl& root, bool tabStopOnly);

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner = nullptr);
  ~TControl() override;
  std::string ClassName() const override { return "TControl"; }

  TWinControl* Parent() const { return parent_; }
  void SetParent(TWinControl* parent);
  // The form this control sits in (walking the parents), or null. A form is its own form.
  TCustomForm* Form() const;

  // Caption, Enabled and Visible read from the linked action when there is one.
  std::string Caption() const;
  void SetCaption(std::string caption) { caption_ = std::move(caption); }
  bool Enabled() const;
  void SetEnabled(bool enabled);
  bool Visible() const;
  void SetVisible(bool visible);
  // Visible and enabled here and in every parent.
  bool Showing() const;
  bool EnabledInParents() const;

  TAlign Align = TAlign::alNone;
  int Left = 0, Top = 0, Width = 0, Height = 0;
  std::string Hint;
  std::string HelpKeyword;  // a string-valued tag
  TPopupMenu* PopupMenu = nullptr;

  TAction* Action() const { return link_.Action(); }
  void SetAction(TAction* action) { link_.SetAction(action); }

  std::function<void(TControl& sender)> OnClick, OnDblClick;
  // Nothing when disabled; runs the linked action, or OnClick.
  virtual void Click();
  virtual void DblClick();
  // A user's click: Click through the application's dispatcher (a silent abort is swallowed, other
  // errors are recorded as shown), then the posted messages run.
  void PerformClick();

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TWinControl;
  TWinControl* parent_ = nullptr;
  std::string caption_;
  bool enabled_ = true;
  bool visible_ = true;
  TActionLink link_;
};

class TWinControl : public TControl, public TMessageTarget {
 public:
  explicit TWinControl(TComponent* owner = nullptr);
  ~TWinControl() override;
  std::string ClassName() const override { return "TWinControl"; }

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }
  const std::vector<TControl*>& ChildControls() const { return controls_; }

  // Position among the parent's window controls in Tab order; setting it moves the control there and
  // renumbers its siblings (-1 without a parent).
  int TabOrder() const;
  void SetTabOrder(int order);
  bool TabStop = false;
  // Keys that the control keeps instead of the form: a Tab (moves focus otherwise).
  virtual bool WantTabs() const { return false; }

  // Showing, enabled in all parents; a form that is not shown still lets its controls take the focus.
  virtual bool CanFocus() const;
  bool Focused() const;
  // Raises EInvalidOperation "Cannot focus a disabled or invisible window" when it cannot.
  void SetFocus();

  std::function<void(TWinControl& sender)> OnEnter, OnExit;
  std::function<void(TWinControl& sender, int& key, TShiftState shift)> OnKeyDown, OnKeyUp;
  std::function<void(TWinControl& sender, char32_t& key)> OnKeyPress;

  // Window timers of this control on the application's clock (WM_TIMER reaches WMTimer).
  void SetTimer(int id, int interval);
  void KillTimer(int id);
  void PostMessage(unsigned msg, int64_t wParam = 0, int64_t lParam = 0);

  void WndProc(TMessage& message) override;

 protected:
  // Key-down and key-press of this control: run the handlers; may change or zero the key.
  virtual void KeyDown(int& key, TShiftState shift);
  virtual void KeyPress(char32_t& key);
  // What the control does with a typed character that got through (edits insert it).
  virtual void CharInput(char32_t key) {}
  virtual void WMTimer(int id) {}
  virtual void DoEnter();
  virtual void DoExit();

 private:
  friend class TControl;
  friend class TCustomForm;
  friend std::vector<TWinControl*> TabOrderList(const TWinControl& root, bool tabStopOnly);
  // The key-down routing above; true when a shortcut or the dialog key consumed it (no character then).
  bool RouteKeyDown(int key, TShiftState shift);
  void RouteChar(char32_t key);

  std::vector<TControl*> controls_;
  std::vector<TWinControl*> tabList_;
};

// The window controls under root that Tab visits, in Tab order (depth first; a control comes before the
// controls inside it). tabStopOnly leaves out controls whose TabStop is off (their children still count).
std::vector<TWinControl*> TabOrderList(const TWinControl& root, bool tabStopOnly);

}  // namespace jxc

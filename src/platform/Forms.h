#pragma once
// Forms (screens and dialogs) and frames (panels embedded in forms).
//
// Life of a form: made with an owner through CreateForm (or the class registry), which runs OnCreate once
// the object is complete; Show makes it visible and runs OnShow (each time it becomes visible); Close asks
// OnCloseQuery, then OnClose with the close action proposed for the form (caHide for a normal form,
// caMinimize for a child window of the main window) and carries out the action the handler leaves:
// caHide hides, caFree frees the form on the next message-pump step (Release), caNone keeps it open.
//
// ShowModal runs the modal loop headlessly: the next script the test queued on the application drives the
// form (presses keys, runs actions, lets time pass) and the loop ends as soon as ModalResult is not 0.
// When the script ends with ModalResult still 0, the user is taken to have closed the window: the result
// is mrCancel (as the toolkit's Close of a modal window). OnClose then runs with caHide; caFree frees the
// form after the loop, anything else leaves it hidden for its opener to free. Timers and posted messages
// run during the loop as the script lets time pass.

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/Controls.h"

namespace jxc {

enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum class TPosition { poDesigned, poDefault, poScreenCenter, poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;

class TCustomForm : public TWinControl {
 public:
  explicit TCustomForm(TComponent* owner = nullptr);
  ~TCustomForm() override;
  std::string ClassName() const override { return "TCustomForm"; }

  // Runs DoCreate (OnCreate) once; CreateForm and the class registry call it right after construction.
  void AfterConstruction();

  TFormStyle FormStyle = TFormStyle::fsNormal;
  TPosition Position = TPosition::poDesigned;
  TWindowState WindowState = TWindowState::wsNormal;
  bool KeyPreview = false;

  // Setting a non-zero result ends a running modal loop.
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult result) { modalResult_ = result; }
  bool Modal() const { return modal_; }

  void Show();
  void Hide();
  // Raises EInvalidOperation "Cannot make a visible window modal" when the form is visible already.
  TModalResult ShowModal();
  void Close();
  // Frees the form on the next message-pump step (safe from the form's own handlers).
  void Release();
  bool Released() const { return released_; }

  // The control with the focus, or null. Setting it runs OnExit of the old one, then OnEnter of the new;
  // when the old one refuses to be left (its exit raises, as an edit refusing its value) the focus stays.
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  // Focuses the control after (or before) from in Tab order, wrapping around; from null starts at the
  // first. Does nothing when no control can take the focus.
  void SelectNext(TWinControl* from, bool forward = true, bool tabStopOnly = true);

  // A key as a shortcut of the form: OnShortCut, then the action lists the form (and its frames) own.
  virtual bool IsShortCut(int key, TShiftState shift);

  // --- the user's input, sent to the focused control (or the form), errors shown, posted messages run ---
  void PressKey(int key, TShiftState shift = 0);
  void TypeChar(char32_t key);
  void TypeText(std::string_view text);

  std::function<void(TCustomForm& sender)> OnCreate, OnShow, OnHide, OnDestroy;
  std::function<void(TCustomForm& sender, TCloseAction& action)> OnClose;
  std::function<void(TCustomForm& sender, bool& canClose)> OnCloseQuery;
  std::function<void(TCustomForm& sender, int key, TShiftState shift, bool& handled)> OnShortCut;

  void WndProc(TMessage& message) override;

 protected:
  virtual void DoCreate();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  virtual bool CloseQuery();

 private:
  friend class TWinControl;
  friend class TControl;
  void ApplyCloseAction(TCloseAction action);
  void RunModalLoop();

  TModalResult modalResult_ = mrNone;
  bool modal_ = false;
  bool created_ = false;
  bool released_ = false;
  TWinControl* activeControl_ = nullptr;
};

class TForm : public TCustomForm {
 public:
  using TCustomForm::TCustomForm;
  std::string ClassName() const override { return "TForm"; }
};

// An embeddable panel with its own components, placed in a form or another control.
class TFrame : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TFrame"; }
};

// A new form of class T owned by owner, with OnCreate run.
template <class T, class... Args>
T* CreateForm(TComponent* owner, Args&&... args) {
  T* form = new T(owner, std::forward<Args>(args)...);
  form->AfterConstruction();
  return form;
}

}  // namespace jxc

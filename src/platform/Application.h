#pragma once
// The application object of the headless model: it owns the virtual clock (installed as the current
// clock, so Now, Date and GetTickCount read it), the scheduler of timers and posted messages, the main
// form, the scripts that answer modal forms, and the record of errors shown to the user. It is also an owner for components that belong to no screen.
//
// Errors of user-driven work (clicks, keys, timers, modal scripts) go through Dispatch: a silent abort
// (EAbort) is swallowed, any other error is recorded in ShownErrors as the toolkit would show it in a
// message box, and the work simply ends. Direct calls from tests propagate their errors.

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Component.h"
#include "platform/DateTime.h"
#include "platform/Scheduler.h"

namespace jxc {

class TCustomForm;

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;
  std::string ClassName() const override { return "TApplication"; }

  VirtualClock& Clock() { return clock_; }
  TScheduler& Scheduler() { return scheduler_; }
  // Lets the milliseconds pass on the clock, firing due timers in order.
  void Advance(int64_t msecs) { scheduler_.Advance(msecs); }
  // One pump step: posted messages, then the timers due now.
  void ProcessMessages() { scheduler_.ProcessMessages(); }

  // The main window; child windows (form style MDI child) live inside it. Freed forms leave it null.
  TCustomForm* MainForm() const { return mainForm_; }
  void SetMainForm(TCustomForm* form);
  std::string Title;
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }

  // --- user-driven work ----------------------------------------------------------------------------------
  // Runs the work; EAbort is swallowed, other errors are shown (recorded). True when it ended normally.
  bool Dispatch(const std::function<void()>& work);
  void ShowException(const std::exception& error);
  const std::vector<std::string>& ShownErrors() const { return errors_; }
  void ClearShownErrors() { errors_.clear(); }
  // Called for every error shown, after it was recorded.
  std::function<void(const std::exception&)> OnException;

  // --- modal scripts -------------------------------------------------------------------------------------
  using ModalScript = std::function<void(TCustomForm& form)>;
  // The next ShowModal runs this script (one script per modal show, in the order queued).
  void QueueModalScript(ModalScript script) { modalScripts_.push_back(std::move(script)); }
  // Used when no script is queued; without either, a modal form closes at once with mrCancel.
  void SetDefaultModalScript(ModalScript script) { defaultModal_ = std::move(script); }
  ModalScript TakeModalScript();
  int PendingModalScripts() const { return static_cast<int>(modalScripts_.size()); }

  // Frees every component the application owns (last first).
  void FreeComponents();

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  VirtualClock clock_;
  IClock* previousClock_ = nullptr;
  TScheduler scheduler_;
  TCustomForm* mainForm_ = nullptr;
  bool terminated_ = false;
  std::vector<std::string> errors_;
  std::deque<ModalScript> modalScripts_;
  ModalScript defaultModal_;
};

// The process's application object (made on first use).
TApplication& Application();
// Frees the application object with everything it owns and makes a fresh one: a new clock at its start
// time, no timers, messages, scripts or recorded errors. Tests call it between cases.
void ResetApplication();

}  // namespace jxc

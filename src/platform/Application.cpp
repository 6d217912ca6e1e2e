#include "platform/Application.h"

#include "platform/Exceptions.h"
#include "platform/Forms.h"

namespace jxc {

namespace {
std::unique_ptr<TApplication>& Instance() {
  static std::unique_ptr<TApplication> instance;
  return instance;
}
}  // namespace

TApplication& Application() {
  auto& instance = Instance();
  if (!instance) instance = std::make_unique<TApplication>();
  return *instance;
}

void ResetApplication() {
  auto& instance = Instance();
  // Owned components are freed while the old application is still the current one, so that their
  // destructors (timers, posted messages) reach it.
  if (instance) instance->FreeComponents();
  instance.reset();
  instance = std::make_unique<TApplication>();
}

TApplication::TApplication() : scheduler_(clock_) { previousClock_ = SetCurrentClock(&clock_); }

TApplication::~TApplication() {
  BeginDestroy();
  // Owned components go first, while the clock and scheduler still exist for their timers.
  FreeComponents();
  SetCurrentClock(previousClock_ == &clock_ ? nullptr : previousClock_);
}

void TApplication::FreeComponents() {
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
}

void TApplication::SetMainForm(TCustomForm* form) {
  if (mainForm_) mainForm_->RemoveFreeNotification(this);
  mainForm_ = form;
  if (form) form->FreeNotification(this);
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component == mainForm_) mainForm_ = nullptr;
}

bool TApplication::Dispatch(const std::function<void()>& work) {
  try {
    work();
    return true;
  } catch (const EAbort&) {
    return false;
  } catch (const std::exception& error) {
    ShowException(error);
    return false;
  }
}

void TApplication::ShowException(const std::exception& error) {
  errors_.push_back(error.what());
  if (OnException) OnException(error);
}

TApplication::ModalScript TApplication::TakeModalScript() {
  if (!modalScripts_.empty()) {
    ModalScript script = std::move(modalScripts_.front());
    modalScripts_.pop_front();
    return script;
  }
  return defaultModal_;
}

}  // namespace jxc

#include "platform/Timer.h"

#include "platform/Application.h"

namespace jxc {

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
  BeginDestroy();
  if (handle_) Application().Scheduler().StopTimer(handle_);
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Rearm();
}

void TTimer::SetInterval(int interval) {
  if (interval == interval_) return;
  interval_ = interval;
  Rearm();
}

void TTimer::SetOnTimer(std::function<void(TTimer&)> handler) {
  onTimer_ = std::move(handler);
  Rearm();
}

void TTimer::Rearm() {
  TScheduler& scheduler = Application().Scheduler();
  if (handle_) scheduler.StopTimer(handle_);
  handle_ = 0;
  if (enabled_ && interval_ > 0 && onTimer_) handle_ = scheduler.StartTimer(interval_, [this] { Fire(); });
}

void TTimer::Fire() {
  // Errors of a timer handler are shown as any other error of user-interface work.
  std::function<void(TTimer&)> handler = onTimer_;
  Application().Dispatch([&] { if (handler) handler(*this); });
}

}  // namespace jxc

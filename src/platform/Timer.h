#pragma once
// TTimer fires OnTimer every Interval milliseconds of the application's clock while it is enabled and
// has a handler. Enabling (or changing the interval of an enabled timer) starts the interval afresh;
// disabling cancels it. A handler that sets Enabled to false makes the timer one-shot, which is how
// screens defer their start.

#include <functional>

#include "platform/Component.h"
#include "platform/Scheduler.h"

namespace jxc {

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner = nullptr);
  ~TTimer() override;
  std::string ClassName() const override { return "TTimer"; }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  int Interval() const { return interval_; }
  void SetInterval(int interval);  // the toolkit's default is 1000
  const std::function<void(TTimer&)>& OnTimer() const { return onTimer_; }
  void SetOnTimer(std::function<void(TTimer&)> handler);

  // True while the timer is armed on the clock (enabled, a handler, an interval above 0).
  bool Armed() const { return handle_ != 0; }

 private:
  void Rearm();
  void Fire();

  bool enabled_ = true;
  int interval_ = 1000;
  std::function<void(TTimer&)> onTimer_;
  TScheduler::TimerHandle handle_ = 0;
};

}  // namespace jxc

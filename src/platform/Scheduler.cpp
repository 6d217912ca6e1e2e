#include "platform/Scheduler.h"

#include <algorithm>

namespace jxc {

namespace {
// Handles are unique across schedulers, so a timer stopped after its application was replaced (tests
// reset it between cases) never stops another's.
TScheduler::TimerHandle NewHandle() {
  static TScheduler::TimerHandle next = 1;
  return next++;
}
}  // namespace

TScheduler::TimerHandle TScheduler::StartTimer(int interval, std::function<void()> onTimer) {
  Timer timer;
  timer.handle = NewHandle();
  timer.interval = interval;
  timer.due = TickCount() + static_cast<uint64_t>(std::max(interval, 0));
  timer.armed = nextArmed_++;
  timer.onTimer = std::move(onTimer);
  timers_.push_back(std::move(timer));
  return timers_.back().handle;
}

void TScheduler::StopTimer(TimerHandle handle) {
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.handle == handle; }),
                timers_.end());
}

bool TScheduler::TimerActive(TimerHandle handle) const {
  return std::any_of(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.handle == handle; });
}

int64_t TScheduler::NextDueIn() const {
  int64_t best = -1;
  for (const Timer& t : timers_) {
    if (t.interval <= 0) continue;
    int64_t in = t.due > TickCount() ? static_cast<int64_t>(t.due - TickCount()) : 0;
    if (best < 0 || in < best) best = in;
  }
  return best;
}

TScheduler::Timer* TScheduler::FindTimer(TimerHandle handle) {
  for (Timer& t : timers_)
    if (t.handle == handle) return &t;
  return nullptr;
}

TScheduler::Timer* TScheduler::FindWindowTimer(TMessageTarget* target, int id) {
  for (Timer& t : timers_)
    if (t.target == target && t.target && t.id == id) return &t;
  return nullptr;
}

void TScheduler::SetTimer(TMessageTarget* target, int id, int interval) {
  if (!target) return;
  if (Timer* existing = FindWindowTimer(target, id)) {
    existing->interval = interval;
    existing->due = TickCount() + static_cast<uint64_t>(std::max(interval, 0));
    existing->armed = nextArmed_++;
    return;
  }
  TimerHandle handle = StartTimer(interval, nullptr);
  Timer* timer = FindTimer(handle);
  timer->target = target;
  timer->id = id;
}

void TScheduler::KillTimer(TMessageTarget* target, int id) {
  if (Timer* timer = FindWindowTimer(target, id)) StopTimer(timer->handle);
}

bool TScheduler::HasTimer(TMessageTarget* target, int id) const {
  return std::any_of(timers_.begin(), timers_.end(),
                     [&](const Timer& t) { return t.target && t.target == target && t.id == id; });
}

void TScheduler::PostMessage(TMessageTarget* target, TMessage message) {
  if (!target) return;
  queue_.push_back(Posted{target, message, nullptr});
}

void TScheduler::PostMessage(TMessageTarget* target, unsigned msg, int64_t wParam, int64_t lParam) {
  TMessage message;
  message.Msg = msg;
  message.WParam = wParam;
  message.LParam = lParam;
  PostMessage(target, message);
}

void TScheduler::Post(std::function<void()> work) { queue_.push_back(Posted{nullptr, TMessage{}, std::move(work)}); }

void TScheduler::ForgetTarget(TMessageTarget* target) {
  if (!target) return;
  queue_.erase(std::remove_if(queue_.begin(), queue_.end(), [&](const Posted& p) { return p.target == target; }),
               queue_.end());
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.target == target; }),
                timers_.end());
}

TScheduler::TimerHandle TScheduler::EarliestDue(uint64_t limit) const {
  const Timer* best = nullptr;
  for (const Timer& t : timers_) {
    if (t.interval <= 0 || t.firing || t.due > limit) continue;
    if (!best || t.due < best->due || (t.due == best->due && t.armed < best->armed)) best = &t;
  }
  return best ? best->handle : 0;
}

void TScheduler::Fire(TimerHandle handle) {
  Timer* timer = FindTimer(handle);
  if (!timer) return;
  // Re-armed before the handler runs, so a handler that stops or restarts its own timer has the last word.
  timer->due = TickCount() + static_cast<uint64_t>(timer->interval);
  timer->firing = true;
  TMessageTarget* target = timer->target;
  int id = timer->id;
  std::function<void()> onTimer = timer->onTimer;  // the handler may free the timer
  struct Done {
    TScheduler& s;
    TimerHandle h;
    ~Done() {
      if (Timer* t = s.FindTimer(h)) t->firing = false;
    }
  } done{*this, handle};
  if (target) {
    TMessage message;
    message.Msg = WM_TIMER;
    message.WParam = id;
    target->WndProc(message);
  } else if (onTimer) {
    onTimer();
  }
}

void TScheduler::DeliverPosted() {
  while (!queue_.empty()) {
    Posted posted = std::move(queue_.front());
    queue_.pop_front();
    if (posted.target)
      posted.target->WndProc(posted.message);
    else if (posted.work)
      posted.work();
  }
}

void TScheduler::ProcessMessages() {
  DeliverPosted();
  // Timers due now fire once each; re-arming puts them in the future, so this ends.
  const uint64_t now = TickCount();
  while (TimerHandle handle = EarliestDue(now)) {
    Fire(handle);
    DeliverPosted();
  }
}

void TScheduler::Advance(int64_t msecs) {
  if (msecs < 0) msecs = 0;
  const uint64_t target = TickCount() + static_cast<uint64_t>(msecs);
  DeliverPosted();
  while (TimerHandle handle = EarliestDue(target)) {
    const Timer* timer = FindTimer(handle);
    if (timer->due > TickCount()) clock_.Advance(static_cast<int64_t>(timer->due - TickCount()));
    Fire(handle);
    DeliverPosted();
  }
  if (TickCount() < target) clock_.Advance(static_cast<int64_t>(target - TickCount()));
  ProcessMessages();
}

}  // namespace jxc

#pragma once
// The headless message loop: a virtual clock, the timers that run on it and the queue of posted messages.
// Nothing happens by itself: time moves only through Advance (or Sleep on the clock), and posted messages
// and due timers run only inside Advance and ProcessMessages. Everything runs on the caller's thread.
//
// Order: Advance walks time forward to each due moment in turn; timers due at the same moment fire in the
// order they were armed. After every timer event the posted messages are delivered, so a message posted
// by a handler runs before the next timer fires. A repeating timer fires once for every interval that
// passes; the next interval is counted from the moment it fired.

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "platform/DateTime.h"

namespace jxc {

// Message numbers of the toolkit that the model delivers.
inline constexpr unsigned WM_KEYDOWN = 0x0100;
inline constexpr unsigned WM_KEYUP = 0x0101;
inline constexpr unsigned WM_CHAR = 0x0102;
inline constexpr unsigned WM_TIMER = 0x0113;
inline constexpr unsigned WM_USER = 0x0400;
// Frees the target window (posted by a form's Release).
inline constexpr unsigned CM_RELEASE = 0xB000 + 33;

struct TMessage {
  unsigned Msg = 0;
  int64_t WParam = 0;
  int64_t LParam = 0;
  int64_t Result = 0;
};

// A window that receives posted messages and window-timer events. A target that goes away calls
// TScheduler::ForgetTarget (controls do so in their destructors), which drops its messages and timers.
class TMessageTarget {
 public:
  virtual ~TMessageTarget() = default;
  virtual void WndProc(TMessage& message) = 0;
};

class TScheduler {
 public:
  // The scheduler moves the given clock; the clock must outlive it.
  explicit TScheduler(VirtualClock& clock) : clock_(clock) {}
  TScheduler(const TScheduler&) = delete;
  TScheduler& operator=(const TScheduler&) = delete;

  VirtualClock& Clock() { return clock_; }
  uint64_t TickCount() const { return clock_.TickCount(); }

  // --- timers ----------------------------------------------------------------------------------------
  // A repeating timer that first fires interval milliseconds from now; returns its handle (never 0).
  // An interval of 0 or less never fires (as the toolkit's timers).
  using TimerHandle = int64_t;
  TimerHandle StartTimer(int interval, std::function<void()> onTimer);
  // Stopping an unknown or already stopped handle is harmless.
  void StopTimer(TimerHandle handle);
  bool TimerActive(TimerHandle handle) const;
  // Milliseconds until the earliest armed timer is due (0 when overdue), -1 when none is armed.
  int64_t NextDueIn() const;

  // Window timers by (window, identifier), delivered as WM_TIMER with WParam = identifier. Setting an
  // identifier that runs already restarts it with the new interval; killing a missing one is harmless.
  void SetTimer(TMessageTarget* target, int id, int interval);
  void KillTimer(TMessageTarget* target, int id);
  bool HasTimer(TMessageTarget* target, int id) const;

  // --- messages --------------------------------------------------------------------------------------
  // Queued for the target; delivered on the next pump step, after the current handler returned.
  void PostMessage(TMessageTarget* target, TMessage message);
  void PostMessage(TMessageTarget* target, unsigned msg, int64_t wParam = 0, int64_t lParam = 0);
  // Any piece of work, run in turn with the posted messages.
  void Post(std::function<void()> work);
  int PendingMessages() const { return static_cast<int>(queue_.size()); }
  // Drops the target's posted messages and window timers (the target is going away).
  void ForgetTarget(TMessageTarget* target);

  // --- pump ------------------------------------------------------------------------------------------
  // Delivers the posted messages (also those posted while delivering) and fires the timers that are due
  // now. Callable from inside handlers.
  void ProcessMessages();
  // Lets msecs pass, firing due timers in due order and delivering posted messages after each.
  void Advance(int64_t msecs);

 private:
  struct Timer {
    TimerHandle handle = 0;
    uint64_t due = 0;
    int interval = 0;
    uint64_t armed = 0;  // arming order, breaks ties between timers due together
    TMessageTarget* target = nullptr;  // window timers only
    int id = 0;
    std::function<void()> onTimer;
    bool firing = false;
  };
  struct Posted {
    TMessageTarget* target = nullptr;
    TMessage message;
    std::function<void()> work;
  };

  Timer* FindTimer(TimerHandle handle);
  Timer* FindWindowTimer(TMessageTarget* target, int id);
  // The armed timer due earliest at or before the limit and not running; null when none.
  TimerHandle EarliestDue(uint64_t limit) const;
  void Fire(TimerHandle handle);
  void DeliverPosted();

  VirtualClock& clock_;
  std::vector<Timer> timers_;
  std::deque<Posted> queue_;
  uint64_t nextArmed_ = 1;
};

}  // namespace jxc

// Timers, window timers and posted messages on the application's virtual clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/Exceptions.h"
#include "platform/Timer.h"

namespace jxc {
namespace {

class UiTimerTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetApplication(); }
  void TearDown() override { ResetApplication(); }
  std::vector<std::string> log;
};

TEST_F(UiTimerTest, DueTimersFireInDueOrderAndTiesInArmingOrder) {
  TTimer slow(nullptr), fast(nullptr), alsoFast(nullptr);
  slow.SetInterval(500);
  fast.SetInterval(100);
  alsoFast.SetInterval(100);
  slow.SetOnTimer([&](TTimer&) { log.push_back("slow@" + std::to_string(GetTickCount())); });
  fast.SetOnTimer([&](TTimer&) { log.push_back("fast@" + std::to_string(GetTickCount())); });
  alsoFast.SetOnTimer([&](TTimer&) { log.push_back("also@" + std::to_string(GetTickCount())); });
  const uint64_t start = GetTickCount();
  Application().Advance(250);
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0], "fast@" + std::to_string(start + 100));
  EXPECT_EQ(log[1], "also@" + std::to_string(start + 100));
  EXPECT_EQ(log[2], "fast@" + std::to_string(start + 200));
  EXPECT_EQ(log[3], "also@" + std::to_string(start + 200));
  log.clear();
  Application().Advance(250);  // to start + 500: all three due together, slow was armed first
  ASSERT_EQ(log.size(), 7u);
  EXPECT_EQ(log[4], "slow@" + std::to_string(start + 500));
  EXPECT_EQ(log[5], "fast@" + std::to_string(start + 500));
}

TEST_F(UiTimerTest, HandlerThatDisablesItsTimerRunsOnceAndReEnablingRestartsTheInterval) {
  TTimer startTime(nullptr);
  startTime.SetEnabled(false);
  startTime.SetInterval(500);
  int runs = 0;
  startTime.SetOnTimer([&](TTimer& t) {
    t.SetEnabled(false);
    ++runs;
  });
  Application().Advance(1000);
  EXPECT_EQ(runs, 0) << "a disabled timer never fires";
  startTime.SetEnabled(true);
  Application().Advance(499);
  EXPECT_EQ(runs, 0);
  Application().Advance(1);
  EXPECT_EQ(runs, 1);
  Application().Advance(5000);
  EXPECT_EQ(runs, 1) << "the handler made it one-shot";
  EXPECT_FALSE(startTime.Armed());
  startTime.SetEnabled(true);
  Application().Advance(300);
  startTime.SetEnabled(false);
  startTime.SetEnabled(true);  // restarts: 500 ms from now
  Application().Advance(300);
  EXPECT_EQ(runs, 1);
  Application().Advance(200);
  EXPECT_EQ(runs, 2);
}

TEST_F(UiTimerTest, FreeingATimerInsideItsHandlerIsSafe) {
  auto* owner = new TComponent(nullptr);
  auto* timer = new TTimer(owner);
  timer->SetInterval(10);
  int runs = 0;
  timer->SetOnTimer([&](TTimer&) {
    ++runs;
    delete owner;
  });
  Application().Advance(100);
  EXPECT_EQ(runs, 1);
}

TEST_F(UiTimerTest, ErrorsOfTimerHandlersAreShownAndTheTimerGoesOn) {
  TTimer timer(nullptr);
  timer.SetInterval(100);
  int runs = 0;
  timer.SetOnTimer([&](TTimer&) {
    ++runs;
    throw Exception("查询失败");
  });
  Application().Advance(200);
  EXPECT_EQ(runs, 2);
  ASSERT_EQ(Application().ShownErrors().size(), 2u);
  EXPECT_EQ(Application().ShownErrors()[0], "查询失败");
}

// A search box that filters after a typing pause: each change restarts window timer 1281.
class SearchBox : public TWinControl {
 public:
  using TWinControl::TWinControl;
  void Changed() { SetTimer(1281, 300); }
  std::vector<uint64_t> filteredAt;

 protected:
  void WMTimer(int id) override {
    if (id != 1281) return;
    KillTimer(1281);
    filteredAt.push_back(GetTickCount());
  }
};

TEST_F(UiTimerTest, WindowTimerRestartsOnEachChangeAndFiresOnceAfterThePause) {
  SearchBox box(nullptr);
  const uint64_t start = GetTickCount();
  box.Changed();
  Application().Advance(200);
  box.Changed();  // restarted: due at start + 500
  Application().Advance(200);
  EXPECT_TRUE(box.filteredAt.empty());
  Application().Advance(100);
  ASSERT_EQ(box.filteredAt.size(), 1u);
  EXPECT_EQ(box.filteredAt[0], start + 500);
  Application().Advance(1000);
  EXPECT_EQ(box.filteredAt.size(), 1u) << "the handler killed it";
  box.KillTimer(1281);  // killing a missing timer is harmless
}

TEST_F(UiTimerTest, DestroyingAControlDropsItsTimersAndMessages) {
  auto* box = new SearchBox(nullptr);
  box->Changed();
  box->PostMessage(WM_USER);
  delete box;
  EXPECT_EQ(Application().Scheduler().PendingMessages(), 0);
  EXPECT_EQ(Application().Scheduler().NextDueIn(), -1);
  Application().Advance(1000);  // nothing to reach
}

TEST_F(UiTimerTest, PostedWorkRunsAfterTheCurrentHandlerAndBeforeTheNextTimer) {
  TTimer first(nullptr), second(nullptr);
  first.SetInterval(100);
  second.SetInterval(100);
  first.SetOnTimer([&](TTimer& t) {
    t.SetEnabled(false);
    Application().Scheduler().Post([&] { log.push_back("posted"); });
    log.push_back("first");
  });
  second.SetOnTimer([&](TTimer& t) {
    t.SetEnabled(false);
    log.push_back("second");
  });
  Application().Advance(100);
  EXPECT_EQ(log, (std::vector<std::string>{"first", "posted", "second"}));
}

TEST_F(UiTimerTest, ProcessMessagesInsideAHandlerDoesNotReenterThatTimer) {
  TTimer timer(nullptr);
  timer.SetInterval(10);
  int depth = 0, maxDepth = 0, runs = 0;
  timer.SetOnTimer([&](TTimer&) {
    ++runs;
    maxDepth = std::max(maxDepth, ++depth);
    Application().Clock().Advance(50);  // a long piece of work
    Application().ProcessMessages();
    --depth;
  });
  Application().Advance(10);
  EXPECT_EQ(maxDepth, 1);
  EXPECT_GE(runs, 1);
}

TEST_F(UiTimerTest, NowFollowsTheVirtualClock) {
  TDateTime before = Now();
  Application().Advance(86400000 / 2);
  EXPECT_NEAR(Now() - before, 0.5, 1e-9);
}

}  // namespace
}  // namespace jxc

// The waits of the user-interface thread: on a clock, and ended by the event they wait for.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/worker_thread.h"
#include "runtime/loop_ui_thread.h"
#include "runtime/ui_thread.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;

namespace {

TEST(PauseFunc, WaitsItsTimeOnTheClockWhileServingTheInterface) {
  platform::ManualClock clock;
  test::ImmediateUiThread ui;
  ui.clock = &clock;
  pauseFunc(ui, clock, 0);
  EXPECT_EQ(ui.pumps, 1);  // zero still serves the interface once
  pauseFunc(ui, clock, 250);
  EXPECT_EQ(clock.ticks(), 250u);
  // A terminating application ends the wait.
  ui.onPump = [&] { ui.quit = ui.pumps == 3; };
  pauseFunc(ui, clock, 60000);
  EXPECT_EQ(ui.pumps, 3);
}

TEST(WaitUntil, EndsOnTheEventItWaitsForNotOnTheClock) {
  // The clock never moves: only the worker's hand-over can end the wait.
  platform::ManualClock clock;
  EventLoop loop;
  LoopUiThread ui(loop);
  bool handedOver = false;
  auto w = WorkerThread::create([&](WorkerThread&) { ui.invoke([&] { handedOver = true; }); });
  w->resume();
  EXPECT_TRUE(waitUntil(ui, clock, 1000, [&] { return handedOver; }));
  EXPECT_TRUE(w->waitFinished(10000));
  // A condition that holds already returns at once, serving nothing.
  test::ImmediateUiThread idle;
  EXPECT_TRUE(waitUntil(idle, clock, 1000, [] { return true; }));
  EXPECT_EQ(idle.pumps, 0);
}

}  // namespace

// The hand-over to eMule's window, against tests/peers/fake_emule.cpp under wine.
#include <gtest/gtest.h>

#include <cstdlib>

#include "client/emule_bridge.h"
#include "peers/emule_peer.h"
#include "support/transfer_fixture.h"

using namespace ravelin::client;
using test::kHour;

namespace {

// Under wine a top-level window needs an X display; CI runs this under xvfb-run.
constexpr const char* kNoDisplay = "no X display: wine makes no windows without one";

constexpr const char* kLinks =
    "ed2k://|server|10.0.0.1|4661|/\ned2k://|server|10.0.0.3|4661|/\n"
    "ed2k://|server|10.0.0.4|4661|/\n";

}  // namespace

TEST(EmuleHandOver, TheCheckedServersOnceInFourHoursOnlyToARunningEmule) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << kNoDisplay;
  test::TransferFixture f(5, {1, 3, 4});
  ASSERT_EQ(makeClientBridge(f.app.ctx.settings)->route(), EmuleBridge().route());
  EmuleBridge bridge;
  EXPECT_EQ(f.transfer(bridge).failure, TransferFailure::Waiting);  // the first one
  // No eMule after 4 hours: refused, and the period does not start again.
  f.app.manualClock.advance(4 * kHour);
  const auto recorded = f.store.read();
  EXPECT_EQ(f.transfer(bridge).failure, TransferFailure::NotRunning);
  EXPECT_EQ(f.store.read(), recorded);

  const std::string links = f.app.dir.file("links.txt");
  test::EmulePeer emule(links);
  ASSERT_EQ(emule.problem(), "");
  std::uint32_t start = f.app.manualClock.ticks();
  const TransferOutcome o = f.transfer(bridge);
  ASSERT_TRUE(o.completed) << o.cause;
  EXPECT_EQ(test::ReadFile(links), kLinks);
  EXPECT_EQ(f.app.manualClock.ticks() - start, 300u);  // EDWaittime after each of the 3
  EXPECT_EQ(f.view.bar.steps, 5);

  f.app.manualClock.advance(4 * kHour - 300 - 1);  // since that one started, less 1 ms
  EXPECT_EQ(f.transfer(bridge).failure, TransferFailure::Waiting);
  f.app.manualClock.advance(1);
  f.app.ctx.settings.EDWaittime = 0;
  start = f.app.manualClock.ticks();
  EXPECT_TRUE(f.transfer(bridge).completed);
  EXPECT_EQ(f.app.manualClock.ticks(), start);
  EXPECT_EQ(test::ReadFile(links), std::string(kLinks) + kLinks);
}

TEST(EmuleHandOver, AHungEmuleIsGivenUpOnAndThereIsNoConsole) {
  test::TransferFixture f(5, {2});
  f.app.ctx.state.scriptRunning = true;
  EXPECT_EQ(sendToClientConsole("n 127.0.0.1 4661", f.app.ctx).failure,
            TransferFailure::ConsoleUnreachable);
  EXPECT_EQ(f.app.logLines().back(),
            "Console line <n 127.0.0.1 4661> not done: eMule, the eDonkey client on Windows, "
            "has no console.");
  EXPECT_TRUE(f.app.prompter.shown.empty());

  if (!std::getenv("DISPLAY")) GTEST_SKIP() << kNoDisplay;
  f.app.ctx.state.scriptRunning = false;
  f.recordHoursAgo(5);
  test::EmulePeer emule(f.app.dir.file("links.txt"), true);
  ASSERT_EQ(emule.problem(), "");
  EmuleBridge bridge({.answerMs = 1000, .sendMs = 200});
  const TransferOutcome o = f.transfer(bridge);
  EXPECT_EQ(o.failure, TransferFailure::Failed);
  EXPECT_NE(o.cause.find("did not take it within 200 ms"), std::string::npos) << o.cause;
  EXPECT_EQ(f.app.prompter.shown.size(), 1u);
}

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/user_folders.h"
#include "support/transfer_fixture.h"

using namespace ravelin::client;
using test::kHour;
namespace fs = std::filesystem;

namespace {

// Ten servers, the 2nd, 5th and 9th checked, handed to "the client" as this test program:
// it runs, and the test reads the links file back.
struct LinksFixture : test::TransferFixture {
  LinksFixture() : TransferFixture(10, {2, 5, 9}) {
    app.ctx.settings.EDPath = app.dir.path().string();
    app.ctx.settings.EDFilename = platform::executablePath();
  }
  TransferOutcome transfer() {
    Ed2kLinksBridge bridge(app.ctx.settings);
    return TransferFixture::transfer(bridge);
  }
  std::string links() const {
    const std::string path = app.dir.file("ED2KLinks");
    return fs::exists(path) ? test::ReadFile(path) : "";
  }
};

constexpr const char* kLink2 = "ed2k://|server|10.0.0.2|4661|/\n";
constexpr const char* kLink5 = "ed2k://|server|10.0.0.5|4661|/\n";

}  // namespace

TEST(Transfer, OneHandOverInFourHoursAndOnlyToARunningClient) {
  LinksFixture f;
  // The first attempt records the time and hands nothing over.
  EXPECT_EQ(f.transfer().failure, TransferFailure::Waiting);
  EXPECT_EQ(f.links(), "");
  const auto first = f.store.read();
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(f.app.prompter.shown.size(), 1u);
  EXPECT_TRUE(f.view.closed == 1 && f.view.mainEnabled);
  f.app.manualClock.advance(4 * kHour - 1);
  EXPECT_EQ(f.transfer().failure, TransferFailure::Waiting);
  // Exactly 4 hours, but no client: refused, and the period does not start again.
  f.app.manualClock.advance(1);
  const std::string self = f.app.ctx.settings.EDFilename;
  f.app.ctx.settings.EDFilename = "/nonexistent/amule";
  EXPECT_EQ(f.transfer().failure, TransferFailure::NotRunning);
  EXPECT_EQ(f.store.read(), first);

  f.app.ctx.settings.EDFilename = self;
  const std::uint32_t before = f.app.manualClock.ticks();
  const TransferOutcome o = f.transfer();
  ASSERT_TRUE(o.completed) << o.cause;
  EXPECT_EQ(f.links(), std::string(kLink2) + kLink5 + "ed2k://|server|10.0.0.9|4661|/\n");
  EXPECT_EQ(f.view.bar.steps, 10);
  EXPECT_FALSE(f.view.bar.visible());
  EXPECT_EQ(f.app.manualClock.ticks() - before, 300u);  // EDWaittime after each of the 3
  EXPECT_EQ(f.app.prompter.shown.size(), 3u);
  EXPECT_EQ(f.app.logLines().back().rfind("Serverlist transferred to the running", 0), 0u);
  EXPECT_EQ(f.transfer().failure, TransferFailure::Waiting);  // recorded anew
}

TEST(Transfer, CancelIsSilentAndAFutureRecordBlocksOnlyFourHours) {
  LinksFixture f;
  f.recordHoursAgo(-1000);  // a clock that ran far ahead restarts the period
  EXPECT_EQ(f.transfer().failure, TransferFailure::Waiting);
  f.app.manualClock.advance(4 * kHour);
  f.view.onHeadline = [&](const std::string& text) {
    if (text == transferProgressText(6, 10)) f.view.cancel();
  };
  EXPECT_TRUE(f.transfer().cancelled);
  EXPECT_EQ(f.links(), std::string(kLink2) + kLink5);
  EXPECT_TRUE(f.app.prompter.shown.size() == 1 && f.view.mainEnabled && !f.view.bar.visible());
  // Old console lines become server links; no field can smuggle in a second line.
  EXPECT_EQ(consoleLineFor("n 192.0.2.7 4661"), "add ed2k://|server|192.0.2.7|4661|/");
  EXPECT_EQ(consoleLineFor("n 1.2.3.4|5 4661"), "n 1.2.3.4|5 4661");
  EXPECT_FALSE(isLinkableServer("10.0.0.1", "4661|/\ned2k://|server|6.6.6.6|1"));
}

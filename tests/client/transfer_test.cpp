#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/transfer_time_file.h"
#include "client/client_bridge.h"
#include "client/launch.h"
#include "client/transfer.h"
#include "client/transfer_time.h"
#include "platform/file_io.h"
#include "serverlist/server_list.h"
#include "support/child_process.h"
#include "support/recording_transfer_view.h"

using namespace ravelin;
using namespace ravelin::client;
namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kHour = 3600 * 1000;

// Ten servers 10.0.0.1 to 10.0.0.10, port 4661; the 2nd, 5th and 9th checked.
serverlist::ServerList TenServers() {
  serverlist::ServerList list;
  for (int i = 1; i <= 10; ++i) {
    serverlist::Server s;
    s.ip = "10.0.0." + std::to_string(i);
    s.port = "4661";
    list.append(s, i == 2 || i == 5 || i == 9);
  }
  return list;
}

// The client as this test program: it runs, so the running check passes, and the links
// file is read back by the test instead of a client.
struct LinksFixture {
  test::TestApp app;
  app::TransferTimeFile store{app.dir.file("ravelin.ini")};
  test::RecordingTransferView view;
  serverlist::ServerList list = TenServers();
  LinksFixture() {
    app.useManualClock();
    app.ctx.settings.EDPath = app.dir.path().string();
    app.ctx.settings.EDFilename = fs::canonical("/proc/self/exe").string();
  }
  TransferOutcome transfer() {
    Ed2kLinksBridge bridge(app.ctx.settings);
    return sendToRunningClient(list, app.ctx, view, store, bridge);
  }
  std::string links() const {
    const std::string path = app.dir.file("ED2KLinks");
    return fs::exists(path) ? test::ReadFile(path) : "";
  }
};

}  // namespace

TEST(TransferTime, ScrambledRecordsReadBack) {
  const std::string text = "46023.5";
  const std::string scrambled = scrambleText(text);
  for (char c : scrambled) EXPECT_GE(static_cast<unsigned char>(c), 0x80);
  EXPECT_EQ(scrambleText(scrambled), text);
  const std::int64_t t = 1767225600000 + 12345;
  EXPECT_EQ(parseTransferTimeValue(transferTimeValue(t)), t);
  // 2026-01-01 12:00 UTC written with a decimal comma.
  EXPECT_EQ(parseTransferTimeValue(scrambleText("46023,5")), 1767268800000);
  EXPECT_EQ(parseTransferTimeValue(scrambleText("bogus")), std::nullopt);
  EXPECT_EQ(parseTransferTimeValue(""), std::nullopt);
}

TEST(Transfer, OneHandOverInFourHoursAndOnlyToARunningClient) {
  LinksFixture f;
  f.app.ctx.settings.EDWaittime = 100;
  // The first attempt records the time and hands nothing over.
  TransferOutcome o = f.transfer();
  EXPECT_EQ(o.failure, TransferFailure::Waiting);
  EXPECT_EQ(f.links(), "");
  const auto first = f.store.read();
  ASSERT_TRUE(first.has_value());
  ASSERT_EQ(f.app.prompter.shown.size(), 1u);
  EXPECT_EQ(f.app.prompter.shown[0].text.rfind(transferFailureText(TransferFailure::Waiting), 0),
            0u);
  EXPECT_EQ(f.app.prompter.shown[0].icon, MsgIcon::Error);
  EXPECT_EQ(f.view.closed, 1);
  EXPECT_TRUE(f.view.mainEnabled);

  f.app.manualClock.advance(4 * kHour - 1);
  EXPECT_EQ(f.transfer().failure, TransferFailure::Waiting);
  EXPECT_EQ(f.store.read(), first);

  // Exactly 4 hours, but no client: refused, and the period does not start again.
  f.app.manualClock.advance(1);
  const std::string self = f.app.ctx.settings.EDFilename;
  f.app.ctx.settings.EDFilename = "/nonexistent/amule";
  EXPECT_EQ(f.transfer().failure, TransferFailure::NotRunning);
  EXPECT_EQ(f.store.read(), first);
  EXPECT_EQ(f.app.prompter.shown.size(), 3u);

  f.app.ctx.settings.EDFilename = self;
  const std::uint32_t before = f.app.manualClock.ticks();
  o = f.transfer();
  ASSERT_TRUE(o.completed) << o.cause;
  EXPECT_EQ(o.added, 3);
  EXPECT_EQ(f.links(),
            "ed2k://|server|10.0.0.2|4661|/\ned2k://|server|10.0.0.5|4661|/\n"
            "ed2k://|server|10.0.0.9|4661|/\n");
  EXPECT_TRUE(fs::exists(f.app.dir.file("ED2KLinks_lock")));
  EXPECT_EQ(f.view.bar.steps, 10);
  EXPECT_EQ(f.view.bar.lastMax, 10);
  EXPECT_FALSE(f.view.bar.visible());
  EXPECT_EQ(f.app.manualClock.ticks() - before, 300u);
  EXPECT_EQ(f.view.headlines.back(), kTransferStatusDone);
  EXPECT_EQ(f.app.prompter.shown.size(), 3u);
  EXPECT_EQ(
      f.app.logLines().back().rfind("Serverlist transferred to the running eDonkey client", 0), 0u);
  // Recorded now: the next one waits again.
  EXPECT_NE(f.store.read(), first);
  EXPECT_EQ(f.transfer().failure, TransferFailure::Waiting);
}

TEST(Transfer, CancelStopsBeforeTheNextServerWithoutAMessage) {
  LinksFixture f;
  f.store.write(transferTimeValue(f.app.manualClock.wallMs() - 5 * kHour));
  f.view.onHeadline = [&](const std::string& text) {
    if (text == transferProgressText(6, 10)) f.view.cancel();
  };
  const TransferOutcome o = f.transfer();
  EXPECT_TRUE(o.cancelled);
  EXPECT_EQ(o.added, 2);
  EXPECT_EQ(f.links(), "ed2k://|server|10.0.0.2|4661|/\ned2k://|server|10.0.0.5|4661|/\n");
  EXPECT_TRUE(f.app.prompter.shown.empty());
  EXPECT_EQ(f.view.closed, 1);
  EXPECT_TRUE(f.view.mainEnabled);
  EXPECT_FALSE(f.view.bar.visible());

  // A record from a clock that ran ahead blocks for 4 hours from now, not until then.
  f.view.onHeadline = {};
  f.store.write(transferTimeValue(f.app.manualClock.wallMs() + 1000 * kHour));
  f.app.ctx.state.scriptRunning = true;
  EXPECT_EQ(f.transfer().failure, TransferFailure::Waiting);
  EXPECT_TRUE(f.app.prompter.shown.empty());  // no boxes while a script runs
  f.app.manualClock.advance(4 * kHour);
  EXPECT_TRUE(f.transfer().completed);
}

TEST(Transfer, OnlyPlainServerLinksReachTheClient) {
  EXPECT_EQ(consoleLineFor("n 192.0.2.7 4661"), "add ed2k://|server|192.0.2.7|4661|/");
  EXPECT_EQ(consoleLineFor("n server.example.org 4242"),
            "add ed2k://|server|server.example.org|4242|/");
  for (const char* kept : {"name Marrowby", "n 1.2.3.4", "n 1.2.3.4 99999", "n  1.2.3.4 4661",
                           "n 1.2.3.4|5 4661", "show servers"})
    EXPECT_EQ(consoleLineFor(kept), kept);
  EXPECT_FALSE(isLinkableServer("1.2.3.4\nshutdown", "4661"));
  EXPECT_FALSE(isLinkableServer("1.2.3.4", "0"));
  EXPECT_FALSE(isLinkableServer("n/a", "n/a"));
  EXPECT_TRUE(isLinkableServer("1.2.3.4", "65535"));

  // Such a server counts as not taken; the others still go.
  LinksFixture f;
  f.store.write(transferTimeValue(f.app.manualClock.wallMs() - 5 * kHour));
  f.list.setField(1, serverlist::fPort, "4661|/\ned2k://|server|6.6.6.6|1");
  const TransferOutcome o = f.transfer();
  EXPECT_EQ(o.added, 2);
  EXPECT_EQ(o.refused, 1);
  EXPECT_EQ(f.links().find("6.6.6.6"), std::string::npos);
}

TEST(ClientProgram, ResolvesNamesAndPathsAndKnowsBothAmulePrograms) {
  test::TestApp app;
  Settings& s = app.ctx.settings;
  s.EDPath = app.dir.path().string();
  const std::string bin = app.dir.file("bin");
  fs::create_directories(bin);
  for (const char* name : {"amule", "amuled"}) {
    test::WriteFile(bin + "/" + name, "#!/bin/sh\n");
    fs::permissions(bin + "/" + name, fs::perms::owner_all);
  }
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  ::setenv("PATH", bin.c_str(), 1);
  s.EDFilename = "amule";
  EXPECT_EQ(clientExecutable(s), bin + "/amule");
  EXPECT_EQ(localClientPrograms(s), (std::vector<std::string>{bin + "/amule", bin + "/amuled"}));
  test::WriteFile(app.dir.file("amule"), "");
  EXPECT_EQ(clientExecutable(s), app.dir.file("amule"));  // EDPath comes first
  s.EDFilename = "/opt/amule/bin/amuled";
  EXPECT_EQ(clientExecutable(s), "/opt/amule/bin/amuled");
  EXPECT_EQ(localClientPrograms(s),
            (std::vector<std::string>{"/opt/amule/bin/amuled", "/opt/amule/bin/amule"}));

  // Without amulecmd neither the External Connection nor the console can be reached.
  s.EDGUI = false;
  s.ECPassword = std::string(32, 'A');
  test::RecordingTransferView view;
  app::TransferTimeFile store(app.dir.file("ravelin.ini"));
  store.write(transferTimeValue(app.ctx.clock->wallMs() - 5 * kHour));
  EcBridge bridge(ecEndpoint(s));
  const TransferOutcome o =
      sendToRunningClient(serverlist::ServerList(), app.ctx, view, store, bridge);
  const ConsoleOutcome c = sendToClientConsole("n 1.2.3.4 4661", app.ctx);
  ::setenv("PATH", oldPath.c_str(), 1);
  EXPECT_EQ(o.failure, TransferFailure::ClientUnreachable);
  EXPECT_NE(o.cause.find(kEcPackage), std::string::npos);
  EXPECT_EQ(c.failure, TransferFailure::ConsoleUnreachable);
  EXPECT_NE(c.cause.find(kEcPackage), std::string::npos);
}

TEST(ClientFiles, LinesAreAppendedOnlyUnderTheClientsLock) {
  test::TempDir dir;
  const std::string links = dir.file("ED2KLinks"), lock = dir.file("ED2KLinks_lock");
  platform::appendUnderLock(links, lock, "a\n", 100);
  // The client holds the lock (a lock of this process, so the writer runs in a child).
  const int fd = ::open(lock.c_str(), O_RDWR);
  struct flock fl {};
  fl.l_type = F_WRLCK;
  ASSERT_EQ(::fcntl(fd, F_SETLK, &fl), 0);
  EXPECT_NE(test::RunInChild([&] {
              platform::appendUnderLock(links, lock, "b\n", 100);
              return std::string();
            }).find("another program holds it"),
            std::string::npos);
  ::close(fd);
  EXPECT_EQ(test::ReadFile(links), "a\n");
  EXPECT_EQ(fs::status(links).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);

  std::string kept;
  {
    platform::PrivateDirectory priv("ravelin-test");
    kept = priv.path();
    priv.makeSubdirectory("sub");
    const std::string file = priv.writeFile("sub/f", "x");
    EXPECT_EQ(fs::status(priv.path()).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
  }
  EXPECT_FALSE(fs::exists(kept));
}

TEST(ClientFiles, SavingServerMetUnderTheRunningClientIsNotedOncePerRun) {
  test::TestApp app;
  app.ctx.settings.EDFilename = "/nonexistent/amule";
  noteServerMetSavedUnderRunningClient(app.ctx);
  EXPECT_TRUE(app.logLines().empty());
  app.ctx.settings.EDFilename = fs::canonical("/proc/self/exe").string();
  noteServerMetSavedUnderRunningClient(app.ctx);
  noteServerMetSavedUnderRunningClient(app.ctx);
  EXPECT_EQ(app.logLines(), std::vector<std::string>(2, kRunningClientSaveNote));
  ASSERT_EQ(app.prompter.shown.size(), 1u);
  EXPECT_EQ(app.prompter.shown[0].icon, MsgIcon::Information);
}

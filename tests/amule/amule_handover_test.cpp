#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "app/settings_store.h"
#include "app/transfer_time_file.h"
#include "cli/cli_runner.h"
#include "client/transfer.h"
#include "client/transfer_time.h"
#include "peers/amule_peer.h"
#include "serverlist/met_file.h"
#include "serverlist/server_list.h"
#include "support/recording_transfer_view.h"

using namespace ravelin;
using namespace ravelin::client;
namespace fs = std::filesystem;

namespace {

// Five servers prefix.1 to prefix.5 on ports 4661 to 4665; the 1st, 3rd and 5th checked.
serverlist::ServerList FiveServers(const std::string& prefix) {
  serverlist::ServerList list;
  for (int i = 1; i <= 5; ++i) {
    serverlist::Server s;
    s.ip = prefix + "." + std::to_string(i);
    s.port = std::to_string(4660 + i);
    list.append(s, i % 2 == 1);
  }
  return list;
}

std::vector<std::string> ServersWithPrefix(const test::AmulePeer& peer, const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& s : peer.servers())
    if (s.rfind(prefix, 0) == 0) found.push_back(s);
  std::sort(found.begin(), found.end());
  return found;
}

// amuled takes what it read in its own time: polls (at most 10 s) until `count` servers
// with the prefix are listed, then once more a little later, so that an extra one shows.
std::vector<std::string> AwaitServers(const test::AmulePeer& peer, const std::string& prefix,
                                      size_t count) {
  for (int i = 0; i < 100 && ServersWithPrefix(peer, prefix).size() < count; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  return ServersWithPrefix(peer, prefix);
}

bool AwaitLogLine(const test::AmulePeer& peer, const std::string& text) {
  for (int i = 0; i < 100; ++i) {
    if (peer.log().find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

std::vector<std::string> CheckedOf(const std::string& prefix) {
  return {prefix + ".1:4661", prefix + ".3:4663", prefix + ".5:4665"};
}

// A hand-over that passes the 4-hour rule: the last one is recorded 5 hours back.
void RecordLongAgo(TransferTimeStore& store, std::int64_t now) {
  store.write(transferTimeValue(now - 5LL * 3600 * 1000));
}

// Whether any process's command line holds the text.
bool AnyCommandLineHolds(const std::string& text) {
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::string cmdline;
    try {
      cmdline = test::ReadFile((entry.path() / "cmdline").string());
    } catch (...) {
      continue;
    }
    if (cmdline.find(text) != std::string::npos) return true;
  }
  return false;
}

class AmuleHandover : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { peer_ = new test::AmulePeer(); }
  static void TearDownTestSuite() {
    delete peer_;
    peer_ = nullptr;
  }
  void SetUp() override {
    if (!peer_->error().empty()) GTEST_SKIP() << peer_->error();
    app_.useManualClock();
    app_.ctx.settings.EDPath = peer_->configDir();
    app_.ctx.settings.ECHost = "127.0.0.1";
    app_.ctx.settings.ECPort = peer_->ecPort();
    app_.ctx.settings.ECPassword = app::ecPasswordDigest(test::AmulePeer::kPassword);
    RecordLongAgo(store_, app_.manualClock.wallMs());
  }

  static test::AmulePeer* peer_;
  test::TestApp app_;
  app::TransferTimeFile store_{app_.dir.file("ravelin.ini")};
  test::RecordingTransferView view_;
};

test::AmulePeer* AmuleHandover::peer_ = nullptr;

TEST_F(AmuleHandover, TheLinksFileDeliversExactlyTheCheckedServers) {
  app_.ctx.settings.EDGUI = true;
  const auto list = FiveServers("10.1.0");
  const auto bridge = makeClientBridge(app_.ctx.settings);
  const TransferOutcome outcome = sendToRunningClient(list, app_.ctx, view_, store_, *bridge);
  ASSERT_TRUE(outcome.completed) << outcome.cause;
  EXPECT_EQ(outcome.added, 3);
  EXPECT_EQ(view_.bar.steps, 5);
  EXPECT_EQ(app_.manualClock.ticks(), 300u);  // EDWaittime after each handed server
  ASSERT_TRUE(peer_->waitForLinksRead(10000));
  EXPECT_EQ(AwaitServers(*peer_, "10.1.0.", 3), CheckedOf("10.1.0"));
  EXPECT_TRUE(fs::exists(peer_->configDir() + "ED2KLinks_lock"));
}

TEST_F(AmuleHandover, TheExternalConnectionDeliversThemWithoutShowingThePassword) {
  app_.ctx.settings.EDGUI = false;
  app_.ctx.log.loggingActive = true;
  const std::string digest = app_.ctx.settings.ECPassword;
  app::storeSettings(app_.ctx.settings, app_.dir.file("ravelin.ini"));
  const std::string tmp = app_.dir.file("tmp");
  fs::create_directories(tmp);
  const char* oldTmp = std::getenv("TMPDIR");
  const std::string keptTmp = oldTmp ? oldTmp : "";
  ::setenv("TMPDIR", tmp.c_str(), 1);
  // While amulecmd connects the user interface is served: look at its settings file and
  // at every command line then.
  bool sawPrivateFile = false, secretOnACommandLine = false;
  app_.ui.onPump = [&] {
    for (const auto& dir : fs::directory_iterator(tmp)) {
      const std::string file = (dir.path() / ".aMule/ec.conf").string();
      struct stat fileStat {
      }, dirStat{};
      if (::stat(file.c_str(), &fileStat) == 0 && ::stat(dir.path().c_str(), &dirStat) == 0)
        sawPrivateFile = sawPrivateFile ||
                         ((fileStat.st_mode & 0777) == 0600 && (dirStat.st_mode & 0777) == 0700);
    }
    secretOnACommandLine = secretOnACommandLine || AnyCommandLineHolds(digest) ||
                           AnyCommandLineHolds(test::AmulePeer::kPassword);
  };
  const auto list = FiveServers("10.2.0");
  const auto bridge = makeClientBridge(app_.ctx.settings);
  const TransferOutcome outcome = sendToRunningClient(list, app_.ctx, view_, store_, *bridge);
  if (keptTmp.empty())
    ::unsetenv("TMPDIR");
  else
    ::setenv("TMPDIR", keptTmp.c_str(), 1);
  ASSERT_TRUE(outcome.completed) << outcome.cause;
  EXPECT_EQ(outcome.added, 3);
  EXPECT_EQ(AwaitServers(*peer_, "10.2.0.", 3), CheckedOf("10.2.0"));

  EXPECT_TRUE(sawPrivateFile);
  EXPECT_FALSE(secretOnACommandLine);
  EXPECT_TRUE(fs::is_empty(tmp));  // the private directory is gone
  ASSERT_FALSE(app_.logLines().empty());
  for (const auto& file : fs::recursive_directory_iterator(app_.dir.path())) {
    if (!file.is_regular_file()) continue;
    const std::string text = test::ReadFile(file.path().string());
    const bool isIni = file.path().filename() == "ravelin.ini";
    EXPECT_EQ(text.find(digest) != std::string::npos, isIni) << file.path();
    EXPECT_EQ(text.find(test::AmulePeer::kPassword), std::string::npos) << file.path();
  }
}

TEST_F(AmuleHandover, AWrongPasswordFailsAndRecordsNothing) {
  app_.ctx.settings.EDGUI = false;
  app_.ctx.settings.ECPassword = app::ecPasswordDigest("not the password");
  const auto recorded = store_.read();
  const auto list = FiveServers("10.3.0");
  const auto bridge = makeClientBridge(app_.ctx.settings);
  const TransferOutcome outcome = sendToRunningClient(list, app_.ctx, view_, store_, *bridge);
  EXPECT_EQ(outcome.failure, TransferFailure::ClientUnreachable);
  EXPECT_NE(outcome.cause.find("refused"), std::string::npos) << outcome.cause;
  EXPECT_EQ(store_.read(), recorded);
  ASSERT_EQ(app_.prompter.shown.size(), 1u);
  EXPECT_EQ(app_.prompter.shown[0].icon, MsgIcon::Error);
  EXPECT_EQ(view_.closed, 1);
  EXPECT_TRUE(view_.mainEnabled);
  EXPECT_TRUE(ServersWithPrefix(*peer_, "10.3.0.").empty());
}

TEST_F(AmuleHandover, AScriptHandsOverItsListAndAConsoleLine) {
  const std::string ini = app_.dir.file("cli/ravelin.ini");
  fs::create_directories(app_.dir.file("cli"));
  test::WriteFile(ini, "[general]\nEDPath=" + peer_->configDir() +
                           "\nEDGUI=1\nEDWaittime=0\nLOG=1\nECHost=127.0.0.1\nECPort=" +
                           std::to_string(peer_->ecPort()) + "\nECPassword=" +
                           app::ecPasswordDigest(test::AmulePeer::kPassword) + "\n");
  app::TransferTimeFile cliStore(ini);
  RecordLongAgo(cliStore, platform::systemClock().wallMs());
  serverlist::ServerList list;
  for (int i = 1; i <= 3; ++i) {
    serverlist::Server s;
    s.ip = "10.4.0." + std::to_string(i);
    s.port = "4661";
    list.append(s, true);
  }
  const std::string met = app_.dir.file("cli/list.met");
  test::RecordingProgressBar bar;
  ASSERT_TRUE(serverlist::writeServersToMet(list, met, bar, app_.ctx));
  const std::string script = app_.dir.file("cli/handover.rvs");
  test::WriteFile(script, "RefreshCustomMET[" + met +
                              "]\nSaveRunningEDonkey\nSendToEDonkeyConsole[n 192.0.2.7 4661]\n");
  const test::CliResult result = test::runCli({"--verbose", "--ini", ini, "run", script}, app_.dir);
  EXPECT_EQ(result.status, 0) << result.err;
  ASSERT_TRUE(peer_->waitForLinksRead(10000));
  EXPECT_EQ(AwaitServers(*peer_, "10.4.0.", 3),
            (std::vector<std::string>{"10.4.0.1:4661", "10.4.0.2:4661", "10.4.0.3:4661"}));
  // The console line arrived as a server link. (aMule takes it and then drops it without a
  // word, as it does every server in 192.0.2.0/24, a range reserved for examples.)
  EXPECT_TRUE(AwaitLogLine(*peer_, "adding link 'ed2k://|server|192.0.2.7|4661|/'")) << result.err;
}

}  // namespace

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "app/settings_store.h"
#include "app/startup.h"
#include "app/transfer_time_file.h"
#include "cli/cli_runner.h"
#include "client/transfer_time.h"
#include "peers/amule_peer.h"
#include "serverlist/server_list.h"
#include "support/recording_transfer_view.h"

using namespace ravelin::client;
namespace fs = std::filesystem;

namespace {

// Five servers prefix.1 to prefix.5 on ports 4661 to 4665; the 1st, 3rd and 5th checked.
serverlist::ServerList FiveServers(const std::string& prefix) {
  serverlist::ServerList list;
  for (int i = 1; i <= 5; ++i) {
    serverlist::Server s;
    s.ip = prefix + std::to_string(i);
    s.port = std::to_string(4660 + i);
    list.append(s, i % 2 == 1);
  }
  return list;
}

std::vector<std::string> Checked(const std::string& prefix) {
  return {prefix + "1:4661", prefix + "3:4663", prefix + "5:4665"};
}

// Whether any process's command line holds one of the texts.
bool AnyCommandLineHolds(const std::vector<std::string>& texts) {
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::ifstream in(entry.path() / "cmdline", std::ios::binary);
    const std::string cmdline((std::istreambuf_iterator<char>(in)), {});
    for (const auto& text : texts)
      if (cmdline.find(text) != std::string::npos) return true;
  }
  return false;
}

class AmuleHandover : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { peer_ = new test::AmulePeer(); }
  static void TearDownTestSuite() { delete peer_; }
  void SetUp() override {
    if (!peer_->error().empty()) GTEST_SKIP() << peer_->error();
    app_.useManualClock();
    Settings& s = app_.ctx.settings;
    s.EDPath = peer_->configDir();
    s.ECPort = peer_->ecPort();
    s.ECPassword = app::ecPasswordDigest(test::AmulePeer::kPassword);
    store_.write(transferTimeValue(app_.manualClock.wallMs() - 5 * 3600 * 1000));
  }
  TransferOutcome transfer(const std::string& prefix) {
    const auto bridge = makeClientBridge(app_.ctx.settings);
    return sendToRunningClient(FiveServers(prefix), app_.ctx, view_, store_, *bridge);
  }

  static inline test::AmulePeer* peer_ = nullptr;
  test::TestApp app_;
  app::TransferTimeFile store_{app_.dir.file(app::TransferTimeFile::kFileName)};
  test::RecordingTransferView view_;
};

TEST_F(AmuleHandover, TheLinksFileDeliversExactlyTheCheckedServers) {
  const TransferOutcome outcome = transfer("10.1.0.");
  ASSERT_TRUE(outcome.completed) << outcome.cause;
  EXPECT_EQ(view_.bar.steps, 5);
  EXPECT_EQ(peer_->servers("10.1.0.", 3), Checked("10.1.0."));
}

TEST_F(AmuleHandover, TheExternalConnectionDeliversThemWithoutShowingThePassword) {
  app_.ctx.settings.EDGUI = false;
  const std::string digest = app_.ctx.settings.ECPassword;
  app::storeSettings(app_.ctx.settings, app_.dir.file("ravelin.ini"));
  const std::string tmp = app_.dir.file("tmp");
  fs::create_directories(tmp);
  ::setenv("TMPDIR", tmp.c_str(), 1);
  // While amulecmd connects, look at its settings file and at every command line.
  bool sawPrivateFile = false, secretShown = false;
  app_.ui.onPump = [&] {
    for (const auto& dir : fs::directory_iterator(tmp)) {
      struct stat file {
      }, home{};
      if (::stat((dir.path() / ".aMule/ec.conf").c_str(), &file) == 0 &&
          ::stat(dir.path().c_str(), &home) == 0)
        sawPrivateFile |= (file.st_mode & 0777) == 0600 && (home.st_mode & 0777) == 0700;
    }
    secretShown |= AnyCommandLineHolds({digest, test::AmulePeer::kPassword});
  };
  const TransferOutcome outcome = transfer("10.2.0.");
  ::unsetenv("TMPDIR");
  ASSERT_TRUE(outcome.completed) << outcome.cause;
  EXPECT_EQ(peer_->servers("10.2.0.", 3), Checked("10.2.0."));
  EXPECT_TRUE(sawPrivateFile);
  EXPECT_FALSE(secretShown);
  EXPECT_TRUE(fs::is_empty(tmp));
  // Only ravelin.ini holds the digest; the log and the time record do not.
  for (const auto& file : fs::recursive_directory_iterator(app_.dir.path())) {
    if (!file.is_regular_file()) continue;
    const std::string text = test::ReadFile(file.path().string());
    EXPECT_EQ(text.find(digest) != std::string::npos, file.path().filename() == "ravelin.ini");
    EXPECT_EQ(text.find(test::AmulePeer::kPassword), std::string::npos);
  }

  // A wrong password is the unreachable client: nothing sent, nothing recorded.
  store_.write(transferTimeValue(app_.manualClock.wallMs() - 5 * 3600 * 1000));
  const auto recorded = store_.read();
  app_.ctx.settings.ECPassword = app::ecPasswordDigest("not the password");
  const TransferOutcome wrong = transfer("10.3.0.");
  EXPECT_EQ(wrong.failure, TransferFailure::ClientUnreachable);
  EXPECT_NE(wrong.cause.find("refused"), std::string::npos) << wrong.cause;
  EXPECT_EQ(store_.read(), recorded);
  EXPECT_TRUE(peer_->servers("10.3.0.", 0).empty());
}

TEST_F(AmuleHandover, AScriptHandsOverItsListAndAConsoleLine) {
  fs::create_directories(app_.dir.file("cli"));
  const std::string ini = app_.dir.file("cli/ravelin.ini");
  test::WriteFile(ini, "[general]\nEDGUI=1\nEDWaittime=0\nEDPath=" + peer_->configDir() +
                           "\nECPort=" + std::to_string(peer_->ecPort()) +
                           "\nECPassword=" + app_.ctx.settings.ECPassword + "\n");
  app::TransferTimeFile(app::placesBesideIni(ini).transferFile)
      .write(transferTimeValue(platform::systemClock().wallMs() - 5 * 3600 * 1000));
  const std::string links = app_.dir.file("cli/links.txt");
  test::WriteFile(links, "ed2k://|server|10.4.0.1|4661|/ ed2k://|server|10.4.0.2|4662|/\n");
  const std::string script = app_.dir.file("cli/handover.rvs");
  test::WriteFile(script, "RefreshCustomHTML[" + links +
                              "]\nSaveRunningEDonkey\nSendToEDonkeyConsole[n 192.0.2.7 4661]\n");
  const test::CliResult result = test::runCli({"--verbose", "--ini", ini, "run", script}, app_.dir);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(peer_->servers("10.4.0.", 2),
            (std::vector<std::string>{"10.4.0.1:4661", "10.4.0.2:4662"}));
  // The console line arrives as a link (which aMule drops, as every 192.0.2.0/24 server).
  bool arrived = false;
  for (int i = 0; i < 300 && !arrived;
       ++i, std::this_thread::sleep_for(std::chrono::milliseconds(100)))
    arrived = peer_->command("show log").find("adding link 'ed2k://|server|192.0.2.7|4661|/'") !=
              std::string::npos;
  EXPECT_TRUE(arrived) << result.err;
}

}  // namespace

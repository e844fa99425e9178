#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "client/client_bridge.h"
#include "client/close_countdown.h"
#include "client/launch.h"
#include "platform/process.h"
#include "serverlist/server_list.h"
#include "support/child_process.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;
using namespace ravelin::client;

namespace fs = std::filesystem;

namespace {

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
  return s;
}

void WriteExecutable(const std::string& path, const std::string& text) {
  test::WriteFile(path, text);
  fs::permissions(path, fs::perms::owner_all);
}

// Waits (bounded) until the file exists and holds a complete line.
std::string WaitForFile(const std::string& path) {
  for (int i = 0; i < 200; ++i) {
    const std::string text = test::ReadFile(path);
    if (!text.empty() && text.back() == '\n') return text;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return {};
}

}  // namespace

TEST(ProcessControl, FindsARunningExecutableByItsWholePathIgnoringCase) {
  test::TempDir dir;
  fs::create_directories(dir.path() / "other");
  const std::string exe = dir.file("EdClient.bin");
  EXPECT_FALSE(platform::isProcessRunning(exe));
  test::RunningCopy copy(exe);
  ASSERT_TRUE(copy.started());
  EXPECT_TRUE(platform::isProcessRunning(exe));
  EXPECT_TRUE(platform::isProcessRunning(Upper(exe)));
  EXPECT_TRUE(platform::isProcessRunning(dir.file("other/../EdClient.bin")));
  // The same name in another directory is another program.
  EXPECT_FALSE(platform::isProcessRunning(dir.file("other/EdClient.bin")));
  EXPECT_FALSE(platform::isProcessRunning("EdClient.bin"));
  EXPECT_FALSE(platform::isProcessRunning(""));
  const auto all = platform::runningExecutables();
  EXPECT_NE(std::find(all.begin(), all.end(), fs::canonical(exe).string()), all.end());
}

TEST(ProcessControl, StartEDonkeyStartsTheClientWithoutWaitingAndLogs) {
  test::TestApp app;
  app.ctx.settings.EDPath = app.dir.path().string();
  app.ctx.settings.EDFilename = "client.sh";
  const std::string marker = app.dir.file("started.txt");
  // The program keeps running after it wrote its mark; the start must not wait for it.
  WriteExecutable(app.dir.file("client.sh"), "#!/bin/sh\necho \"$0\" > '" + marker + ".tmp'\nmv '" +
                                                 marker + ".tmp' '" + marker + "'\nsleep 2\n");
  const auto before = std::chrono::steady_clock::now();
  EXPECT_TRUE(client::startEDonkey(app.ctx));
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
  EXPECT_EQ(WaitForFile(marker), app.dir.file("client.sh") + "\n");
  EXPECT_EQ(app.logLines(), std::vector<std::string>{"EDonkey2000 started with <" +
                                                     app.dir.file("client.sh") + ">"});
}

TEST(ProcessControl, StartEDonkeyWithoutTheClientDoesNothing) {
  test::TestApp app;
  app.ctx.settings.EDPath = app.dir.path().string() + "/";
  app.ctx.settings.EDFilename = "gdonkey.exe";
  EXPECT_FALSE(client::startEDonkey(app.ctx));
  // A file that is no program is not started either, and not logged as started.
  test::WriteFile(app.dir.file("gdonkey.exe"), "not a program");
  fs::permissions(app.dir.file("gdonkey.exe"), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_FALSE(client::startEDonkey(app.ctx));
  EXPECT_TRUE(app.logLines().empty());
  EXPECT_TRUE(app.prompter.shown.empty());
}

TEST(ProcessControl, StartFileHandsTheFileToTheDesktopOpener) {
  test::TestApp app;
  const std::string bin = app.dir.file("bin");
  fs::create_directories(bin);
  const std::string marker = app.dir.file("opened.txt");
  // The desktop's opener, standing in for xdg-open: it records what it was asked to open.
  WriteExecutable(bin + "/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" > '" + marker +
                                         ".tmp'\nmv '" + marker + ".tmp' '" + marker + "'\n");
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  ::setenv("PATH", (bin + ":" + oldPath).c_str(), 1);
  const std::string doc = app.dir.file("a list.html");
  test::WriteFile(doc, "<html></html>");
  EXPECT_TRUE(client::startFile(doc, app.ctx));
  EXPECT_FALSE(client::startFile(app.dir.file("missing.html"), app.ctx));
  EXPECT_FALSE(client::startFile(app.dir.path().string(), app.ctx));  // a folder is no file
  ::setenv("PATH", oldPath.c_str(), 1);
  EXPECT_EQ(WaitForFile(marker), doc + "\n");
  EXPECT_EQ(app.logLines(), std::vector<std::string>{"<" + doc + "> executed"});
}

TEST(ProcessControl, SpawnReportsProgramsThatCannotStart) {
  EXPECT_FALSE(platform::spawnDetached("/nonexistent/program", {}, false));
  EXPECT_FALSE(platform::spawnDetached("ravelin-no-such-program-xyz", {}, true));
  EXPECT_TRUE(platform::spawnDetached("true", {}, true));
}

namespace {
class RecordingCountdown : public client::CountdownView {
 public:
  std::vector<int> shown;
  int cancelAt = -1;  // Cancel is pressed once this second is shown
  bool wasClosed = false;
  void showSeconds(int s) override { shown.push_back(s); }
  bool cancelled() override { return cancelAt >= 0 && shown.back() <= cancelAt; }
  void closed() override { wasClosed = true; }
};
}  // namespace

TEST(CloseCountdown, CountsDownFiveSecondsThenConfirms) {
  test::TestApp app;
  app.useManualClock();
  RecordingCountdown view;
  EXPECT_TRUE(client::runCloseCountdown(view, app.ctx));
  EXPECT_EQ(app.manualClock.ticks(), 5000u);
  EXPECT_EQ(view.shown, (std::vector<int>{5, 4, 3, 2, 1, 0}));
  EXPECT_TRUE(view.wasClosed);
  EXPECT_TRUE(app.ctx.state.closeConfirmed);
  EXPECT_GE(app.ui.pumps, 5);
  EXPECT_EQ(app.logLines(), std::vector<std::string>{"Closing Ravelin"});
}

TEST(CloseCountdown, CancelLeavesTheProgramRunning) {
  test::TestApp app;
  app.useManualClock();
  RecordingCountdown view;
  view.cancelAt = 4;
  EXPECT_FALSE(client::runCloseCountdown(view, app.ctx));
  EXPECT_EQ(view.shown, (std::vector<int>{5, 4}));
  EXPECT_EQ(app.manualClock.ticks(), 1000u);
  EXPECT_TRUE(view.wasClosed);
  EXPECT_FALSE(app.ctx.state.closeConfirmed);
  EXPECT_TRUE(app.logLines().empty());

  // Shutting the program down ends the countdown the same way.
  RecordingCountdown quiet;
  app.ui.quit = true;
  EXPECT_FALSE(client::runCloseCountdown(quiet, app.ctx));
  EXPECT_FALSE(app.ctx.state.closeConfirmed);
}

#include "app/version_check.h"

#include <gtest/gtest.h>

#include "cli/cli_runner.h"
#include "support/peer_process.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::app;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

namespace {

// The window as a list of what it was told.
class RecordingCheckView : public VersionCheckView {
 public:
  std::vector<std::string> headlines;
  std::vector<int> progress;
  int shown = 0, closed = 0;
  void show() override { ++shown; }
  void close() override { ++closed; }
  void setMainWindowEnabled(bool) override {}
  void setHeadline(const std::string& text) override { headlines.push_back(text); }
  void setDescription(const std::string&) override {}
  void setProgress(int percent) override { progress.push_back(percent); }
};

// update.ini variants served from a folder by the loopback HTTP server.
class VersionCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app.useManualClock();
    std::filesystem::create_directory(files.path() / "www");
    const auto put = [&](const std::string& name, const std::string& text) {
      WriteFile(files.file("www/" + name), text);
    };
    put("newer.ini", "[data]\r\nversion=13\r\nurlvers=14\r\n");
    put("same.ini", "[data]\nversion=13\nurlvers=13\n");
    put("empty.ini", "");
    put("nodata.ini", "[general]\nversion=99\nurlvers=99\n");
    put("site.ini", "[data]\nversion=14\nurl=https://127.0.0.1:1/download\n");
    put("local.ini", "[data]\nversion=14\nurl=file:///etc/passwd\n");
    server = std::make_unique<test::OddHttpServer>(
        test::OddHttpServer::Options{files.file("requests.log"), "", files.file("www"), "", ""});
  }
  std::string url(const std::string& name) { return server->url("/file/" + name); }
  VersionCheckResult run(const std::string& updateInfoUrl) {
    app.ctx.settings.UpdateInfoURL = updateInfoUrl;
    VersionCheck check(app.ctx, view);
    check.openUrl = [this](const std::string& u) {
      opened.push_back(u);
      return true;
    };
    return check.run();
  }

  test::TestApp app;
  TempDir files;
  std::unique_ptr<test::OddHttpServer> server;
  RecordingCheckView view;
  std::vector<std::string> opened;
};

TEST_F(VersionCheckTest, OutcomesOfTheUpdateInformation) {
  const std::string host = "127.0.0.1:" + std::to_string(server->port());
  struct Case {
    std::string file;
    VersionCheckOutcome outcome;
    std::string opens;  // after Yes
  };
  const std::vector<Case> cases = {
      {"newer.ini", VersionCheckOutcome::Newer, "http://" + host + "/"},
      {"same.ini", VersionCheckOutcome::NothingNewer, ""},
      {"empty.ini", VersionCheckOutcome::NothingNewer, ""},
      {"nodata.ini", VersionCheckOutcome::NothingNewer, ""},
      {"site.ini", VersionCheckOutcome::Newer, "https://127.0.0.1:1/download"},
      // Only web addresses are handed to the browser.
      {"local.ini", VersionCheckOutcome::Newer, "http://" + host + "/"},
      {"missing.ini", VersionCheckOutcome::DownloadFailed, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    app.prompter.shown.clear();
    opened.clear();
    view = RecordingCheckView();
    const VersionCheckResult r = run(url(c.file));
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(view.shown, 1);
    EXPECT_EQ(view.closed, 1);
    EXPECT_FALSE(app.ctx.state.operationDone);
    ASSERT_FALSE(view.headlines.empty());
    EXPECT_EQ(view.headlines.front(), "Connecting to 127.0.0.1...");
    ASSERT_EQ(app.prompter.shown.size(), 1u);
    const test::PromptRecord& box = app.prompter.shown.front();
    if (c.outcome == VersionCheckOutcome::DownloadFailed) {
      EXPECT_EQ(box.title, "Warning");
      EXPECT_EQ(box.text, "Server doesn't respond or no connection to the internet!");
      EXPECT_EQ(box.icon, MsgIcon::Error);
      EXPECT_EQ(view.progress, (std::vector<int>{40, 60}));
      continue;
    }
    EXPECT_EQ(view.progress, (std::vector<int>{40, 60, 80}));
    EXPECT_EQ(view.headlines.back(), "Checking for new version...");
    EXPECT_EQ(box.title, "Info");
    EXPECT_EQ(box.icon, MsgIcon::Information);
    if (c.outcome == VersionCheckOutcome::NothingNewer) {
      EXPECT_EQ(box.text, "There is no new version of Ravelin!");
      EXPECT_TRUE(opened.empty());
    } else {
      EXPECT_EQ(box.text,
                "There is a new version of Ravelin or new URLs for the updater!\r\n"
                "Do you want to open the Ravelin website?");
      EXPECT_EQ(box.buttons, MsgButtons::YesNo);
      EXPECT_EQ(opened, std::vector<std::string>{c.opens});
      EXPECT_EQ(
          r.line(),
          "There is a new version of Ravelin or new URLs for the updater! Website: " + c.opens);
    }
  }
  // No opens nothing.
  opened.clear();
  app.prompter.answers = {MsgResult::No};
  EXPECT_EQ(run(url("newer.ini")).outcome, VersionCheckOutcome::Newer);
  EXPECT_TRUE(opened.empty());
}

TEST_F(VersionCheckTest, NoAddressSilentServerAndCancel) {
  // Without an address: an info box naming the key, no window, no download.
  EXPECT_EQ(run("").outcome, VersionCheckOutcome::NotConfigured);
  EXPECT_EQ(view.shown, 0);
  ASSERT_EQ(app.prompter.shown.size(), 1u);
  EXPECT_NE(app.prompter.shown[0].text.find("UpdateInfoURL"), std::string::npos);
  EXPECT_TRUE(server->requests().empty());

  // A server that never answers: the update time-out passes on the clock as the user
  // interface is served.
  app.ctx.settings.UpdTimeout = 5;
  app.ui.onPump = [this] { app.manualClock.advance(500); };
  const std::uint32_t start = app.manualClock.ticks();
  EXPECT_EQ(run(server->url("/silent")).outcome, VersionCheckOutcome::DownloadFailed);
  EXPECT_GE(app.manualClock.ticks() - start, 5000u);
  EXPECT_EQ(app.prompter.shown.back().title, "Warning");

  // Cancel while the silent server keeps the request open: no box at all.
  app.prompter.shown.clear();
  app.ui.onPump = [this] {
    if (!view.progress.empty() && view.progress.back() == 60) view.cancel();
  };
  EXPECT_EQ(run(server->url("/silent")).outcome, VersionCheckOutcome::Cancelled);
  EXPECT_TRUE(app.prompter.shown.empty());
}

TEST_F(VersionCheckTest, RavelinCliCheckVersion) {
  const auto checkWith = [&](const std::string& address) {
    const std::string ini = files.file("ravelin.ini");
    WriteFile(ini, "[general]\nUpdateInfoURL=" + address + "\n");
    return test::runCli({"--ini", ini, "check-version"}, files);
  };
  test::CliResult r = checkWith(url("newer.ini"));
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(
      r.out,
      "There is a new version of Ravelin or new URLs for the updater! Website: http://127.0.0.1:" +
          std::to_string(server->port()) + "/\n");
  r = checkWith(url("same.ini"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "There is no new version of Ravelin!\n");
  r = checkWith(server->url("/404"));
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("Server doesn't respond or no connection to the internet!"),
            std::string::npos);
  r = checkWith("");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("UpdateInfoURL"), std::string::npos);
}

}  // namespace

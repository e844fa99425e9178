#include "app/version_check.h"

#include <gtest/gtest.h>

#include "cli/cli_runner.h"
#include "support/peer_process.h"

using namespace ravelin::app;

namespace {

class RecordingCheckView : public VersionCheckView {
 public:
  std::vector<std::string> headlines;
  std::vector<int> progress;
  void show() override {}
  void close() override {}
  void setMainWindowEnabled(bool) override {}
  void setHeadline(const std::string& text) override { headlines.push_back(text); }
  void setDescription(const std::string&) override {}
  void setProgress(int percent) override { progress.push_back(percent); }
};

// update.ini variants served by the loopback HTTP server; time passes on a manual clock.
class VersionCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app.useManualClock();
    std::filesystem::create_directory(files.path() / "www");
    for (const auto& [name, text] : std::vector<std::pair<std::string, std::string>>{
             {"newer.ini", "[data]\r\nversion=13\r\nurlvers=14\r\n"},
             {"same.ini", "[data]\nversion=13\nurlvers=13\n"},
             {"empty.ini", ""},
             {"nodata.ini", "[general]\nversion=99\n"},
             {"site.ini", "[data]\nversion=14\nurl=https://127.0.0.1:1/download\n"},
             {"local.ini", "[data]\nversion=14\nurl=file:///etc/passwd\n"}})
      test::WriteFile(files.file("www/" + name), text);
    server = std::make_unique<test::OddHttpServer>(
        test::OddHttpServer::Options{"", "", files.file("www"), "", ""});
    home = "http://127.0.0.1:" + std::to_string(server->port()) + "/";
  }
  VersionCheckResult run(const std::string& updateInfoUrl) {
    app.prompter.shown.clear();
    opened.clear();
    view = RecordingCheckView();
    app.ctx.settings.UpdateInfoURL = updateInfoUrl;
    VersionCheck check(app.ctx, view);
    check.openUrl = [this](const std::string& u) { return opened.push_back(u), true; };
    return check.run();
  }
  std::string box() const {
    return app.prompter.shown.at(0).title + ": " + app.prompter.shown.at(0).text;
  }

  test::TestApp app;
  test::TempDir files;
  std::unique_ptr<test::OddHttpServer> server;
  std::string home;
  RecordingCheckView view;
  std::vector<std::string> opened;
};

TEST_F(VersionCheckTest, OutcomesOfTheUpdateInformation) {
  const std::string newer =
      "Info: There is a new version of Ravelin or new URLs for the updater!\r\n"
      "Do you want to open the Ravelin website?";
  const std::string same = "Info: There is no new version of Ravelin!";
  const std::string failed = "Warning: Server doesn't respond or no connection to the internet!";
  struct Case {
    std::string file, box, opens;
  };
  for (const Case& c : std::vector<Case>{{"newer.ini", newer, home},
                                         {"same.ini", same, ""},
                                         {"empty.ini", same, ""},
                                         {"nodata.ini", same, ""},
                                         {"site.ini", newer, "https://127.0.0.1:1/download"},
                                         {"local.ini", newer, home},  // web addresses only
                                         {"missing.ini", failed, ""}}) {
    SCOPED_TRACE(c.file);
    run(server->url("/file/" + c.file));
    ASSERT_EQ(app.prompter.shown.size(), 1u);
    EXPECT_EQ(box(), c.box);
    EXPECT_EQ(opened, c.opens.empty() ? std::vector<std::string>{} : std::vector{c.opens});
    EXPECT_EQ(view.headlines.front(), "Connecting to 127.0.0.1...");
  }
  app.prompter.answers = {MsgResult::No};
  EXPECT_EQ(run(server->url("/file/newer.ini")).outcome, VersionCheckOutcome::Newer);
  EXPECT_TRUE(opened.empty());
}

TEST_F(VersionCheckTest, NoAddressSilentServerAndCancel) {
  EXPECT_EQ(run("").outcome, VersionCheckOutcome::NotConfigured);
  EXPECT_NE(box().find("UpdateInfoURL"), std::string::npos);

  // The update time-out passes on the clock while the user interface is served.
  app.ctx.settings.UpdTimeout = 5;
  app.ui.onPump = [this] { app.manualClock.advance(500); };
  const std::uint32_t start = app.manualClock.ticks();
  EXPECT_EQ(run(server->url("/silent")).outcome, VersionCheckOutcome::DownloadFailed);
  EXPECT_GE(app.manualClock.ticks() - start, 5000u);

  app.ui.onPump = [this] {
    if (view.progress.size() == 2) view.cancel();
  };
  EXPECT_EQ(run(server->url("/silent")).outcome, VersionCheckOutcome::Cancelled);
  EXPECT_TRUE(app.prompter.shown.empty());
}

TEST_F(VersionCheckTest, RavelinCliCheckVersion) {
  const auto check = [&](const std::string& address) {
    test::WriteFile(files.file("ravelin.ini"), "[general]\nUpdateInfoURL=" + address + "\n");
    test::CliResult r = test::runCli({"--ini", files.file("ravelin.ini"), "check-version"}, files);
    return std::to_string(r.status) + " " + r.out + r.err;
  };
  EXPECT_EQ(
      check(server->url("/file/newer.ini")),
      "4 There is a new version of Ravelin or new URLs for the updater! Website: " + home + "\n");
  EXPECT_EQ(check(server->url("/file/same.ini")), "0 There is no new version of Ravelin!\n");
  EXPECT_EQ(check(server->url("/404")),
            "3 Server doesn't respond or no connection to the internet!\n");
  EXPECT_EQ(check(""), std::string("2 ") + kNoUpdateInfoText + "\n");
}

}  // namespace

#include <gtest/gtest.h>

#include <QAction>
#include <QTimer>

#include "gui_test_support.h"
#include "support/peer_process.h"

using namespace ravelin;
using namespace ravelin::qt;
using namespace test::gui;

namespace {

// "&Check for updates" against a loopback server; the window's one-second pause passes on
// a manual clock that a timer moves on.
class VersionCheckWindowTest : public ::testing::Test, public MainWindowFixture {};

TEST_F(VersionCheckWindowTest, NewerVersionYesOpensTheSite) {
  platform::ManualClock clock;
  ctx.clock = &clock;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] { clock.advance(100); });
  ticker.start(0);
  test::TempDir www;
  test::WriteFile(www.file("update.ini"), "[data]\nversion=13\nurlvers=14\n");
  test::OddHttpServer server({"", "", www.path().string(), "", ""});
  ctx.settings.UpdateInfoURL = server.url("/file/update.ini");
  VersionCheckWindow* w = window->versionCheckWindow();
  std::vector<std::string> opened;
  window->openUrl = [&](const std::string& url) { return opened.push_back(url), true; };

  window->action(MainWindow::cmdCheckForUpdates)->trigger();
  EXPECT_EQ(w->label()->text(), QStringLiteral("Checking for new version..."));
  EXPECT_EQ(opened, std::vector<std::string>{server.url("/")});
  EXPECT_FALSE(w->isVisible());
  EXPECT_TRUE(window->centralWidget()->isEnabled());
  ctx.clock = &platform::systemClock();
}

// Closing the program cancels the check as Cancel does: no box about a failed download.
TEST_F(VersionCheckWindowTest, ClosingTheProgramDuringTheCheckShowsNothing) {
  FastClock time{ctx};
  test::OddHttpServer server({"", "", "", "", ""});
  ctx.settings.UpdateInfoURL = server.url("/silent");
  ctx.settings.UpdTimeout = 60;
  onceWhen([&] { return window->versionCheckWindow()->isVisible(); }, [&] { window->close(); });
  window->action(MainWindow::cmdCheckForUpdates)->trigger();
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_FALSE(window->isVisible());
}

}  // namespace

#include <gtest/gtest.h>

#include <QAction>
#include <QTimer>

#include "gui_test_support.h"
#include "support/peer_process.h"

using namespace ravelin;
using namespace ravelin::gui;
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

}  // namespace

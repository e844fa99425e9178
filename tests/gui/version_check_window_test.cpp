#include <gtest/gtest.h>

#include <QAction>
#include <QTimer>

#include "gui_test_support.h"
#include "support/peer_process.h"

using namespace ravelin;
using namespace ravelin::gui;
using namespace test::gui;

namespace {

// Looks at the windows whenever a message box comes up.
class PeekingPrompter : public test::ScriptedPrompter {
 public:
  std::function<void()> onMessage;
  runtime::MsgResult message(const std::string& title, const std::string& text,
                             runtime::MsgIcon icon, runtime::MsgButtons buttons) override {
    if (onMessage) onMessage();
    return ScriptedPrompter::message(title, text, icon, buttons);
  }
};

// "&Check for updates" against a loopback server; the one-second pause of the window
// passes on a manual clock that a timer moves on.
class VersionCheckWindowTest : public ::testing::Test, public MainWindowFixture {
 protected:
  platform::ManualClock clock;
  QTimer ticker;
  VersionCheckWindowTest() {
    ctx.clock = &clock;
    QObject::connect(&ticker, &QTimer::timeout, [this] { clock.advance(100); });
    ticker.start(0);
  }
};

TEST_F(VersionCheckWindowTest, NewerVersionYesOpensTheSite) {
  test::TempDir www;
  test::WriteFile(www.file("update.ini"), "[data]\nversion=13\nurlvers=14\n");
  test::OddHttpServer server({dir.file("requests.log"), "", www.path().string(), "", ""});
  ctx.settings.UpdateInfoURL = server.url("/file/update.ini");
  PeekingPrompter peek;
  ctx.prompter = &peek;
  VersionCheckWindow* w = window->versionCheckWindow();
  QString label;
  int bar = -1;
  bool visible = false, mainEnabled = true;
  peek.onMessage = [&] {
    label = w->label()->text();
    bar = w->bar()->value();
    visible = w->isVisible();
    mainEnabled = window->centralWidget()->isEnabled();
  };
  std::vector<std::string> opened;
  window->openUrl = [&](const std::string& url) {
    opened.push_back(url);
    return true;
  };

  QAction* item = window->action(MainWindow::cmdCheckForUpdates);
  ASSERT_TRUE(item->isEnabled());
  item->trigger();
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Ravelin: Checking for updates"));
  EXPECT_EQ(label, QStringLiteral("Checking for new version..."));
  EXPECT_EQ(bar, 80);
  EXPECT_TRUE(visible);
  EXPECT_FALSE(mainEnabled);
  ASSERT_EQ(peek.shown.size(), 1u);
  EXPECT_EQ(peek.shown[0].buttons, runtime::MsgButtons::YesNo);
  EXPECT_EQ(opened,
            std::vector<std::string>{"http://127.0.0.1:" + std::to_string(server.port()) + "/"});
  EXPECT_FALSE(w->isVisible());
  EXPECT_TRUE(window->centralWidget()->isEnabled());
  ctx.prompter = &prompter;
}

}  // namespace

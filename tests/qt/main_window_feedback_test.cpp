#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QScreen>
#include <QTest>

#include "app/window_state.h"
#include "gui_test_support.h"
#include "peers/loopback_peers.h"
#include "serverlist/met_file.h"
#include "serverlist/server_sort.h"

using namespace ravelin;
using namespace ravelin::serverlist;
using namespace test::gui;
using Window = ravelin::qt::MainWindow;

namespace {

class MainWindowFeedback : public ::testing::Test, public MainWindowFixture {
 protected:
  std::string message() const { return window->messageLabel()->text().toStdString(); }
};

// The keys work on the list after every command, without a click; a failed save says where
// and why (box, log, status bar); an empty file is reported as damaged.
TEST_F(MainWindowFeedback, CommandsGiveBackTheKeyboardAndSayWhatFailed) {
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QGuiApplication::clipboard()->setText("ed2k://|server|1.2.3.4|4661|/ ed2k://|server|5.6.7.8|1|/");
  for (const QKeySequence& key :
       {QKeySequence("Ctrl+V"), QKeySequence("Ctrl+S"), QKeySequence("F5")}) {
    QTest::keySequence(window.get(), key);
    EXPECT_EQ(QApplication::focusWidget(), window->serverView()) << key.toString().toStdString();
  }
  list.select(0);
  window->serverView()->showListSelection();
  prompter.answers = {MsgResult::Yes};
  QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Delete);  // to the focus widget
  EXPECT_EQ(list.size(), 1u);

  const std::string target = dir.file("gone") + "/server.met";
  ctx.settings.EDPath = dir.file("gone") + "/";
  QTest::mouseClick(window->toolButton(Window::tbSave), Qt::LeftButton);
  EXPECT_EQ(QApplication::focusWidget(), window->serverView());
  const std::string reason = target + ": No such file or directory";
  EXPECT_EQ(prompter.shown.back().text, std::string(kMetSaveErrorText) + "\r\n" + reason);
  EXPECT_EQ(logLines().back(),
            "Saving <1> servers to <" + target + "> failed: No such file or directory");
  EXPECT_EQ(message(), "Saving to " + target + " failed");

  ctx.settings.EDPath = dir.path().string() + "/";
  test::WriteFile(dir.file("server.met"), "");
  window->action(Window::cmdRefreshStandard)->trigger();
  EXPECT_EQ(message(), dir.file("server.met") + " is damaged or unreadable: 0 servers added");
}

// Under the header's arrow the rows are in its order: a kept sort applies when the window
// opens, added rows go to their places, a row moved by hand takes the arrow away. A kept
// size too large for the screen is fitted to it.
TEST_F(MainWindowFeedback, RowsUnderTheArrowAreInItsOrderAndTheWindowFits) {
  for (const char* ip : {"9.0.0.1", "1.0.0.1", "5.0.0.1"}) list.append(server(ip, "4661"), true);
  app::WindowState kept;
  kept.sortColumn = fIP;
  kept.geometry = app::WindowState::Geometry{40, 30, 5000, 4000};
  app::storeWindowState(kept, session->iniPath());
  window.reset();
  window = std::make_unique<Window>(list, *session, ui);
  EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(window->geometry()));
  EXPECT_EQ(column(fIP), (std::vector<std::string>{"1.0.0.1", "5.0.0.1", "9.0.0.1"}));
  QGuiApplication::clipboard()->setText("ed2k://|server|3.0.0.1|4661|/ ed2k://|server|7.0.0.1|1|/");
  window->action(Window::cmdPaste)->trigger();
  EXPECT_EQ(column(fIP),
            (std::vector<std::string>{"1.0.0.1", "3.0.0.1", "5.0.0.1", "7.0.0.1", "9.0.0.1"}));

  moveServer(list, 0, std::nullopt);
  window->serverView()->showSortIndicator();
  EXPECT_FALSE(window->serverView()->header()->isSortIndicatorShown());
  writeMetFile(dir.file("server.met"), {server("2.0.0.1", "4661")});
  window->action(Window::cmdRefreshStandard)->trigger();
  EXPECT_EQ(column(fIP).back(), "2.0.0.1");
}

TEST_F(MainWindowFeedback, ACancelledVerificationIsLoggedAndShown) {
  FastClock time{ctx};
  test::LoopbackListener silent(false, 0);
  ASSERT_LT(silent.fillAcceptQueue(), 64);
  list.append(server("127.0.0.1", std::to_string(silent.port())), true);
  ctx.settings.VrfWarning = false;
  onceWhen([&] { return window->verifyWindow()->isVisible(); },
           [&] { window->verifyWindow()->cancel(); });
  window->action(Window::cmdVerifyChecked)->trigger();
  EXPECT_EQ(logLines().back(), "Verification cancelled");
  EXPECT_EQ(message(), "Verification cancelled");
}

}  // namespace

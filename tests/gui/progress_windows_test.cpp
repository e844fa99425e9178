// The update, verify and transfer windows as the main window's commands run them, with
// real peers on loopback: an HTTP server for the update, listeners that accept, refuse and
// stay silent for the verification. Pauses and time-outs run on a fast manual clock.
#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>

#include "gui_test_support.h"
#include "peers/loopback_peers.h"
#include "support/peer_process.h"
#include "support/update_bodies.h"

using namespace ravelin;
using namespace ravelin::gui;
using namespace ravelin::serverlist;
using namespace test::gui;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

namespace {

class ProgressWindowsTest : public ::testing::Test, public MainWindowFixture {
 protected:
  FastClock time{ctx};
  bool inputEnabled() const { return window->toolButton(MainWindow::tbUpdate)->isEnabled(); }
  // Whether the main window took no input at some moment while the window was shown.
  void watchLock(QWidget* w) {
    onceWhen([this, w] { return w->isVisible(); }, [this] { lockedWhileShown = !inputEnabled(); });
  }
  bool lockedWhileShown = false;
};

class UpdateWindowTest : public ProgressWindowsTest {
 protected:
  TempDir files;
  test::OddHttpServer http{{files.file("requests.log"), "", files.path().string(), "", ""}};
  UpdateWindow* w() { return window->updateWindow(); }
  runtime::UrlSource url(const std::string& path) { return test::Source("MET|" + http.url(path)); }
};

TEST_F(UpdateWindowTest, RunsToTheEnd) {
  WriteFile(files.file("a.met"),
            test::MetBody(2, test::MetEntry(1, 2, 3, 4, 4661, "A", "a", 5) +
                                 test::MetEntry(5, 6, 7, 8, 4242, "B", "b", 7)));
  WriteFile(files.file("b.met"), test::MetBody(1, test::MetEntry(1, 2, 3, 4, 4661, "A2", "", 9)));
  list.append(server("9.9.9.9", "4661"), false);
  ctx.settings.URLs = {url("/file/a.met"), url("/file/b.met")};
  ctx.settings.UpdThreadCount = 2;
  watchLock(w());
  bool bothSlots = false;
  onceWhen([&] { return w()->slotFrame(1)->title().startsWith("Checking http://127.0.0.1"); },
           [&] { bothSlots = w()->slotFrame(0)->title().startsWith("Checking "); });
  window->action(MainWindow::cmdUpdateAll)->trigger();

  EXPECT_TRUE(lockedWhileShown);
  EXPECT_TRUE(bothSlots);
  EXPECT_FALSE(w()->isVisible());
  EXPECT_TRUE(inputEnabled());
  EXPECT_EQ(column(0), (std::vector<std::string>{"9.9.9.9", "1.2.3.4", "5.6.7.8"}));
  EXPECT_EQ(column(2), (std::vector<std::string>{"n/a", "A", "B"}));
  EXPECT_EQ(list.checkedCount(), 2u);
  EXPECT_EQ(w()->headlineLabel()->text(), "Adding servers to list...");
  EXPECT_EQ(w()->descriptionLabel()->text(), "3 IPs found!");
  EXPECT_EQ(w()->bar()->value(), 2);
  EXPECT_EQ(w()->bar()->maximum(), 2);
  for (int slot = 0; slot < 2; ++slot) {
    EXPECT_EQ(w()->slotFrame(slot)->title(), QStringLiteral("Thread %1:").arg(slot + 1));
    EXPECT_EQ(w()->slotLabel(slot)->text(), "< Thread not used >");
  }
  // The first run closes the details pane; the next opens it again.
  EXPECT_EQ(w()->detailsButton()->text(), "&Details >>");
  EXPECT_EQ(w()->height(), 138);
  const std::vector<std::string> log = logLines();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[log.size() - 4], "Updating from 2 URLs");
  EXPECT_EQ(log.back(), "Updated successfully and found <2> unique IPs");
  ctx.settings.URLs.clear();
  window->action(MainWindow::cmdUpdateAll)->trigger();
  EXPECT_EQ(w()->detailsButton()->text(), "&Details <<");
  EXPECT_EQ(w()->height(), 552);
  EXPECT_EQ(w()->headlineLabel()->text(), "Adding servers to list...");
}

TEST_F(UpdateWindowTest, CancelInTheMiddle) {
  WriteFile(files.file("a.met"), test::MetBody(1, test::MetEntry(1, 2, 3, 4, 4661, "A", "a", 5)));
  list.append(server("9.9.9.9", "4661"), true);
  ctx.settings.URLs = {url("/file/a.met"), url("/silent"), url("/file/a.met")};
  ctx.settings.UpdThreadCount = 1;
  ctx.settings.UpdTimeout = 60;
  onceWhen(
      [&] {
        return w()->slotFrame(0)->title().contains("/silent") &&
               w()->slotLabel(0)->text() == "Request sent! Waiting for reply...";
      },
      [&] { QTest::mouseClick(w()->cancelButton(), Qt::LeftButton); });
  window->action(MainWindow::cmdUpdateMet)->trigger();

  EXPECT_EQ(w()->headlineLabel()->text(), "Waiting for working threads to close...");
  EXPECT_EQ(column(0), std::vector<std::string>{"9.9.9.9"});
  EXPECT_EQ(ctx.settings.URLs.size(), 3u);
  EXPECT_FALSE(w()->isVisible());
  EXPECT_TRUE(inputEnabled());
  const std::vector<std::string> log = logLines();
  EXPECT_NE(std::find(log.begin(), log.end(), "Updating from 3 URLs"), log.end());
  EXPECT_TRUE(log.back().rfind("Updated from <", 0) == 0) << log.back();
}

class VerifyWindowTest : public ProgressWindowsTest {
 protected:
  VerifyWindow* w() { return window->verifyWindow(); }
  void add(std::uint16_t port, bool checked) {
    list.append(server("127.0.0.1", std::to_string(port)), checked);
  }
  // The colour of the first status line that holds the text, when one does.
  void watchLine(const QString& text, QColor& colour) {
    onceWhen(
        [this, text] {
          for (int s = 0; s < verify::kVerifySlotCount; ++s)
            if (w()->slotLine(s)->text().contains(text)) return true;
          return false;
        },
        [this, text, &colour] {
          for (int s = 0; s < verify::kVerifySlotCount; ++s)
            if (w()->slotLine(s)->text().contains(text))
              colour = w()->slotLine(s)->palette().color(QPalette::Window);
        });
  }
};

TEST_F(VerifyWindowTest, AcceptingRefusingAndSilentToTheEnd) {
  test::LoopbackListener accepting;
  test::LoopbackListener silent(/*accepting=*/false, /*backlog=*/0);
  ASSERT_LT(silent.fillAcceptQueue(), 64);
  add(accepting.port(), true);
  add(test::ClosedLoopbackPort(), true);
  add(silent.port(), true);
  add(accepting.port(), false);
  ctx.settings.VrfThreadCount = 3;
  ctx.settings.VrfTimeout = 5;
  ASSERT_TRUE(ctx.settings.VrfWarning);
  // The warning comes first: its box ticked and Proceed turn it off for good.
  QString warning;
  whenModal([&](QWidget*) {
    warning = window->verifyWarningWindow()->textLabel()->text();
    window->verifyWarningWindow()->checkBox()->setChecked(true);
    QTest::mouseClick(window->verifyWarningWindow()->proceedButton(), Qt::LeftButton);
  });
  QColor accepted, refused, timedOut;
  watchLine("accepted the connection!", accepted);
  watchLine("refused the connection!", refused);
  watchLine("timed out!", timedOut);
  watchLock(w());
  window->action(MainWindow::cmdVerifyChecked)->trigger();

  EXPECT_TRUE(warning.startsWith("It it recommended NOT to use server verification.\n"));
  EXPECT_FALSE(ctx.settings.VrfWarning);
  EXPECT_NE(ReadFile(session->iniPath()).find("VrfWarning=0"), std::string::npos);
  EXPECT_TRUE(lockedWhileShown);
  EXPECT_EQ(accepted, QColor::fromRgb(0x008000));
  EXPECT_EQ(refused, QColor::fromRgb(0xFF0000));
  EXPECT_EQ(timedOut, QColor::fromRgb(0xFF0000));
  const std::vector<bool> marks = {list[0].checked, list[1].checked, list[2].checked,
                                   list[3].checked};
  EXPECT_EQ(marks, (std::vector<bool>{true, false, false, false}));
  EXPECT_EQ(w()->headlineLabel()->text(), "Verifying 4 server IPs...");
  EXPECT_EQ(w()->descriptionLabel()->text(), "(4/4)");
  EXPECT_EQ(w()->bar()->value(), 4);
  for (int s = 0; s < 3; ++s) EXPECT_EQ(w()->slotLine(s)->text(), "< Thread not used >");
  EXPECT_EQ(w()->detailsButton()->text(), "&Details >>");
  EXPECT_EQ(w()->height(), 128);
  EXPECT_FALSE(w()->isVisible());
  EXPECT_TRUE(inputEnabled());
  EXPECT_EQ(logLines().back(), "Verification ended successfully");
  settle();
  EXPECT_EQ(window->statusLabel()->text().toStdString(), statusTextCounting(4, 1));
}

TEST_F(VerifyWindowTest, CancelInTheMiddle) {
  test::LoopbackListener accepting;
  test::LoopbackListener silent(/*accepting=*/false, /*backlog=*/0);
  ASSERT_LT(silent.fillAcceptQueue(), 64);
  add(accepting.port(), true);
  for (int i = 0; i < 4; ++i) add(silent.port(), true);
  add(test::ClosedLoopbackPort(), true);
  ctx.settings.VrfThreadCount = 2;
  ctx.settings.VrfTimeout = 60;
  // Cancel in the warning verifies nothing.
  whenModal([&](QWidget*) {
    QTest::mouseClick(window->verifyWarningWindow()->cancelButton(), Qt::LeftButton);
  });
  window->action(MainWindow::cmdVerifyAll)->trigger();
  EXPECT_EQ(accepting.accepted(), 0);
  EXPECT_TRUE(ctx.settings.VrfWarning);

  ctx.settings.VrfWarning = false;
  onceWhen(
      [&] {
        return w()->slotLine(0)->text().contains("has been contacted") &&
               w()->slotLine(1)->text().contains("has been contacted") &&
               w()->descriptionLabel()->text() == "(1/6)";
      },
      [&] { QTest::keyClick(w(), Qt::Key_Escape); });
  window->action(MainWindow::cmdVerifyChecked)->trigger();

  EXPECT_EQ(w()->headlineLabel()->text(), "Waiting for working threads to close...");
  EXPECT_EQ(list.checkedCount(), 6u);
  EXPECT_EQ(logLines().back(), "Verifying 6 server IPs");
  EXPECT_FALSE(w()->isVisible());
  EXPECT_TRUE(inputEnabled());
}

TEST_F(ProgressWindowsTest, HandOverWaitsOnFirstUseAndClosingCancelsARunningUpdate) {
  // Nothing checked: the hand-over does not start.
  list.append(server("1.2.3.4", "4661"), false);
  window->action(MainWindow::cmdSaveRunning)->trigger();
  EXPECT_TRUE(prompter.shown.empty());
  // The first hand-over records the time and asks to wait; the window closes again.
  list.setChecked(0, true);
  window->action(MainWindow::cmdSaveRunning)->trigger();
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text.rfind(
                client::transferFailureText(client::TransferFailure::Waiting), 0),
            0u);
  EXPECT_FALSE(window->transferWindow()->isVisible());
  EXPECT_TRUE(inputEnabled());

  // Closing the main window while an update waits for a silent server ends the update
  // and then the program.
  TempDir files;
  test::OddHttpServer http{{files.file("requests.log"), "", files.path().string(), "", ""}};
  ctx.settings.URLs = {test::Source("MET|" + http.url("/silent"))};
  ctx.settings.UpdTimeout = 60;
  onceWhen([&] { return window->updateWindow()->slotLabel(0)->text().startsWith("Request sent"); },
           [&] { window->close(); });
  window->action(MainWindow::cmdUpdateAll)->trigger();
  EXPECT_EQ(window->updateWindow()->headlineLabel()->text(),
            "Waiting for working threads to close...");
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(logLines().back(), "Main window and application closed");
}

}  // namespace

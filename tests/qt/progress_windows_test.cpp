// The update, verify and transfer windows as the main window's commands run them, against
// real loopback peers: an HTTP server for the update; listeners that accept, refuse and
// stay silent for the verification. Pauses and time-outs run on a fast manual clock.
#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>

#include "gui_test_support.h"
#include "peers/loopback_peers.h"
#include "support/peer_process.h"
#include "support/update_bodies.h"

using namespace ravelin;
using namespace ravelin::qt;
using namespace test::gui;

namespace {

class ProgressWindowsTest : public ::testing::Test, public MainWindowFixture {
 protected:
  FastClock time{ctx};
  test::TempDir files;
  test::OddHttpServer http{{files.file("requests.log"), "", files.path().string(), "", ""}};
  UpdateWindow* update = window->updateWindow();
  VerifyWindow* verify = window->verifyWindow();
  runtime::UrlSource url(const std::string& path) { return test::Source("MET|" + http.url(path)); }
  bool inputEnabled() const { return window->toolButton(MainWindow::tbUpdate)->isEnabled(); }
  void add(std::uint16_t port, bool checked = true) {
    list.append(server("127.0.0.1", std::to_string(port)), checked);
  }
  // The slot rows of the details pane, also while the pane is hidden.
  int verifyRows() const {
    int rows = 0;
    for (int s = 0; s < verify::kVerifySlotCount; ++s) rows += !verify->slotLine(s)->isHidden();
    return rows;
  }
  int updateRows() const {
    int rows = 0;
    for (int s = 0; s < update::UpdateView::kSlots; ++s) rows += !update->slotFrame(s)->isHidden();
    return rows;
  }
  // Whether a visible label of the main window or one of its windows holds the text.
  bool shows(const char* text) const {
    for (QLabel* label : window->findChildren<QLabel*>())
      if (label->isVisible() && label->text().contains(QLatin1String(text))) return true;
    return false;
  }
  // The colour of a status line that holds the text; invalid while none does.
  QColor lineColour(const char* text) const {
    for (int s = 0; s < verify::kVerifySlotCount; ++s)
      if (verify->slotLine(s)->text().contains(QLatin1String(text)))
        return verify->slotLine(s)->palette().color(QPalette::Window);
    return {};
  }
};

TEST_F(ProgressWindowsTest, UpdateToTheEndAndWithACancel) {
  test::WriteFile(files.file("a.met"),
                  test::MetBody(2, test::MetEntry(1, 2, 3, 4, 4661, "A", "a", 5) +
                                       test::MetEntry(5, 6, 7, 8, 4242, "B", "b", 7)));
  test::WriteFile(files.file("b.met"),
                  test::MetBody(1, test::MetEntry(1, 2, 3, 4, 4661, "A2", "", 9)));
  list.append(server("9.9.9.9", "4661"), false);
  ctx.settings.URLs = {url("/file/a.met"), url("/file/b.met")};
  ctx.settings.UpdThreadCount = 2;
  bool lockedWithTwoSlots = false;
  int rows = 0, twoSlotHeight = 0;
  onceWhen([&] { return update->slotFrame(1)->title().startsWith("Checking http://127.0.0.1"); },
           [&] {
             lockedWithTwoSlots = !inputEnabled();
             rows = updateRows();
             twoSlotHeight = update->height();
           });
  window->action(MainWindow::cmdUpdateAll)->trigger();
  EXPECT_TRUE(lockedWithTwoSlots);
  EXPECT_EQ(column(0), (std::vector<std::string>{"9.9.9.9", "1.2.3.4", "5.6.7.8"}));
  EXPECT_EQ(list.checkedCount(), 2u);
  EXPECT_EQ(update->descriptionLabel()->text(), "3 IPs found!");
  EXPECT_EQ(update->slotFrame(1)->title() + update->slotLabel(1)->text(),
            "Thread 2:< Thread not used >");
  // The details are shown from the start, a frame for each slot of the run, all in view.
  EXPECT_EQ(rows, 2);
  EXPECT_TRUE(update->detailsBox()->isVisibleTo(update));
  EXPECT_LE(update->slotFrame(1)->mapTo(update, QPoint(0, update->slotFrame(1)->height())).y(),
            update->height());
  EXPECT_EQ(logLines().back(), "Updated successfully and found <2> unique IPs");
  EXPECT_TRUE(inputEnabled() && !update->isVisible());

  // Cancel while the one worker waits for a silent server: the list stays as it was.
  ctx.settings.URLs = {url("/file/b.met"), url("/silent"), url("/file/a.met")};
  ctx.settings.UpdThreadCount = 1;
  ctx.settings.UpdTimeout = 60;
  int oneSlotHeight = 0;
  onceWhen([&] { return update->slotFrame(0)->title().contains("/silent"); },
           [&] {
             rows = updateRows();
             oneSlotHeight = update->height();
             QTest::mouseClick(update->cancelButton(), Qt::LeftButton);
           });
  list.clear();
  window->action(MainWindow::cmdUpdateMet)->trigger();
  EXPECT_EQ(update->headlineLabel()->text(), "Waiting for working threads to close...");
  EXPECT_EQ(rows, 1);
  EXPECT_LT(oneSlotHeight, twoSlotHeight);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(ctx.settings.URLs.size(), 3u);
  EXPECT_EQ(logLines().back().rfind("Updated from <", 0), 0u);
  EXPECT_TRUE(inputEnabled() && !update->isVisible());
}

TEST_F(ProgressWindowsTest, VerifyToTheEndAndWithACancel) {
  test::LoopbackListener accepting;
  test::LoopbackListener silent(/*accepting=*/false, /*backlog=*/0);
  ASSERT_LT(silent.fillAcceptQueue(), 64);
  add(accepting.port());
  add(test::ClosedLoopbackPort());
  add(silent.port());
  add(accepting.port(), false);
  ctx.settings.VrfThreadCount = 3;
  ctx.settings.VrfTimeout = 5;
  // Cancel in the warning verifies nothing; the box ticked and Proceed turn it off for good.
  whenModal([&](QWidget*) { window->verifyWarningWindow()->cancelButton()->click(); });
  window->action(MainWindow::cmdVerifyChecked)->trigger();
  EXPECT_EQ(accepting.accepted(), 0);
  QString warning;
  whenModal([&](QWidget*) {
    warning = window->verifyWarningWindow()->textLabel()->text();
    window->verifyWarningWindow()->checkBox()->setChecked(true);
    QTest::mouseClick(window->verifyWarningWindow()->proceedButton(), Qt::LeftButton);
  });
  // Three slots: three status lines. The user hides the details during this run.
  int rows = 0, threeSlotHeight = 0, hiddenHeight = 0;
  onceWhen([&] { return verify->isVisible(); },
           [&] {
             rows = verifyRows();
             threeSlotHeight = verify->height();
             QTest::mouseClick(verify->detailsButton(), Qt::LeftButton);
             hiddenHeight = verify->height();
           });
  QColor accepted, refused, timedOut;
  onceWhen([&] { return (accepted = lineColour("accepted the connection!")).isValid(); }, [] {});
  onceWhen([&] { return (refused = lineColour("refused the connection!")).isValid(); }, [] {});
  onceWhen([&] { return (timedOut = lineColour("timed out!")).isValid(); }, [] {});
  window->action(MainWindow::cmdVerifyChecked)->trigger();
  EXPECT_TRUE(warning.startsWith("It is recommended NOT to use server verification.\n"));
  EXPECT_NE(test::ReadFile(session->iniPath()).find("VrfWarning=0"), std::string::npos);
  EXPECT_EQ(accepted, QColor(0x00, 0x80, 0x00));
  EXPECT_TRUE(refused == QColor(0xFF, 0x00, 0x00) && timedOut == refused);
  EXPECT_TRUE(list.checkedCount() == 1 && list[0].checked);
  EXPECT_EQ(verify->descriptionLabel()->text(), "(4/4)");
  EXPECT_EQ(verify->slotLine(2)->text(), "< Thread not used >");
  EXPECT_EQ(logLines().back(), "Verification ended successfully");
  EXPECT_EQ(rows, 3);
  EXPECT_LT(hiddenHeight, threeSlotHeight);

  // Closed by the window manager while two silent servers are being tried: that is a
  // Cancel, and the rest keep their marks.
  for (int i = 0; i < 4; ++i) add(silent.port());
  ctx.settings.VrfThreadCount = 2;
  ctx.settings.VrfTimeout = 60;
  // The next run keeps the details hidden, as the user left them.
  bool keptHidden = false;
  onceWhen([&] { return verify->slotLine(1)->text().contains("has been contacted"); },
           [&] {
             rows = verifyRows();
             keptHidden = !verify->detailsBox()->isVisibleTo(verify) &&
                          verify->height() == hiddenHeight &&
                          verify->detailsButton()->text() == "&Details >>";
             static_cast<QWidget*>(verify)->close();
           });
  window->action(MainWindow::cmdVerifyChecked)->trigger();
  EXPECT_EQ(verify->headlineLabel()->text(), "Waiting for working threads to close...");
  EXPECT_EQ(list.checkedCount(), 5u);
  EXPECT_EQ(logLines().back(), "Verification cancelled");
  EXPECT_EQ(logLines().end()[-2], "Verifying 8 server IPs");
  EXPECT_TRUE(keptHidden);
  EXPECT_EQ(rows, 2);
  EXPECT_TRUE(inputEnabled() && !verify->isVisible());
}

// The warning's choice that ravelin.ini cannot take holds for this run; the verification
// the user asked for goes on.
TEST_F(ProgressWindowsTest, AWarningChoiceThatCannotBeStoredStillVerifies) {
  test::LoopbackListener accepting;
  add(accepting.port());
  std::filesystem::remove(session->iniPath());
  std::filesystem::create_directory(session->iniPath());
  whenModal([&](QWidget*) {
    window->verifyWarningWindow()->checkBox()->setChecked(true);
    QTest::mouseClick(window->verifyWarningWindow()->proceedButton(), Qt::LeftButton);
  });
  window->action(MainWindow::cmdVerifyChecked)->trigger();
  EXPECT_FALSE(ctx.settings.VrfWarning);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].icon, MsgIcon::Error);
  EXPECT_EQ(accepting.accepted(), 1);
  EXPECT_EQ(logLines().back(), "Verification ended successfully");
}

TEST_F(ProgressWindowsTest, HandOverWaitsOnFirstUseAndClosingCancelsARunningUpdate) {
  list.append(server("1.2.3.4", "4661"), true);
  window->action(MainWindow::cmdSaveRunning)->trigger();
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text.rfind(
                client::transferFailureText(client::TransferFailure::Waiting), 0),
            0u);
  EXPECT_TRUE(inputEnabled() && !window->transferWindow()->isVisible());

  ctx.settings.URLs = {url("/silent")};
  ctx.settings.UpdTimeout = 60;
  onceWhen([&] { return update->slotLabel(0)->text().startsWith("Request sent"); },
           [&] {
             prompter.answers = {MsgResult::No};  // the changed list is not saved
             window->close();
           });
  window->action(MainWindow::cmdUpdateAll)->trigger();
  EXPECT_EQ(update->headlineLabel()->text(), "Waiting for working threads to close...");
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(logLines().back(), "Main window and application closed");
}

// A close at any moment of a command (a script's, or the menu's verification when none)
// cancels it and waits for its workers; the question about the list changed before it comes.
class CloseDuringACommand
    : public ProgressWindowsTest,
      public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};
TEST_P(CloseDuringACommand, EndsCleanlyAfterTheQuestion) {
  // Plain names, not a structured binding: the lambdas below capture them.
  const char* const script = GetParam().first;
  const char* const shown = GetParam().second;
  test::LoopbackListener silent(/*accepting=*/false, /*backlog=*/0);
  ASSERT_LT(silent.fillAcceptQueue(), 64);
  for (int i = 0; i < 4; ++i) add(silent.port());
  list.markSaved();
  list.remove(3);
  ctx.settings.VrfWarning = false;
  ctx.settings.URLs = {url("/silent")};
  prompter.answers = {MsgResult::Yes};
  onceWhen([&] { return window->commandRunning() && shows(shown); }, [&] { window->close(); });
  test::WriteFile(dir.file("job.rvs"), script);
  *script ? void(window->runScript(dir.file("job.rvs")))
          : window->action(MainWindow::cmdVerifyAll)->trigger();
  QTest::qWait(100);  // what a worker left running would still hand over comes now
  EXPECT_TRUE(!window->isVisible() && prompter.shown.size() == 1 && !list.changedSinceSaved());
}
INSTANTIATE_TEST_SUITE_P(EveryCommand, CloseDuringACommand,
                         ::testing::Values(std::pair{"", "Verifying"}, std::pair{"", "contacted"},
                                           std::pair{"", "timed out!"},
                                           std::pair{"VerifyAll", "contacted"},
                                           std::pair{"UpdateFromAll", "Request sent"},
                                           std::pair{"Delay[30]", ""},
                                           std::pair{"CloseUtils", "will close in"}));

}  // namespace

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "gui_test_support.h"

using namespace ravelin;
using namespace ravelin::qt;
using namespace test::gui;

namespace {

// Scripts run from the main window. The countdown's seconds pass on a manual clock that a
// timer moves on while the event loop runs, so no test waits real seconds.
class ScriptRunTest : public ::testing::Test, public MainWindowFixture {
 protected:
  platform::ManualClock clock;
  QTimer ticker;
  ScriptRunTest() {
    ctx.clock = &clock;
    QObject::connect(&ticker, &QTimer::timeout, [this] { clock.advance(100); });
    ticker.start(0);
  }
  std::string script(const std::string& text) {
    const std::string path = dir.file("job.rvs");
    test::WriteFile(path, text);
    return path;
  }
};

TEST_F(ScriptRunTest, CloseUtilsClosesTheWindowAfterTheCountdown) {
  const std::string source = dir.file("in.met");
  writeMetFile(source, {server("1.2.3.4", "4661")});
  bool hiddenDuringScript = true;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] {
    if (window->countdownDialog()->isVisible()) {
      hiddenDuringScript = hiddenDuringScript && !window->isVisible();
      EXPECT_TRUE(window->countdownDialog()->secondsLabel()->text().toInt() <= 5);
    }
  });
  probe.start(1);
  window->runScript(script("RefreshCustomMET[in.met]\nHideWindows\nCloseUtils\n"));
  EXPECT_TRUE(hiddenDuringScript);
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(ctx.state.closeConfirmed);
  EXPECT_EQ(list.size(), 1u);
  const auto log = logLines();
  EXPECT_NE(std::find(log.begin(), log.end(), "Closing Ravelin"), log.end());
  EXPECT_EQ(log.back(), "Main window and application closed");
}

TEST_F(ScriptRunTest, ACancelledCountdownLetsTheScriptGoOn) {
  QTimer canceller;
  QObject::connect(&canceller, &QTimer::timeout, [&] {
    if (window->countdownDialog()->isVisible()) window->countdownDialog()->cancelButton()->click();
  });
  canceller.start(1);
  window->runScript(script("CloseUtils\nDelay[1]\n"));
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->countdownDialog()->isVisible());
  const auto log = logLines();
  EXPECT_NE(std::find(log.begin(), log.end(), "Waited <1> seconds"), log.end());
  EXPECT_EQ(std::find(log.begin(), log.end(), "Closing Ravelin"), log.end());
}

TEST_F(ScriptRunTest, AScriptUpdatesInTheUpdateWindowAndGoesOn) {
  list.append(server("1.2.3.4", "4661"), true);
  // A file of host names is read without a network; an empty one gives nothing.
  test::WriteFile(dir.file("hosts.txt"), "");
  ctx.settings.URLs = {{runtime::SourceKind::DNS, dir.file("hosts.txt")}};
  window->runScript(script("UpdateFromAll\nClearList\n"));
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_TRUE(list.empty());
  const auto log = logLines();
  EXPECT_NE(std::find(log.begin(), log.end(), "Updating from 1 URLs"), log.end());
  EXPECT_EQ(session->history().paths().front(), dir.file("job.rvs"));
}

// A close refused at the script editor's question leaves the program as it was: the next
// script runs to its end.
TEST_F(ScriptRunTest, ACloseRefusedAtTheEditorsQuestionLeavesTheProgramAsItWas) {
  ScriptEditorWindow* editor = window->scriptEditor();
  editor->open();
  editor->textEdit()->setPlainText("Delay[30]\n");
  editor->textEdit()->document()->setModified(true);
  onceWhen([&] { return window->commandRunning(); },
           [&] {
             prompter.answers = {MsgResult::Cancel};
             window->close();
           });
  window->runEditorScript();
  EXPECT_TRUE(window->isVisible() && editor->isVisible());
  EXPECT_FALSE(ui.terminating());
  list.append(server("1.2.3.4", "4661"), true);
  window->runScript(script("Delay[1]\nClearList\n"));
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(window->isVisible());
}

// A failed command is logged with its line; once the script has ended, one box and the
// status bar name the failures.
TEST_F(ScriptRunTest, FailedCommandsAreLoggedAndShownAfterTheRun) {
  const std::string missing = dir.file("gone.met");
  bool boxDuringRun = false;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout,
                   [&] { boxDuringRun = boxDuringRun || !prompter.shown.empty(); });
  probe.start(1);
  window->runScript(script("Delay[1]\nRefreshCustomMET[" + missing + "]\nDelay[1]\n"));
  EXPECT_FALSE(boxDuringRun);
  const std::string failure = "line 2: File not found: " + missing;
  const auto log = logLines();
  EXPECT_NE(std::find(log.begin(), log.end(), failure), log.end());
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text, "1 command of the script failed:\r\n" + failure);
  EXPECT_EQ(window->messageLabel()->text().toStdString(), "1 command of the script failed");
  window->runScript(script("Delay[1]\n"));
  EXPECT_TRUE(window->messageLabel()->text().isEmpty());
  EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST_F(ScriptRunTest, TheFirstActivationRunsTheCommandLineScriptOnce) {
  MainWindow second(list, *session, ui);
  ctx.state.firstActivationDone = false;
  ctx.settings.ScrExecOrEdit = true;
  second.setStartupScript({script("SetPref[high]\n")});
  list.append(server("1.2.3.4", "4661"), true);
  second.show();
  settle();
  EXPECT_EQ(list[0].server.pref, "High");
  list.setField(0, serverlist::fPref, "Low");
  second.hide();
  second.show();
  settle();
  EXPECT_EQ(list[0].server.pref, "Low");
}

}  // namespace

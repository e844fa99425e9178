#include "desk/main_presenter.h"

#include <gtest/gtest.h>

#include <deque>
#include <stdexcept>

#include "app/window_state.h"
#include "support/server_list_support.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::desk;

namespace {

// The windows as the presenter sees them, recording what it asked for; the dialogs answer
// from queues.
class FakeViews : public MainView, public ListView, public FileChooser, public Clipboard,
                  public ScriptEditor {
 public:
  std::vector<bool> inputEnabled;
  std::string message, detail, listStatus, clipboard;
  std::vector<size_t> selection;
  std::deque<std::optional<std::string>> chosen;
  std::function<void()> onChoose;
  int closeRequests = 0, cancels = 0;
  bool countdownRunsOut = false;
  std::vector<bool> terminating;
  std::vector<std::string> edited;

  void showListStatus(const std::string& text) override { listStatus = text; }
  void showMessage(const std::string& text, const std::string& more) override {
    message = text;
    detail = more;
  }
  void setInputEnabled(bool enabled) override { inputEnabled.push_back(enabled); }
  void setBusy(bool) override {}
  bool isShown() const override { return true; }
  void requestClose() override { ++closeRequests; }
  void bringToFront() override {}
  void showRecentScripts(const std::vector<std::string>&) override {}
  void setTerminating(bool on) override { terminating.push_back(on); }
  void cancelLongCommands() override { ++cancels; }
  void hideWindowsForScript() override {}
  void restoreWindowsAfterScript() override {}
  WindowPlace place() const override { return {10, 20, 600, 400}; }
  bool isMaximized() const override { return false; }
  void placeWindow(const WindowPlace&) override {}
  void maximize() override {}
  void editServer() override {}
  void addServer() override {}
  void openFilter() override {}
  void runOptions() override {}
  void showAbout() override {}
  bool runCloseCountdown() override { return countdownRunsOut; }
  update::UpdateView& updateView() override { throw std::logic_error("no update here"); }
  verify::VerifyView& verifyView() override { throw std::logic_error("no verification here"); }
  verify::VerifyWarningDialog* verifyWarning() override { return nullptr; }
  client::TransferView& transferView() override { throw std::logic_error("no hand-over here"); }
  app::VersionCheckView& versionCheckView() override { throw std::logic_error("no check here"); }
  ScriptEditor& scriptWindow() override { return *this; }

  std::vector<size_t> selectedRows() const override { return selection; }
  void showListSelection() override {}
  int columnCount() const override { return 9; }
  int columnWidth(int column) const override { return 100 + column; }
  void setColumnWidth(int, int) override {}
  void showSortIndicator() override {}

  std::optional<std::string> open(OpenKind) override { return next(); }
  std::optional<std::string> save(SaveKind) override { return next(); }
  std::string text() const override { return clipboard; }
  void setText(const std::string& text) override { clipboard = text; }

  void open() override {}
  void openFile(const std::string& path) override { edited.push_back(path); }
  bool isOpen() const override { return false; }
  bool mayClose() override { return true; }
  void closeAsked() override {}
  script::ScriptDocument& document() override { throw std::logic_error("no editor here"); }

 private:
  std::optional<std::string> next() {
    if (onChoose) onChoose();
    if (chosen.empty()) return std::nullopt;
    auto answer = chosen.front();
    chosen.pop_front();
    return answer;
  }
};

class MainPresenterTest : public ::testing::Test {
 protected:
  MainPresenterTest() {
    list.append(test::makeServer("10.0.0.1"), false);
    list.append(test::makeServer("10.0.0.2"), false);
    serverlist::setChecked(list, {0, 1}, true);
    app.ctx.settings.EDPath = app.dir.path().string();
  }
  test::TestApp app;
  serverlist::ServerList list;
  app::AppSession session{app.ctx, app.dir.file("ravelin.ini")};
  FakeViews views;
  test::RecordingProgressBar bar;
  MainPresenter presenter{list, session, {views, views, views, views}, bar};
};

}  // namespace

TEST_F(MainPresenterTest, FileCommandsRunInTheFrameAndSayWhatTheyDid) {
  const std::string met = app.dir.file("out.met");
  // A cancelled dialog does nothing; the window's input is off for the command only.
  presenter.run(cmdSaveMet);
  EXPECT_EQ(views.inputEnabled, (std::vector<bool>{false, true}));
  EXPECT_EQ(views.message, "");
  views.chosen = {met};
  presenter.run(cmdSaveMet);
  EXPECT_EQ(views.message, "Saved 2 servers to " + met);
  // Read into an empty list, the list is what its file holds: nothing changed since.
  presenter.runPopupItem(serverlist::piClearList);
  views.chosen = {met};
  presenter.run(cmdRefreshMet);
  EXPECT_EQ(list.size(), 2u);
  EXPECT_EQ(views.message, "Added 2 servers from " + met);
  EXPECT_FALSE(list.changedSinceSaved());
  // A file that is no list says so rather than claiming a read that worked.
  test::WriteFile(app.dir.file("junk.met"), "junk");
  views.chosen = {app.dir.file("junk.met")};
  presenter.run(cmdRefreshMet);
  EXPECT_EQ(views.message, app.dir.file("junk.met") + " is damaged or unreadable: 0 servers added");
  // A save that fails says so in the status bar, and its reason once in the error box.
  const std::string nowhere = app.dir.file("gone/out.met");
  views.chosen = {nowhere};
  app.prompter.shown.clear();
  presenter.run(cmdSaveMet);
  EXPECT_EQ(views.message, "Saving to " + nowhere + " failed");
  ASSERT_EQ(app.prompter.shown.size(), 1u);
  EXPECT_NE(app.prompter.shown[0].text.find(test::kNoSuchFolderReason), std::string::npos);
  EXPECT_EQ(views.inputEnabled.back(), true);
  // Copy and paste go through the clipboard as server links.
  views.selection = {1};
  presenter.run(cmdCopy);
  EXPECT_EQ(views.message, "Copied 1 server link");
  presenter.runPopupItem(serverlist::piClearList);
  presenter.run(cmdPaste);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].server.ip, "10.0.0.2");
  EXPECT_EQ(views.message, "Added 1 server from the clipboard");
}

TEST_F(MainPresenterTest, ACloseIsDeferredRefusedOrTakenAndKeepsTheWindowState) {
  // A close while a command runs cancels the long commands and comes back once it ended.
  views.onChoose = [&] { EXPECT_EQ(presenter.closeDecision(), CloseDecision::Defer); };
  presenter.run(cmdRefreshMet);
  views.onChoose = nullptr;
  EXPECT_EQ(views.cancels, 1);
  EXPECT_EQ(views.closeRequests, 1);
  // A changed list with checked servers asks; Cancel keeps the window and its loops.
  app.prompter.answers = {runtime::MsgResult::Cancel};
  EXPECT_EQ(presenter.closeDecision(), CloseDecision::Refuse);
  ASSERT_EQ(app.prompter.shown.size(), 1u);
  EXPECT_EQ(app.prompter.shown[0].buttons, runtime::MsgButtons::YesNoCancel);
  EXPECT_EQ(views.terminating, (std::vector<bool>{true, false}));
  // No drops the changes; the window's place and columns are kept for the next start.
  app.prompter.answers = {runtime::MsgResult::No};
  EXPECT_EQ(presenter.closeDecision(), CloseDecision::Close);
  const app::WindowState kept = app::loadWindowState(session.iniPath());
  EXPECT_EQ(kept.geometry, (app::WindowState::Geometry{10, 20, 600, 400}));
  EXPECT_EQ(kept.columnWidths, (std::vector<int>{100, 101, 102, 103, 104, 105, 106, 107, 108}));
  // Asking is the context's: while a script runs nothing is asked.
  app.ctx.state.scriptRunning = true;
  app.prompter.shown.clear();
  EXPECT_EQ(presenter.closeDecision(), CloseDecision::Close);
  EXPECT_TRUE(app.prompter.shown.empty());
}

TEST_F(MainPresenterTest, AScriptReportsItsFailuresOnceOrClosesTheWindow) {
  const std::string failing = app.dir.file("failing.rvs");
  test::WriteFile(failing, "RefreshCustomMET[" + app.dir.file("gone.met") + "]\nCheckAll\n");
  EXPECT_TRUE(presenter.runScript(failing));
  EXPECT_EQ(views.message, "1 command of the script failed");
  EXPECT_EQ(views.detail.rfind("1 command of the script failed:", 0), 0u);
  ASSERT_EQ(app.prompter.shown.size(), 1u);
  EXPECT_EQ(app.prompter.shown[0].icon, runtime::MsgIcon::Exclamation);
  // A script without failures clears the panel; one whose countdown ran out closes.
  const std::string closing = app.dir.file("closing.rvs");
  test::WriteFile(closing, "CheckAll\nCloseUtils\n");
  views.countdownRunsOut = true;
  EXPECT_FALSE(presenter.runScript(closing));
  EXPECT_EQ(views.closeRequests, 1);
  views.countdownRunsOut = false;
  EXPECT_TRUE(presenter.runScript(closing));
  EXPECT_EQ(views.message, "");
  EXPECT_EQ(app.prompter.shown.size(), 1u);
}

TEST_F(MainPresenterTest, EditAndRunRequestsOverruleScrExecOrEditAPlainScriptFollowsIt) {
  const std::string script = app.dir.file("uncheck.rvs");
  test::WriteFile(script, "UnCheckAll\n");
  app.ctx.settings.ScrExecOrEdit = true;
  presenter.takeHandedScript({script, ScriptAction::Edit});
  EXPECT_EQ(views.edited, std::vector<std::string>{script});
  EXPECT_EQ(list.checkedCount(), 2u);
  app.ctx.settings.ScrExecOrEdit = false;
  presenter.takeHandedScript(handedRequest(script));
  EXPECT_EQ(views.edited.size(), 2u);
  presenter.takeHandedScript(handedRequest(handOverText({script, ScriptAction::Run})));
  EXPECT_EQ(views.edited.size(), 2u);
  EXPECT_EQ(list.checkedCount(), 0u);
}

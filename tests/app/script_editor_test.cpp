#include <gtest/gtest.h>

#include "app/history_list.h"
#include "app/script_file_run.h"
#include "platform/file_io.h"
#include "runtime/silent_abort.h"
#include "script/script_document.h"
#include "script/script_executor.h"
#include "support/plain_script_host.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::script;
using ravelin::runtime::MsgResult;

namespace {

// The editor window as text and marks; dialogs answer with the queued paths.
class TextView : public ScriptEditorView {
 public:
  std::string body, shownName, status;
  bool changed = false, hidden = false;
  std::pair<size_t, size_t> caret;
  std::optional<std::string> openPath, savePath;
  std::string text() const override { return body; }
  void setText(const std::string& t) override { body = t; }
  void appendText(const std::string& t) override { body += t, changed = true; }
  void setCaret(size_t line, size_t column) override { caret = {line, column}; }
  bool modified() const override { return changed; }
  void setModified(bool m) override { changed = m; }
  void showFileName(const std::string& name) override { shownName = name; }
  void showSyntaxResult(const EditorSyntaxResult& r) override { status = r.statusText; }
  std::optional<std::string> chooseFileToOpen() override { return openPath; }
  std::optional<std::string> chooseFileToSave() override { return savePath; }
  void hideForRun() override { hidden = true; }
  void showAfterRun() override { hidden = false; }
};

class ScriptDocumentTest : public ::testing::Test {
 protected:
  test::TestApp app;
  TextView view;
  ScriptDocument doc{view, app.ctx};
  void edit(const std::string& t) { view.body = t, view.changed = true; }
};

}  // namespace

TEST_F(ScriptDocumentTest, NewOpenSaveAndTheQuestionBeforeChangesAreLost) {
  doc.show();
  EXPECT_EQ(view.shownName, "unsaved");
  EXPECT_EQ(doc.lines().size(), 7u);
  EXPECT_EQ(doc.lines()[1], std::string("//    Ravelin Script v") + RAVELIN_VERSION);

  // Yes, then a cancelled save dialog: nothing is lost, the new script does not start.
  edit("CheckAll");
  app.prompter.answers = {MsgResult::Yes};
  EXPECT_THROW(doc.newScript(), runtime::SilentAbort);
  EXPECT_EQ(app.prompter.shown.back().text,
            "The file \"unsaved\" has been changed. Do you want to save this file?");
  EXPECT_EQ(view.body, "CheckAll");
  // Yes with a path: saved (lines ended as the system ends them), named, then the new script.
  view.savePath = app.dir.file("a.rvs");
  app.prompter.answers = {MsgResult::Yes};
  doc.newScript();
  EXPECT_EQ(platform::readWholeFile(*view.savePath), test::SystemLines("CheckAll\n"));
  EXPECT_EQ(doc.fileName(), "unsaved");

  // Open after Cancel keeps everything; after No it loads the file without asking again.
  edit("UnCheckAll");
  view.openPath = app.dir.file("a.rvs");
  app.prompter.answers = {MsgResult::Cancel};
  EXPECT_THROW(doc.open(), runtime::SilentAbort);
  EXPECT_EQ(view.body, "UnCheckAll");
  app.prompter.answers = {MsgResult::No};
  doc.open();
  EXPECT_EQ(view.body, "CheckAll");
  EXPECT_EQ(view.shownName, "a.rvs");
  EXPECT_FALSE(view.changed);

  // A failed write leaves name and mark as they were.
  edit("ClearList");
  view.savePath = app.dir.file("no/such/dir/b.rvs");
  EXPECT_THROW(doc.saveAs(), platform::FileError);
  EXPECT_EQ(doc.fileName(), app.dir.file("a.rvs"));
  EXPECT_TRUE(view.changed);
  EXPECT_TRUE(doc.save());

  // Closing: Cancel keeps the window; No closes it, and the next showing starts anew.
  edit("Delay[1]");
  app.prompter.answers = {MsgResult::Cancel, MsgResult::No};
  EXPECT_FALSE(doc.close());
  EXPECT_TRUE(doc.close());
  doc.show();
  EXPECT_EQ(doc.lines(), ScriptDocument::startingLines());
  EXPECT_EQ(app.prompter.shown.size(), 6u);
}

TEST_F(ScriptDocumentTest, RunsFromTheEditorWithItsNameInTheLog) {
  app::HistoryList history;
  serverlist::ServerList list;
  list.append(serverlist::Server{}, false);
  test::PlainScriptHost host;
  doc.show();
  edit("CheckAll\nDelay[x]\n");
  ScriptRun run;
  app::runEditorScript(doc, history, list, host, app.ctx, run);
  EXPECT_TRUE(list[0].checked);
  EXPECT_TRUE(history.isEmpty());
  EXPECT_FALSE(view.hidden);
  EXPECT_EQ(app.logLines().front(), "Script execution started: <unsaved>");

  // With the check on, a wrong line stops the run; a saved script becomes a recent one.
  list.setChecked(0, false);
  view.savePath = app.dir.file("job.rvs");
  ASSERT_TRUE(doc.saveAs());
  app.ctx.settings.ScrSyntaxCheck = true;
  EXPECT_THROW(app::runEditorScript(doc, history, list, host, app.ctx, run), runtime::SilentAbort);
  EXPECT_EQ(view.status, "Error in line 2: Delay: No valid number!");
  EXPECT_FALSE(list[0].checked);
  EXPECT_EQ(history.paths(), std::vector<std::string>{app.dir.file("job.rvs")});
  test::WriteFile(app.dir.file("in.html"), "ed2k://|server|5.6.7.8|4242|/");
  edit("RefreshCustomHTML[in.html]");
  app::runEditorScript(doc, history, list, host, app.ctx, run);
  EXPECT_EQ(list.size(), 2u);
}

#include <gtest/gtest.h>

#include "app/history_list.h"
#include "app/script_file_run.h"
#include "script/script_executor.h"
#include "script/script_host.h"
#include "serverlist/server_list.h"
#include "support/plain_script_host.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;
using namespace ravelin::script;
using namespace ravelin::app;

namespace {

class ScriptFileRunTest : public ::testing::Test {
 protected:
  ScriptFileRunTest() {
    Server s;
    s.ip = "1.2.3.4";
    s.port = "4661";
    list.append(s, false);
  }
  ScriptFileOutcome Run(const std::string& path, SyntaxCheck check = SyntaxCheck::BySetting) {
    run = ScriptRun{};
    return runScriptFile(path, history, list, host, app.ctx, run, check);
  }
  test::TestApp app;
  HistoryList history;
  ServerList list;
  test::PlainScriptHost host;
  ScriptRun run;
};

}  // namespace

TEST_F(ScriptFileRunTest, AMissingFileIsIgnoredSilently) {
  EXPECT_EQ(Run(app.dir.file("gone.rvs")), ScriptFileOutcome::Missing);
  EXPECT_TRUE(history.isEmpty());
  EXPECT_TRUE(app.logLines().empty());
  EXPECT_TRUE(app.prompter.shown.empty());
}

TEST_F(ScriptFileRunTest, RunsTheFileAndPutsItOnTopOfTheHistory) {
  const std::string a = app.dir.file("a.rvs"), b = app.dir.file("b.rvs");
  test::WriteFile(a, "// a\r\nCheckAll\r\n");
  test::WriteFile(b, "UnCheckAll\n");
  EXPECT_EQ(Run(a), ScriptFileOutcome::Ran);
  EXPECT_TRUE(list[0].checked);
  EXPECT_EQ(run.line, 2u);
  EXPECT_EQ(Run(b), ScriptFileOutcome::Ran);
  EXPECT_FALSE(list[0].checked);
  EXPECT_EQ(Run(a), ScriptFileOutcome::Ran);
  EXPECT_EQ(history.paths(), (std::vector<std::string>{a, b}));
  EXPECT_EQ(app.logLines(), (std::vector<std::string>{
                                "Script execution started", "Server selection completely checked",
                                "Script execution stopped", "Script execution started",
                                "Server selection completely unchecked", "Script execution stopped",
                                "Script execution started", "Server selection completely checked",
                                "Script execution stopped"}));
}

TEST_F(ScriptFileRunTest, TheCheckStopsAWrongScriptBeforeItRuns) {
  const std::string path = app.dir.file("bad.rvs");
  test::WriteFile(path, "CheckAll\r\nDelay[soon]\r\n");
  // Without the check the wrong line is passed over.
  EXPECT_EQ(Run(path), ScriptFileOutcome::Ran);
  list.setChecked(0, false);
  EXPECT_EQ(Run(path, SyntaxCheck::Always), ScriptFileOutcome::SyntaxError);
  app.ctx.settings.ScrSyntaxCheck = true;
  EXPECT_EQ(Run(path), ScriptFileOutcome::SyntaxError);
  EXPECT_FALSE(list[0].checked);
  ASSERT_EQ(app.prompter.shown.size(), 2u);
  EXPECT_EQ(app.prompter.shown[1].title, "Error in script execution");
  EXPECT_EQ(app.prompter.shown[1].text,
            "Error in Line #2:\r\nDelay: No valid number!\r\nScript execution will be aborted!");
  // The refused script is still the most recent one, and it never started.
  EXPECT_EQ(history.paths(), std::vector<std::string>{path});
  EXPECT_EQ(app.logLines().size(), 3u);  // only the first, unchecked run
  // A front end that is told not to check runs the script whatever the setting says.
  EXPECT_EQ(Run(path, SyntaxCheck::Never), ScriptFileOutcome::Ran);
  EXPECT_TRUE(list[0].checked);
}

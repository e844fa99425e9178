#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/file_io.h"
#include "platform/user_folders.h"
#include "script/script_executor.h"
#include "script/script_host.h"
#include "script/script_paths.h"
#include "serverlist/bot_file.h"
#include "serverlist/met_file.h"
#include "serverlist/server_filter.h"
#include "serverlist/server_list.h"
#include "serverlist/text_writers.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;
using namespace ravelin::script;

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;
using LogText = std::vector<std::string>;

// Records every call the executor makes to the program around it, with the run-state
// flags as they were at that moment.
class RecordingHost : public ScriptHost {
 public:
  explicit RecordingHost(AppContext& ctx) : ctx_(ctx) {}
  std::vector<std::string> calls;
  bool countdownRunsOut = false;
  verify::VerifyOutcome verifyOutcome = verify::VerifyOutcome::Ended;
  bool scriptRunningSeen = false;
  std::function<void()> onUpdate;
  test::RecordingProgressBar bar;

  ProgressBar& loadSaveBar() override { return bar; }
  update::UpdateOutcome update(update::UpdateKind kind) override {
    static const char* names[] = {"All", "HTML", "MET", "BOT", "DNS"};
    record(std::string("update ") + names[static_cast<int>(kind)]);
    if (onUpdate) onUpdate();
    return update::UpdateOutcome::Ended;
  }
  verify::VerifyOutcome verify(bool all) override {
    record(all ? "verify all" : "verify checked");
    return verifyOutcome;
  }
  bool closeCountdown() override {
    record("countdown");
    return countdownRunsOut;
  }
  void hideWindows() override { record("hide"); }
  void restoreWindows() override { record("restore"); }
  void saveRunningEDonkey() override { record("transfer"); }
  void sendToEDonkeyConsole(const std::string& text) override { record("console " + text); }
  void startEDonkey() override { record("start client"); }
  void startFile(const std::string& path) override { record("start file " + path); }

 private:
  void record(const std::string& call) {
    calls.push_back(call);
    scriptRunningSeen = ctx_.state.scriptRunning;
  }
  AppContext& ctx_;
};

Server makeServer(const std::string& ip, const std::string& port = "4661",
                  const std::string& users = "n/a") {
  Server s;
  s.ip = ip;
  s.port = port;
  s.name = "srv " + ip;
  s.users = users;
  return s;
}

std::vector<bool> Marks(const ServerList& list) {
  std::vector<bool> out;
  for (const auto& e : list.entries()) out.push_back(e.checked);
  return out;
}

std::vector<std::string> Ips(const ServerList& list) {
  std::vector<std::string> out;
  for (const auto& e : list.entries()) out.push_back(e.server.ip);
  return out;
}

class ScriptExecutorTest : public ::testing::Test {
 protected:
  ScriptExecutorTest() : host(app.ctx) {
    app.useManualClock();
    app.ctx.settings.EDPath = app.dir.path().string();
    app.ctx.settings.URLs = {{SourceKind::MET, "a.met"}};  // the host only records updates
    list.append(makeServer("1.1.1.1", "4661", "50"), true);
    list.append(makeServer("2.2.2.2", "4662", "150"), false);
    list.append(makeServer("3.3.3.3", "4663", "n/a"), true);
  }
  ScriptRun Run(const Lines& lines) { return execScript(lines, list, host, app.ctx); }
  // The log between the start and stop lines, which it checks.
  LogText Body() {
    LogText lines = app.logLines();
    EXPECT_GE(lines.size(), 2u);
    if (lines.size() < 2) return lines;
    EXPECT_EQ(lines.front(), "Script execution started");
    EXPECT_EQ(lines.back(), "Script execution stopped");
    return LogText(lines.begin() + 1, lines.end() - 1);
  }

  test::TestApp app;
  ServerList list;
  RecordingHost host;
};

}  // namespace

TEST_F(ScriptExecutorTest, CommentsAndBlankLinesChangeNothing) {
  const auto before = list.entries();
  const ScriptRun run = Run({"// header", "", "//CheckAll", "  CheckAll", "Bogus", "Delay[5"});
  EXPECT_EQ(Body(), LogText{});
  EXPECT_EQ(Marks(list), (std::vector<bool>{true, false, true}));
  EXPECT_TRUE(host.calls.empty());
  EXPECT_FALSE(app.ctx.state.scriptRunning);
  EXPECT_FALSE(run.closed);
  EXPECT_TRUE(run.failures.empty());
  EXPECT_EQ(run.line, 6u);
  EXPECT_TRUE(app.prompter.shown.empty());
}

TEST_F(ScriptExecutorTest, CheckMarkCommandsAndClearList) {
  Run({"checkall"});
  EXPECT_EQ(Marks(list), (std::vector<bool>{true, true, true}));
  Run({"UNCHECKALL"});
  EXPECT_EQ(Marks(list), (std::vector<bool>{false, false, false}));
  list.setChecked(1, true);
  Run({"InvertSelection"});
  EXPECT_EQ(Marks(list), (std::vector<bool>{true, false, true}));
  EXPECT_TRUE(list.statusCounting);
  EXPECT_EQ(list.statusText(), statusTextCounting(3, 2));
  Run({"ClearList"});
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(app.prompter.shown.empty());  // nothing is asked while a script runs
  EXPECT_TRUE(list.statusCounting);
  const LogText expected = {"Script execution started",
                            "Server selection completely checked",
                            "Script execution stopped",
                            "Script execution started",
                            "Server selection completely unchecked",
                            "Script execution stopped",
                            "Script execution started",
                            "Server selection inverted",
                            "Script execution stopped",
                            "Script execution started",
                            "Serverlist completely cleared",
                            "Script execution stopped"};
  EXPECT_EQ(app.logLines(), expected);
}

TEST_F(ScriptExecutorTest, DelayWaitsOnTheClockServingTheInterfaceAndSkipsWhatIsNoNumber) {
  Run({"Delay[1]", "Delay[x]", "Delay[]", "Delay[-3]", "Delay[1", "Delay[86400]"});
  EXPECT_EQ(app.manualClock.ticks(), 1000u + 86400000u);  // a negative count waits nothing
  EXPECT_GE(app.ui.pumps, 3);  // each Delay serves the user interface at least once
  EXPECT_EQ(Body(),
            (LogText{"Waited <1> seconds", "Waited <-3> seconds", "Waited <86400> seconds"}));
}

TEST_F(ScriptExecutorTest, DelayEndsEarlyWhenTheProgramShutsDown) {
  // The shutdown comes 3 s into the pause.
  platform::ManualClock idle;
  app.ui.clock = &idle;
  app.ui.onPump = [&] {
    app.manualClock.advance(3000);
    app.ui.quit = true;
  };
  const ScriptRun run = Run({"Delay[600]", "CheckAll"});
  EXPECT_EQ(app.ui.pumps, 1);
  EXPECT_TRUE(run.interrupted);
  EXPECT_EQ(Body(), (LogText{"Waited <3> of <600> seconds: the run was interrupted"}));
  EXPECT_EQ(Marks(list), (std::vector<bool>{true, false, true}));  // CheckAll never ran
}

TEST(ScriptFilterArgument, OperatorSearchOrder) {
  using serverlist::parseFilterExpression;
  auto f = parseFilterExpression("Users>100]");
  EXPECT_EQ(f.op, 0);
  EXPECT_EQ(f.property, 5);
  EXPECT_EQ(f.value, "100");
  f = parseFilterExpression("Users>=100]");
  EXPECT_EQ(f.op, 2);
  EXPECT_EQ(f.property, -1);  // the name "Users>"
  EXPECT_EQ(f.value, "100");
  f = parseFilterExpression("Ping<150]");
  EXPECT_EQ(f.op, 1);
  f = parseFilterExpression("Name<>a*]");
  EXPECT_EQ(f.op, 3);
  EXPECT_EQ(f.property, 2);
  EXPECT_EQ(f.value, "a*");
  f = parseFilterExpression("IP=217.*] trailing");
  EXPECT_EQ(f.op, 2);
  EXPECT_EQ(f.value, "217.*");
  f = parseFilterExpression("Desc=]");
  EXPECT_EQ(f.op, 2);
  EXPECT_EQ(f.value, "");
  EXPECT_EQ(parseFilterExpression("xyz]").op, -1);
}

TEST_F(ScriptExecutorTest, FilterUnchecksWhatFailsAndLogsWheneverAnOperatorIsThere) {
  Run({"CheckAll", "Filter[users>100]", "Filter[xyz]", "Filter[]", "Filter[Users>100"});
  EXPECT_EQ(Marks(list), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(Body(),
            (LogText{"Server selection completely checked", "Serverlist successfully filtered"}));
  Run({"Filter[Users>100]"});
  // 150 passes; 50 fails; "n/a" is no number and compares as text: "n/a" > "100".
  EXPECT_EQ(Marks(list), (std::vector<bool>{false, true, true}));
  Run({"CheckAll", "Filter[IP=3.*]"});
  EXPECT_EQ(Marks(list), (std::vector<bool>{false, false, true}));
  Run({"CheckAll", "Filter[Users>=100]"});  // name "Users>" names no column
  EXPECT_EQ(Marks(list), (std::vector<bool>{true, true, true}));
}

TEST_F(ScriptExecutorTest, SetPrefOnCheckedServersOnly) {
  Run({"SetPref[HIGH]", "SetPref[medium]", "SetPref[]", "SetPref[low"});
  EXPECT_EQ(list[0].server.pref, "High");
  EXPECT_EQ(list[1].server.pref, "Normal");
  EXPECT_EQ(list[2].server.pref, "High");
  EXPECT_EQ(Body(), (LogText{"Server selection preference set to <HIGH>"}));
  Run({"setpref[Low]"});
  EXPECT_EQ(list[0].server.pref, "Low");
}

TEST_F(ScriptExecutorTest, HideWindowsIsRestoredAtEveryLaterEnd) {
  Run({"HideWindows", "CheckAll"});
  EXPECT_TRUE(app.ctx.state.hiddenByScript);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"hide", "restore"}));
  EXPECT_EQ(Body(), (LogText{"Main window hidden", "Server selection completely checked"}));
  Run({"CheckAll"});
  EXPECT_EQ(host.calls, (std::vector<std::string>{"hide", "restore", "restore"}));
}

TEST_F(ScriptExecutorTest, LongCommandsGoThroughTheHostInOrder) {
  Run({"UpdateFromAll", "UpdateFromHTML", "UpdateFromMET", "UpdateFromBOT", "UpdateFromDNS",
       "VerifyAll", "VerifyChecked", "StartEDonkey", "StartFile[/tmp/a b.txt]", "StartFile[]",
       "SendToEDonkeyConsole[n 1.2.3.4 4661]", "SendToEDonkeyConsole[]", "SaveRunningEDonkey",
       "SendToEDonkeyConsole[x]y]"});
  EXPECT_TRUE(host.scriptRunningSeen);
  const std::vector<std::string> expected = {"update All",
                                             "update HTML",
                                             "update MET",
                                             "update BOT",
                                             "update DNS",
                                             "verify all",
                                             "verify checked",
                                             "start client",
                                             "start file /tmp/a b.txt",
                                             "console n 1.2.3.4 4661",
                                             "transfer",
                                             "console x"};
  EXPECT_EQ(host.calls, expected);
  EXPECT_EQ(Body(), LogText{});
}

TEST_F(ScriptExecutorTest, RelativeNamesCountFromTheScriptsFolder) {
  test::WriteFile(app.dir.file("in.html"), "ed2k://|server|5.6.7.8|4242|/");
  test::WriteFile(app.dir.file("t.tpl"), "%servercount%");
  ScriptRun run;
  run.folder = scriptFolder(app.dir.file("job.rvs"));
  const std::string elsewhere = (fs::temp_directory_path() / "a.txt").string();
  execScript({"RefreshCustomHTML[in.html]", "SaveTemplate[t.tpl|out.txt]", "StartFile[doc.txt]",
              "StartFile[" + elsewhere + "]", "StartFile[https://example.org/a]"},
             list, host, app.ctx, run);
  EXPECT_EQ(test::ReadFile(app.dir.file("out.txt")), "3");
  EXPECT_EQ(host.calls, (std::vector<std::string>{"start file " + app.dir.file("doc.txt"),
                                                  "start file " + elsewhere,
                                                  "start file https://example.org/a"}));
  // "~/" is the home folder, as in a shell.
  EXPECT_EQ(resolveScriptPath(run.folder, "~/b.txt"), platform::homeDirectory() + "/b.txt");
  // Lines of no file (ravelin-cli's -e) count from the current directory.
  const fs::path cwd = fs::current_path();
  fs::current_path(app.dir.path());
  Run({"ClearList", "RefreshCustomHTML[in.html]"});
  fs::current_path(cwd);
  EXPECT_EQ(list.size(), 1u);
}

TEST_F(ScriptExecutorTest, TransferNeedsACheckedServer) {
  Run({"UnCheckAll", "SaveRunningEDonkey", "ClearList", "SaveRunningEDonkey"});
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(ScriptExecutorTest, CloseUtilsCancelledGoesOnAndRunOutEndsTheScript) {
  ScriptRun run = Run({"CloseUtils", "UnCheckAll"});
  EXPECT_FALSE(run.closed);
  EXPECT_FALSE(app.ctx.state.closeConfirmed);
  EXPECT_EQ(Marks(list), (std::vector<bool>{false, false, false}));

  host.countdownRunsOut = true;
  run = Run({"CheckAll", "CloseUtils", "UnCheckAll"});
  EXPECT_TRUE(run.closed);
  EXPECT_EQ(run.line, 2u);
  EXPECT_TRUE(app.ctx.state.closeConfirmed);
  EXPECT_FALSE(app.ctx.state.scriptRunning);
  EXPECT_EQ(Marks(list), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(app.logLines().back(), "Script execution stopped");
}

TEST_F(ScriptExecutorTest, AnErrorEndsTheScriptAfterTheCleanUp) {
  host.onUpdate = [] { throw platform::FileError("boom"); };
  ScriptRun run;
  EXPECT_THROW(
      execScript({"HideWindows", "", "UpdateFromAll", "CheckAll"}, list, host, app.ctx, run),
      platform::FileError);
  EXPECT_EQ(run.line, 3u);
  EXPECT_FALSE(app.ctx.state.scriptRunning);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"hide", "update All", "restore"}));
  EXPECT_EQ(Body(), (LogText{"Main window hidden"}));
  EXPECT_EQ(Marks(list), (std::vector<bool>{true, false, true}));
}

TEST_F(ScriptExecutorTest, RefreshFromCustomFiles) {
  // Files written by the writers of the program itself.
  ServerList source;
  source.append(makeServer("4.4.4.4", "4661", "10"), true);
  source.append(makeServer("5.5.5.5", "4662", "20"), true);
  ASSERT_TRUE(writeServersToMet(source, app.dir.file("a.met"), host.bar, app.ctx));
  ASSERT_TRUE(writeServersToBOT(source, app.dir.file("a.bot"), host.bar, app.ctx));
  test::WriteFile(app.dir.file("links.html"),
                  "<a href=\"ed2k://|server|6.6.6.6|4661|/\">x</a> ed2k://|server|1.1.1.1|4661|/");
  fs::remove(app.ctx.log.logFileName);

  const ScriptRun run =
      Run({"RefreshCustomMET[" + app.dir.file("a.met") + "]", "ClearList",
           "RefreshCustomBOT[" + app.dir.file("a.bot") + "]",
           "refreshcustomhtml[" + app.dir.file("links.html") + "]", "RefreshCustomMET[]",
           "RefreshCustomMET[" + app.dir.file("missing.met") + "]",
           "RefreshCustomBOT[" + app.dir.file("a.bot")});
  EXPECT_EQ(Ips(list), (std::vector<std::string>{"4.4.4.4", "5.5.5.5", "6.6.6.6", "1.1.1.1"}));
  EXPECT_EQ(Marks(list), (std::vector<bool>{true, true, true, true}));
  ASSERT_EQ(run.failures.size(), 1u);
  EXPECT_EQ(run.failures[0],
            (ScriptFailure{6, "File not found: " + app.dir.file("missing.met"), {}}));
  EXPECT_FALSE(host.bar.visible());
}

TEST_F(ScriptExecutorTest, RefreshEDonkeyMetReadsTheClientsFile) {
  ServerList source;
  source.append(makeServer("7.7.7.7"), true);
  ASSERT_TRUE(writeServersToMet(source, app.dir.file("server.met"), host.bar, app.ctx));
  Run({"ClearList", "RefreshEDonkeyMET"});
  EXPECT_EQ(Ips(list), std::vector<std::string>{"7.7.7.7"});
  // Without the file the command does nothing.
  fs::remove(app.dir.file("server.met"));
  const ScriptRun run = Run({"ClearList", "RefreshEDonkeyMET"});
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(run.failures.empty());
}

TEST_F(ScriptExecutorTest, SaveTemplateWithoutASplitterBeforeTheLastCharacterKeepsTheTemplate) {
  const std::string tpl = app.dir.file("t.tpl]");
  test::WriteFile(tpl, "%ip%");
  const ScriptRun run = Run({"SaveTemplate[" + app.dir.file("t.tpl") + "]|"});
  EXPECT_EQ(test::ReadFile(tpl), "%ip%");
  ASSERT_EQ(run.failures.size(), 1u);
  EXPECT_EQ(run.failures[0].message, "No output file: " + tpl);
}

TEST_F(ScriptExecutorTest, AnUnreadableHtmlFileEndsTheScript) {
  ScriptRun run;
  EXPECT_THROW(execScript({"RefreshCustomHTML[" + app.dir.file("none.html") + "]", "ClearList"},
                          list, host, app.ctx, run),
               platform::FileError);
  EXPECT_EQ(run.line, 1u);
  EXPECT_EQ(list.size(), 3u);
  EXPECT_EQ(Body(), LogText{});
}

TEST_F(ScriptExecutorTest, SaveKeepsTheOldFileAsBackupAndWritesTheCheckedServers) {
  const std::string target = app.dir.file("a.met");
  test::WriteFile(target, "old contents");
  test::WriteFile(target + ".UPD.BAK", "older contents");
  Run({"SaveCustomMET[" + target + "]"});
  EXPECT_EQ(test::ReadFile(target + ".UPD.BAK"), "old contents");
  ServerList back;
  readServersFromMet(back, target, host.bar, app.ctx);
  EXPECT_EQ(Ips(back), (std::vector<std::string>{"1.1.1.1", "3.3.3.3"}));

  // The other writers follow the same rule.
  for (const char* cmd : {"SaveCustomTXT", "SaveCustomHTML", "SaveCustomBOT"}) {
    const std::string out = app.dir.file(std::string(cmd) + ".out");
    test::WriteFile(out, "previous");
    Run({std::string(cmd) + "[" + out + "]"});
    EXPECT_EQ(test::ReadFile(out + ".UPD.BAK"), "previous") << cmd;
  }
  // Each holds what its writer writes for the list.
  writeServersToTXT(list, app.dir.file("ref.txt"), host.bar, app.ctx);
  writeServersToHTML(list, app.dir.file("ref.html"), host.bar, app.ctx);
  ASSERT_TRUE(writeServersToBOT(list, app.dir.file("ref.bot"), host.bar, app.ctx));
  EXPECT_EQ(test::ReadFile(app.dir.file("SaveCustomTXT.out")),
            test::ReadFile(app.dir.file("ref.txt")));
  EXPECT_EQ(test::ReadFile(app.dir.file("SaveCustomHTML.out")),
            test::ReadFile(app.dir.file("ref.html")));
  EXPECT_EQ(test::ReadFile(app.dir.file("SaveCustomBOT.out")),
            test::ReadFile(app.dir.file("ref.bot")));
}

TEST_F(ScriptExecutorTest, SaveWithoutCheckedServersLeavesEverythingAlone) {
  const std::string target = app.dir.file("a.met");
  test::WriteFile(target, "old contents");
  test::WriteFile(target + ".UPD.BAK", "older contents");
  Run({"UnCheckAll", "SaveCustomMET[" + target + "]", "SaveEDonkeyMET",
       "SaveCustomTXT[" + app.dir.file("new.txt") + "]"});
  EXPECT_EQ(test::ReadFile(target), "old contents");
  EXPECT_EQ(test::ReadFile(target + ".UPD.BAK"), "older contents");
  EXPECT_FALSE(fs::exists(app.dir.file("new.txt")));
  EXPECT_FALSE(fs::exists(app.dir.file("server.met")));
}

TEST_F(ScriptExecutorTest, SavePathIsTheRestWithoutItsLastCharacter) {
  const std::string target = app.dir.file("a.met");
  Run({"SaveCustomMET[" + target + "] ", "SaveCustomTXT[]", "SaveCustomTXT[" + target + ".txt"});
  EXPECT_TRUE(fs::exists(target + "]"));
  EXPECT_FALSE(fs::exists(target));
  EXPECT_FALSE(fs::exists(target + ".txt"));
}

TEST_F(ScriptExecutorTest, SaveFailureIsNotedAndTheScriptGoesOn) {
  list.append(makeServer("8.8.8.8", "4661", "many"), true);  // no number: cannot be written
  const ScriptRun run = Run({"SaveCustomMET[" + app.dir.file("bad.met") + "]", "UnCheckAll"});
  ASSERT_EQ(run.failures.size(), 1u);
  EXPECT_EQ(run.failures[0].line, 1u);
  EXPECT_EQ(run.failures[0].message, kMetSaveErrorText);
  EXPECT_FALSE(fs::exists(app.dir.file("bad.met")));
  EXPECT_TRUE(app.prompter.shown.empty());
  EXPECT_EQ(Marks(list), (std::vector<bool>{false, false, false, false}));
}

TEST_F(ScriptExecutorTest, SaveEDonkeyMetKeepsOneBackupGeneration) {
  Run({"SaveEDonkeyMET"});
  const std::string first = test::ReadFile(app.dir.file("server.met"));
  EXPECT_FALSE(first.empty());
  EXPECT_FALSE(fs::exists(app.dir.file("server.met.UPD.BAK")));
  Run({"CheckAll", "SaveEDonkeyMET"});
  EXPECT_EQ(test::ReadFile(app.dir.file("server.met.UPD.BAK")), first);
  ServerList back;
  readServersFromMet(back, app.dir.file("server.met"), host.bar, app.ctx);
  EXPECT_EQ(back.size(), 3u);
}

TEST_F(ScriptExecutorTest, SaveTemplateWritesThroughTheTemplate) {
  const std::string tpl = app.dir.file("t.tpl");
  test::WriteFile(tpl, "N=%servercount%\n%loopstart%%ip%:%port%\n%loopend%");
  const std::string out = app.dir.file("out.txt");
  const ScriptRun run = Run({"SaveTemplate[" + tpl + "|" + out + "]", "SaveTemplate[" + tpl + "|]",
                             "SaveTemplate[|]", "SaveTemplate[" + tpl + "]"});
  EXPECT_EQ(test::ReadFile(out), "N=2\n1.1.1.1:4661\n3.3.3.3:4663\n");
  EXPECT_FALSE(fs::exists(out + ".UPD.BAK"));  // no backup for templates
  // SaveTemplate[|] names no template: noted as a missing file.
  ASSERT_EQ(run.failures.size(), 1u);
  EXPECT_EQ(run.failures[0].line, 3u);
}

TEST_F(ScriptExecutorTest, SaveTemplateSkipsAMissingTemplateAndAnEmptySelection) {
  const std::string out = app.dir.file("out.html");
  ScriptRun run = Run({"SaveTemplate[" + app.dir.file("none.tpl") + "|" + out + "]"});
  EXPECT_FALSE(fs::exists(out));
  EXPECT_EQ(run.failures.size(), 1u);
  test::WriteFile(app.dir.file("t.tpl"), "%ip%");
  run = Run({"UnCheckAll", "SaveTemplate[" + app.dir.file("t.tpl") + "|" + out + "]"});
  EXPECT_FALSE(fs::exists(out));
  EXPECT_TRUE(run.failures.empty());
}

// Whatever a save, an update or a list file fails of, the command is noted and the script
// goes on.
TEST_F(ScriptExecutorTest, EveryFailedCommandIsNotedAndTheScriptGoesOn) {
  const std::string gone = app.dir.file("gone/");
  app.ctx.settings.URLs.clear();
  test::WriteFile(app.dir.file("t.tpl"), "%ip%");
  test::WriteFile(app.dir.file("empty.met"), "");
  test::WriteFile(app.dir.file("text.met"), "1.2.3.4:4661\n");
  const ScriptRun run =
      Run({"SaveCustomTXT[" + gone + "a.txt]", "SaveCustomHTML[" + gone + "a.html]",
           "SaveCustomBOT[" + gone + "a.bot]",
           "SaveTemplate[" + app.dir.file("t.tpl") + "|" + gone + "o.txt]", "UpdateFromAll",
           "RefreshCustomMET[" + app.dir.file("empty.met") + "]",
           "RefreshCustomMET[" + app.dir.file("text.met") + "]", "UnCheckAll"});
  ASSERT_EQ(run.failures.size(), 7u);
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(run.failures[i].line, i + 1);
  EXPECT_EQ(run.failures[4].message, "no update URLs configured");
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(run.failures[6].message, "<" + app.dir.file("text.met") +
                                         "> holds no server list: it does not begin as a MET file");
  // The writer's own line, then the script's.
  const LogText body = Body();
  ASSERT_GE(body.size(), 2u);
  EXPECT_EQ(body[1], run.failures[0].text());
  EXPECT_EQ(Marks(list), (std::vector<bool>{false, false, false}));  // UnCheckAll ran
}

#include <gtest/gtest.h>

#include <filesystem>

#include "app/ini_file.h"
#include "app/startup.h"
#include "cli/cli_runner.h"
#include "peers/loopback_peers.h"
#include "serverlist/met_file.h"
#include "serverlist/server_list.h"
#include "serverlist/text_writers.h"
#include "verify/verify_coordinator.h"

using namespace ravelin;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;
using namespace ravelin::app;

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

Server makeServer(const std::string& ip, const std::string& port, const std::string& users) {
  Server s;
  s.ip = ip;
  s.port = port;
  s.name = "Server " + ip;
  s.users = users;
  return s;
}

// A test folder with a ravelin.ini (logging on, the client directory inside the folder)
// and a MET file of three servers.
class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    fs::create_directories(dir.path() / "client");
    // A client program of its own: the hand-over test's amuled must not count as running.
    writeIni("[general]\nLOG=1\nEDPath=" + dir.file("client") +
             "/\nEDFilename=" + dir.file("client/no-client") + "\n");
    ServerList list;
    list.append(makeServer("1.1.1.1", "4661", "50"), true);
    list.append(makeServer("2.2.2.2", "4662", "150"), true);
    list.append(makeServer("3.3.3.3", "4663", "500"), true);
    test::TestApp app;
    test::RecordingProgressBar bar;
    EXPECT_TRUE(writeServersToMet(list, dir.file("in.met"), bar, app.ctx));
  }
  void writeIni(const std::string& text) { test::WriteFile(ini(), text); }
  std::string ini() const { return dir.file("ravelin.ini"); }
  std::string script(const Lines& lines, const std::string& name = "job.rvs") {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    test::WriteFile(dir.file(name), text);
    return dir.file(name);
  }
  test::CliResult run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--ini", ini()});
    return test::runCli(args, dir);
  }
  // The messages of this run's log file.
  Lines log() const {
    Lines lines;
    const fs::path logDir = dir.path() / "log";
    if (!fs::exists(logDir)) return lines;
    for (const auto& entry : fs::directory_iterator(logDir)) {
      std::string text = test::ReadFile(entry.path().string());
      size_t start = 0;
      while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        const auto dash = line.find(" - ");
        lines.push_back(dash == std::string::npos ? line : line.substr(dash + 3));
        start = end + 1;
      }
    }
    return lines;
  }
  std::vector<std::string> readMetIps(const std::string& path) {
    test::TestApp app;
    test::RecordingProgressBar bar;
    ServerList list;
    readServersFromMet(list, path, bar, app.ctx);
    std::vector<std::string> ips;
    for (const auto& e : list.entries()) ips.push_back(e.server.ip + " " + e.server.pref);
    return ips;
  }

  test::TempDir dir;
};

// A user's set-up lives in the config and state folders, never beside the program; older
// places are moved there, and a named ravelin.ini keeps its state beside it.
TEST_F(CliTest, FilesLiveInTheConfigAndStateFoldersNotBesideTheProgram) {
  const std::string bin = dir.file("bin"), cli = bin + "/ravelin-cli";
  fs::create_directories(bin);
  fs::copy_file(test::kCliBinary, cli);
  const StartupEnvironment env{bin, dir.file("config"), dir.file("state"), dir.file("home")};
  const Lines inEnv = {"env", "HOME=" + env.home, "XDG_CONFIG_HOME=" + env.configHome,
                       "XDG_STATE_HOME=" + env.stateHome};
  FilePlaces places = locateFiles(env);
  // An older set-up: logs and the hand-over record beside a ravelin.ini others may read.
  const std::string old = dir.file("config/ravelin");
  fs::create_directories(old + "/log");
  test::WriteFile(places.iniFile, "[general]\nLOG=1\nLogKeep=3\n");
  fs::permissions(places.iniFile, fs::perms(0644));
  test::WriteFile(old + "/ravelin-transfer.ini", "[transfer]\nlast=1\n");
  for (const char* name : {"12-07-2026_14-03-09-045.log", "2026-12-08_10-00-00.log",
                           "01-05-2027_09-00-00-000.log", "notes.log"})
    test::WriteFile(old + "/log/" + name, "x\n");
  fs::last_write_time(old + "/log/notes.log",
                      fs::file_time_type::clock::now() - std::chrono::hours(9000));

  const std::string job = script({"CheckAll"});  // a run that saves ravelin.ini (history)
  const auto r = test::runCli({"run", job}, dir, {}, std::chrono::seconds(60), inEnv, cli);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(std::distance(fs::directory_iterator(bin), {}), 1);  // the program alone
  EXPECT_EQ(fs::status(places.iniFile).permissions(), fs::perms(0600));
  EXPECT_EQ(IniFile(places.iniFile).readString("MRU", "History0", ""), job);
  EXPECT_FALSE(fs::exists(old + "/log"));
  EXPECT_EQ(test::ReadFile(places.transferFile), "[transfer]\nlast=1\n");
  // What Ravelin made or moved is the user's alone.
  for (const std::string& d : {env.stateHome + "/ravelin", places.logDir})
    EXPECT_EQ(fs::status(d).permissions(), fs::perms(0700)) << d;
  EXPECT_EQ(fs::status(places.transferFile).permissions(), fs::perms(0600));
  Lines logs;
  for (const auto& e : fs::directory_iterator(places.logDir))
    logs.push_back(e.path().filename().string());
  std::sort(logs.begin(), logs.end());
  // LogKeep: this run's and the two newest before it; a file named otherwise is not a log.
  ASSERT_EQ(logs.size(), 4u);
  EXPECT_EQ(Lines(logs.begin(), logs.begin() + 2),
            (Lines{"01-05-2027_09-00-00-000.log", "2026-12-08_10-00-00.log"}));
  EXPECT_EQ(logs[3], "notes.log");
  EXPECT_EQ(fs::status(places.logDir + "/" + logs[2]).permissions(), fs::perms(0600));
  const std::string text = test::ReadFile(places.logDir + "/" + logs[2]);
  EXPECT_TRUE(text.ends_with(" - Main window and application closed\n")) << text;
  // Nothing is ever overwritten: with a record in the new place an old one stays.
  test::WriteFile(old + "/ravelin-transfer.ini", "[transfer]\nlast=2\n");
  EXPECT_TRUE(moveOldStateFiles(places).empty());
  EXPECT_EQ(test::ReadFile(old + "/ravelin-transfer.ini"), "[transfer]\nlast=2\n");
  // A move that fails keeps the old places in use.
  test::WriteFile(dir.file("blocked"), "");
  FilePlaces stuck = locateFiles({bin, env.configHome, dir.file("blocked"), env.home});
  EXPECT_EQ(moveOldStateFiles(stuck).size(), 1u);
  EXPECT_EQ(stuck.transferFile, old + "/ravelin-transfer.ini");

  // A named ravelin.ini is a set-up of its own; one written by hand for others to read is
  // made the user's alone.
  fs::permissions(ini(), fs::perms(0644));
  const auto named = test::runCli({"--ini", ini(), "-e", "CheckAll"}, dir, {},
                                  std::chrono::seconds(60), inEnv, cli);
  ASSERT_EQ(named.status, 0) << named.err;
  EXPECT_EQ(log().front(), "Ravelin successfully started - VARs initialized and WNDs created");
  EXPECT_EQ(std::distance(fs::directory_iterator(places.logDir), {}), 4);
  EXPECT_EQ(fs::status(ini()).permissions(), fs::perms(0600));
}

}  // namespace

TEST_F(CliTest, HelpVersionAndUsageErrors) {
  auto r = test::runCli({"--version"}, dir);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, std::string("ravelin-cli ") + RAVELIN_VERSION + "\n");
  r = test::runCli({"--help"}, dir);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Usage: ravelin-cli [options] run SCRIPT"), std::string::npos);
  EXPECT_NE(r.out.find("  -q, --quiet     print nothing but errors\n  -v, --verbose   print "
                       "every status line of updates and verifications\n  -h, --help "),
            std::string::npos);
  // Within 80 columns in every language (UTF-8 continuation bytes take none).
  for (const char* language : {"en", "de", "fr", "it", "es"}) {
    size_t column = 0, widest = 0;
    for (const char c : test::runCli({"--help"}, dir, {}, std::chrono::seconds(60),
                                     {"env", std::string("LANGUAGE=") + language, "LC_ALL=C.UTF-8"})
                            .out)
      widest = std::max(widest, column = c == '\n' ? 0 : column + ((c & 0xC0) != 0x80));
    EXPECT_LE(widest, 80u) << language;
  }
  for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                               {"run"},
                                               {"frobnicate", "x"},
                                               {"--bogus", "run", "x"},
                                               {"run", "a", "b"},
                                               {"-e"},
                                               {"-e", "CheckAll", "run", "x"},
                                               {"--ini"},
                                               {"--quiet", "--verbose", "-e", "CheckAll"}}) {
    r = test::runCli(args, dir);
    EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
    EXPECT_NE(r.err.find("ravelin-cli: "), std::string::npos);
    EXPECT_EQ(r.out, "");
  }
  // In the user's language, as LANGUAGE chooses it; the C locale keeps English.
  const std::vector<std::string> german = {"env", "LANGUAGE=de", "LC_ALL=C.UTF-8"};
  r = test::runCli({"--help"}, dir, {}, std::chrono::seconds(60), german);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("Aufruf: ravelin-cli [options] run SCRIPT\n", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("\nRückgabewert: 0 das Skript lief bis zum Ende"), std::string::npos);
  r = test::runCli({"frobnicate", "x"}, dir, {}, std::chrono::seconds(60), german);
  EXPECT_EQ(r.err.rfind("ravelin-cli: unbekannter Befehl frobnicate\n„ravelin-cli --help“", 0), 0u)
      << r.err;
  r = test::runCli({"--help"}, dir, {}, std::chrono::seconds(60),
                   {"env", "LANGUAGE=de", "LC_ALL=C"});
  EXPECT_EQ(r.out.rfind("Usage: ravelin-cli [options] run SCRIPT\n", 0), 0u) << r.out;
  // None of these touched the settings.
  EXPECT_FALSE(fs::exists(dir.path() / "log"));
}

TEST_F(CliTest, CheckReportsTheFirstWrongLine) {
  auto r = run({"check", script({"// ok", "CheckAll", "Delay[$1E]"})});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Syntax check successful!\n");
  // Besides the box's text, the file as given and the line the way compilers name them.
  const std::string given =
      fs::relative(script({"// header", "", "SaveTemplate[a.tpl]", "Bogus"})).string();
  r = run({"check", given});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "Error in script execution: Error in Line #3:\nSaveTemplate: No Filename-Splitter "
            "(\"|\") entered!\nScript execution will be aborted!\n" +
                given +
                ":3: SaveTemplate: No Filename-Splitter (\"|\") entered!\nSaveTemplate[a.tpl]\n");
  EXPECT_EQ(r.out, "");
  r = run({"--quiet", "check", script({"CheckAll"})});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  r = run({"check", dir.file("missing.rvs")});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("missing.rvs"), std::string::npos);
  // Checking runs nothing and logs nothing.
  EXPECT_TRUE(log().empty());
}

// systemd names the journal's stream in JOURNAL_STREAM; only that stream gets priorities.
TEST_F(CliTest, LinesToTheJournalCarryTheirSyslogPriority) {
  const auto inJournal = [this](const std::string& stream, std::vector<std::string> args) {
    args.insert(args.begin(), {"--ini", ini()});
    return test::runCli(args, dir, {}, std::chrono::seconds(60),
                        {"sh", "-c", "JOURNAL_STREAM=" + stream + " exec \"$0\" \"$@\""});
  };
  const std::string bad = script({"// header", "Bogus"});
  const std::string stderrItself = "$(stat -L -c %d:%i /proc/self/fd/2)";
  for (const auto& args : {std::vector<std::string>{"check", bad}, {"frobnicate", "x"}}) {
    auto r = inJournal(stderrItself, args);
    EXPECT_NE(r.status, 0);
    ASSERT_FALSE(r.err.empty());
    for (std::size_t at = 0; at < r.err.size(); at = r.err.find('\n', at) + 1)
      EXPECT_EQ(r.err.substr(at, 3), "<3>") << r.err;
    r = inJournal("1:2", args);
    EXPECT_EQ(r.err.find("<3>"), std::string::npos) << r.err;
  }
  const auto r = inJournal(stderrItself, {"--verbose", "-e", "CheckAll"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err.rfind("<6>", 0), 0u) << r.err;
}

TEST_F(CliTest, RunReadsFiltersAndSaves) {
  const std::string out = dir.file("out.met");
  const std::string txt = dir.file("out.txt");
  const std::string path =
      script({"// nightly job", "RefreshCustomMET[in.met]", "Filter[Users>100]", "SetPref[high]",
              "SaveCustomMET[out.met]", "SaveCustomTXT[" + txt + "]", "SaveEDonkeyMET"});
  const auto r = run({"run", fs::relative(path).string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");  // not a terminal: nothing but errors
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(readMetIps(out), (Lines{"2.2.2.2 High", "3.3.3.3 High"}));
  EXPECT_EQ(readMetIps(dir.file("client/server.met")), (Lines{"2.2.2.2 High", "3.3.3.3 High"}));
  const std::string table = test::ReadFile(txt);
  EXPECT_NE(table.find("3.3.3.3"), std::string::npos);
  EXPECT_EQ(table.find("1.1.1.1"), std::string::npos);
  const Lines expected = {"Ravelin successfully started - VARs initialized and WNDs created",
                          "Script execution started",
                          "Refreshed <3> servers from <" + dir.file("in.met") + ">",
                          "Serverlist successfully filtered",
                          "Server selection preference set to <high>",
                          "Saved <2> servers to <" + out + ">",
                          "Saved <2> servers to <" + txt + ">",
                          "Saved <2> servers to <" + dir.file("client/server.met") + ">",
                          "Script execution stopped",
                          "Main window and application closed"};
  EXPECT_EQ(log(), expected);
  // The script is now the most recent one.
  const IniFile saved(ini());
  EXPECT_EQ(saved.readString("MRU", "History0", ""), path);
  EXPECT_EQ(saved.readString("general", "LOG", ""), "1");  // the rest of the file is kept
}

TEST_F(CliTest, SecondSaveKeepsTheFirstAsBackup) {
  const std::string out = dir.file("out.met");
  const std::string in = "RefreshCustomMET[" + dir.file("in.met") + "]";
  ASSERT_EQ(run({"-e", in, "-e", "SaveCustomMET[" + out + "]"}).status, 0);
  const std::string first = test::ReadFile(out);
  ASSERT_EQ(run({"-e", in, "-e", "Filter[Users<100]", "-e", "SaveCustomMET[" + out + "]"}).status,
            0);
  EXPECT_EQ(test::ReadFile(out + ".UPD.BAK"), first);
  EXPECT_EQ(readMetIps(out), Lines{"1.1.1.1 Normal"});
  // Lines given with -e are no script file: the recent scripts stay as they were.
  EXPECT_FALSE(IniFile(ini()).sectionExists("MRU"));
}

TEST_F(CliTest, RecentScriptsKeepOneEntryPerScript) {
  const std::string a = script({"CheckAll"}, "a.rvs");
  const std::string b = script({"CheckAll"}, "b.rvs");
  ASSERT_EQ(run({"run", a}).status, 0);
  ASSERT_EQ(run({"run", b}).status, 0);
  ASSERT_EQ(run({"run", a}).status, 0);
  const IniFile saved(ini());
  EXPECT_EQ(saved.readString("MRU", "History0", ""), a);
  EXPECT_EQ(saved.readString("MRU", "History1", ""), b);
  EXPECT_EQ(saved.readString("MRU", "History2", ""), "");
}

TEST_F(CliTest, SyntaxCheckBeforeTheRun) {
  const std::string out = dir.file("out.met");
  const std::string bad = script({"RefreshCustomMET[" + dir.file("in.met") + "]",
                                  "SaveCustomMET[" + out + "]", "SetPref[medium]"});
  // The check refuses the script before anything runs, although ScrSyntaxCheck is off.
  auto r = run({"run", bad});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Error in Line #3:\nSetPref: No valid preference entered!"),
            std::string::npos);
  EXPECT_NE(r.err.find(bad + ":3: SetPref: No valid preference entered!\nSetPref[medium]\n"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(out));
  // An unclosed "[" and an unknown command: the first wrong line is reported.
  r = run({"-e", "CheckAll", "-e", "RefreshCustomMET[x.met", "-e", "Bogus"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Error in Line #2:\nRefreshCustomMET: \"]\" is missing!"), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("-e:2: RefreshCustomMET: \"]\" is missing!\nRefreshCustomMET[x.met\n"),
            std::string::npos);
  // --no-check runs it and skips the wrong line, whatever ScrSyntaxCheck says.
  writeIni("[general]\nEDPath=" + dir.file("client") + "/\n[script]\nScrSyntaxCheck=1\n");
  r = run({"--no-check", "run", bad});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(out));
  EXPECT_EQ(run({"--no-check", "-e", "Bogus"}).status, 0);
  // The refused script still counts as used.
  EXPECT_EQ(IniFile(ini()).readString("MRU", "History0", ""), bad);
}

TEST_F(CliTest, ACommandErrorStopsTheScriptWithStatusThree) {
  const std::string out = dir.file("out.met");
  const auto r =
      run({"-e", "RefreshCustomMET[" + dir.file("in.met") + "]", "-e",
           "RefreshCustomHTML[" + dir.file("none.html") + "]", "-e", "SaveCustomMET[" + out + "]"});
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("ravelin-cli: line 2: "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("none.html"), std::string::npos);
  EXPECT_FALSE(fs::exists(out));
  const Lines l = log();
  ASSERT_GE(l.size(), 2u);
  EXPECT_EQ(l[l.size() - 2], "Script execution stopped");
}

TEST_F(CliTest, AFailedSaveAndAMissingSourceAreReportedAfterTheRun) {
  const std::string out = dir.file("no-such-dir/out.met");
  const std::string txt = dir.file("out.txt");
  const auto r = run({"-e", "RefreshCustomMET[" + dir.file("gone.met") + "]", "-e",
                      "RefreshCustomMET[" + dir.file("in.met") + "]", "-e",
                      "SaveCustomMET[" + out + "]", "-e", "SaveCustomTXT[" + txt + "]"});
  EXPECT_EQ(r.status, 3);
  // The failed save names the system's reason, here and in the log.
  const std::string failedSave =
      "line 3: Error saving MET-File! Maybe data corrupted! (No such file or directory)";
  EXPECT_EQ(r.err, "ravelin-cli: line 1: File not found: " + dir.file("gone.met") +
                       "\nravelin-cli: " + failedSave + "\n");
  // The frame in the user's language around the system's reason.
  const auto german =
      test::runCli({"--ini", ini(), "-e", "RefreshCustomMET[" + dir.file("in.met") + "]", "-e",
                    "SaveCustomMET[" + out + "]"},
                   dir, {}, std::chrono::seconds(60), {"env", "LANGUAGE=de", "LC_ALL=C.UTF-8"});
  EXPECT_EQ(german.status, 3);
  EXPECT_EQ(german.err.rfind("ravelin-cli: Zeile 2: Fehler beim Speichern der MET-Datei!", 0), 0u)
      << german.err;
  const Lines l = log();
  EXPECT_EQ(std::count(l.begin(), l.end(), failedSave), 1);
  // The script went on after both.
  EXPECT_TRUE(fs::exists(txt));
  // A save with no server checked writes nothing, which --verbose says.
  const std::string none = run({"--verbose", "-e", "SaveCustomTXT[" + txt + "]", "-e",
                                "SaveEDonkeyMET", "-e", "RefreshEDonkeyMET"})
                               .err;
  // So does a client list that is not there yet.
  EXPECT_NE(none.find(dir.file("client/server.met") + "\": No such file or directory\n"),
            std::string::npos)
      << none;
  for (const std::string& file : {txt, dir.file("client/server.met")})
    EXPECT_NE(none.find("Nothing saved to " + file + ": no server is checked\n"),
              std::string::npos);
}

TEST_F(CliTest, CloseUtilsCountsDownAndEndsTheRun) {
  const std::string txt = dir.file("after.txt");
  const auto before = std::chrono::steady_clock::now();
  const auto r = run({"--verbose", "-e", "RefreshCustomMET[" + dir.file("in.met") + "]", "-e",
                      "HideWindows", "-e", "CloseUtils", "-e", "SaveCustomTXT[" + txt + "]"});
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(4900));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(fs::exists(txt));
  EXPECT_EQ(
      r.err,
      "Settings: " + ini() +
          "\nRavelin will close in 5 seconds.\nRavelin will close in 4 seconds.\nRavelin will "
          "close in 3 seconds.\nRavelin will close in 2 seconds.\nRavelin will close in 1 "
          "seconds.\nRavelin will close in 0 seconds.\n");
  const Lines l = log();
  ASSERT_GE(l.size(), 5u);
  EXPECT_EQ(l[3], "Main window hidden");
  EXPECT_EQ(l[4], "Closing Ravelin");
  EXPECT_EQ(l[5], "Script execution stopped");
}

TEST_F(CliTest, InterruptStopsADelay) {
  if (test::kThreadSanitizer)
    GTEST_SKIP() << "ravelin-cli built with ThreadSanitizer now and then loses a signal";
  const std::string txt = dir.file("after.txt");
  const auto r = test::runCli({"--ini", ini(), "-e", "RefreshCustomMET[" + dir.file("in.met") + "]",
                               "-e", "Delay[60]", "-e", "SaveCustomTXT[" + txt + "]"},
                              dir, [this](pid_t pid) {
                                // Interrupt once the line before the Delay has run.
                                const auto until =
                                    std::chrono::steady_clock::now() + std::chrono::seconds(20);
                                while (std::chrono::steady_clock::now() < until) {
                                  const Lines l = log();
                                  if (!l.empty() && l.back().rfind("Refreshed ", 0) == 0) break;
                                  std::this_thread::sleep_for(std::chrono::milliseconds(5));
                                }
                                // The Delay logs nothing as it begins: a moment more lets it
                                // begin, so the signal does not stop the run before it.
                                std::this_thread::sleep_for(std::chrono::milliseconds(500));
                                kill(pid, SIGINT);
                              });
  EXPECT_EQ(r.status, 130);
  EXPECT_EQ(r.err, "ravelin-cli: interrupted\n");
  EXPECT_FALSE(fs::exists(txt));
  const Lines l = log();
  ASSERT_GE(l.size(), 3u);
  EXPECT_TRUE(l[l.size() - 3].ends_with("> of <60> seconds: the run was interrupted"))
      << l[l.size() - 3];
  EXPECT_EQ(l[l.size() - 2], "Script execution stopped");
}

// 130 for SIGINT, 143 for SIGTERM, also when no line follows the one they interrupt, and
// when the program was started with both signals blocked (the mask is inherited).
TEST_F(CliTest, ASignalDuringTheLastLineEndsTheRunAsInterrupted) {
  if (test::kThreadSanitizer)
    GTEST_SKIP() << "ravelin-cli built with ThreadSanitizer now and then loses a signal";
  sigset_t interrupts, before;
  sigemptyset(&interrupts);
  sigaddset(&interrupts, SIGINT);
  sigaddset(&interrupts, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &interrupts, &before);
  for (const auto& c : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
    fs::remove_all(dir.path() / "log");
    const auto r = test::runCli({"--ini", ini(), "-e", "Delay[60]"}, dir, [&](pid_t pid) {
      // Once "Script execution started" is logged.
      for (int i = 0; i < 4000 && log().size() < 2; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      kill(pid, c.first);
    });
    EXPECT_EQ(r.status, c.second);
    EXPECT_EQ(r.err, "ravelin-cli: interrupted\n");
  }
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

TEST_F(CliTest, ClientCommandsWithoutTheClient) {
  const auto r = run({"-e", "RefreshCustomMET[" + dir.file("in.met") + "]", "-e", "StartEDonkey",
                      "-e", "SendToEDonkeyConsole[n 1.2.3.4 4661]", "-e", "SaveRunningEDonkey"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");  // quiet while the script runs
  const Lines l = log();
  EXPECT_EQ(std::count(l.begin(), l.end(), "Script execution stopped"), 1);
  for (const auto& line : l) EXPECT_EQ(line.find("EDonkey2000 started"), std::string::npos);
}

TEST_F(CliTest, StartEDonkeyStartsTheConfiguredClient) {
  const std::string marker = dir.file("client-ran");
  test::WriteFile(dir.file("client/donkey.sh"), "#!/bin/sh\ntouch '" + marker + "'\n");
  fs::permissions(dir.file("client/donkey.sh"), fs::perms::owner_all);
  writeIni("[general]\nLOG=1\nEDPath=" + dir.file("client") + "\nEDFilename=donkey.sh\n");
  const auto r = run({"-e", "StartEDonkey"});
  EXPECT_EQ(r.status, 0) << r.err;
  for (int i = 0; i < 200 && !fs::exists(marker); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  EXPECT_TRUE(fs::exists(marker));
  const Lines l = log();
  EXPECT_NE(std::find(l.begin(), l.end(),
                      "EDonkey2000 started with <" + dir.file("client/donkey.sh") + ">"),
            l.end());
}

TEST_F(CliTest, VerifyUnchecksServersThatRefuseAndSavesTheRest) {
  const test::LoopbackListener accepting;
  const std::uint16_t closed = test::ClosedLoopbackPort();
  ServerList list;
  list.append(makeServer("127.0.0.1", std::to_string(accepting.port()), "10"), true);
  list.append(makeServer("127.0.0.1", std::to_string(closed), "20"), true);
  test::TestApp app;
  test::RecordingProgressBar bar;
  ASSERT_TRUE(writeServersToMet(list, dir.file("local.met"), bar, app.ctx));
  // The warning dialog is never shown while a script runs, whatever VrfWarning says.
  writeIni("[general]\nLOG=1\n[verify]\nVrfWarning=1\nVrfTimeout=2\nVrfThreadCount=2\n");
  const std::string out = dir.file("verified.met");
  const auto r = run({"--verbose", "-e", "RefreshCustomMET[" + dir.file("local.met") + "]", "-e",
                      "VerifyAll", "-e", "SaveCustomMET[" + out + "]"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(readMetIps(out), Lines{"127.0.0.1 Normal"});
  ServerList back;
  readServersFromMet(back, out, bar, app.ctx);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].server.port, std::to_string(accepting.port()));
  // --verbose prints the verify window's status lines.
  EXPECT_NE(r.err.find("Verifying 2 server IPs...\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("(2/2)\n"), std::string::npos);
  EXPECT_NE(r.err.find("Thread "), std::string::npos);
  const Lines l = log();
  EXPECT_NE(std::find(l.begin(), l.end(), "Verifying 2 server IPs"), l.end());
}

// Offline, "verify, then save" keeps the list: a verification that reaches none of ten
// servers changes no check mark, logs why and ends with status 3. Once against refusing
// loopback ports, once in a private network namespace with no route (where 192.0.2.x may
// be tried: nothing can leave it).
TEST_F(CliTest, AVerificationThatReachesNoServerKeepsTheList) {
  const bool netns = std::system("unshare -n true >/dev/null 2>&1") == 0;
  const std::string refusing = std::to_string(test::ClosedLoopbackPort());
  for (const bool inNamespace : {false, true}) {
    if (inNamespace && !netns) GTEST_SKIP() << "no private network namespace (unshare -n failed)";
    ServerList list;
    for (int i = 1; i <= 10; ++i)
      list.append(inNamespace ? makeServer("192.0.2." + std::to_string(i), "4661", "1")
                              : makeServer("127.0.0." + std::to_string(i), refusing, "1"),
                  true);
    test::TestApp app;
    test::RecordingProgressBar bar;
    ASSERT_TRUE(writeServersToMet(list, dir.file("ten.met"), bar, app.ctx));
    const std::string out = dir.file("kept.met");
    const auto r = test::runCli(
        {"--ini", ini(), "-e", "RefreshCustomMET[" + dir.file("ten.met") + "]", "-e",
         "VerifyChecked", "-e", "SaveCustomMET[" + out + "]"},
        dir, {}, std::chrono::seconds(60), inNamespace ? Lines{"unshare", "-n"} : Lines{});
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_EQ(r.err, std::string("ravelin-cli: line 2: ") + verify::kNetworkDownText + "\n");
    EXPECT_EQ(readMetIps(out).size(), 10u);
    const Lines l = log();
    EXPECT_NE(std::find(l.begin(), l.end(), verify::kNetworkDownText), l.end());
  }
}

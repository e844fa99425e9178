#include "app/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string_view>

#include "app/ini_file.h"
#include "app/settings_store.h"
#include "platform/file_io.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;
using namespace ravelin::app;

namespace fs = std::filesystem;

namespace {

std::chrono::system_clock::time_point localTime(int year, int month, int day, int hour, int min,
                                                int sec, int ms) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = min;
  t.tm_sec = sec;
  t.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&t)) + std::chrono::milliseconds(ms);
}

std::tm localTm(int year, int month, int day, int hour, int min, int sec) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = min;
  t.tm_sec = sec;
  return t;
}

// "MM/DD/YYYY HH:MM:SS - " + message + LF, with the digits in their ranges.
bool isLogLine(std::string_view line, std::string_view message) {
  const std::string_view form = "00/00/0000 00:00:00 - ";
  if (line.size() != form.size() + message.size() + 1) return false;
  for (size_t i = 0; i < form.size(); ++i) {
    const bool digit = line[i] >= '0' && line[i] <= '9';
    if (form[i] == '0' ? !digit : line[i] != form[i]) return false;
  }
  auto number = [&](size_t at) { return (line[at] - '0') * 10 + (line[at + 1] - '0'); };
  if (number(0) < 1 || number(0) > 12 || number(3) < 1 || number(3) > 31 || number(11) > 23 ||
      number(14) > 59 || number(17) > 60)
    return false;
  return line.substr(form.size()) == std::string(message) + "\n";
}

// ---- where ravelin.ini lives ----

TEST(LocateFiles, TheRunningProgramHasADirectory) {
  const std::string exeDir = executableDirectory();
  ASSERT_FALSE(exeDir.empty());
  EXPECT_TRUE(fs::is_directory(exeDir));
  const StartupEnvironment env = currentStartupEnvironment();
  EXPECT_EQ(env.exeDir, exeDir);
  EXPECT_FALSE(env.home.empty());
}

TEST(TakeIniOption, RemovesTheOptionAndItsFile) {
  std::vector<std::string> args{"script.rvs", "--ini", "/tmp/a.ini", "more"};
  EXPECT_EQ(takeIniOption(args), "/tmp/a.ini");
  EXPECT_EQ(args, (std::vector<std::string>{"script.rvs", "more"}));

  std::vector<std::string> eq{"--ini=/tmp/b.ini", "x"};
  EXPECT_EQ(takeIniOption(eq), "/tmp/b.ini");
  EXPECT_EQ(eq, (std::vector<std::string>{"x"}));

  std::vector<std::string> none{"x"};
  EXPECT_FALSE(takeIniOption(none));
  EXPECT_EQ(none, (std::vector<std::string>{"x"}));

  std::vector<std::string> dangling{"x", "--ini"};
  EXPECT_THROW(takeIniOption(dangling), std::invalid_argument);
}

TEST(EnsureIniDirectory, CreatesTheMissingDirectories) {
  test::TempDir dir;
  const std::string ini = dir.file("a/b/ravelin.ini");
  ensureIniDirectory(ini);
  EXPECT_TRUE(fs::is_directory(dir.file("a/b")));
  EXPECT_FALSE(fs::exists(ini));
  test::WriteFile(dir.file("file"), "x");
  EXPECT_THROW(ensureIniDirectory(dir.file("file/sub/ravelin.ini")), platform::FileError);
}

// ---- logging ----

FilePlaces besideIni(const test::TestApp& app) {
  return placesBesideIni(app.dir.file("ravelin.ini"));
}

TEST(PrepareLogging, NothingHappensWithoutLOG) {
  test::TestApp app;
  app.ctx.settings.LOG = false;
  prepareLogging(app.ctx, besideIni(app), localTm(2026, 12, 7, 14, 3, 9), 45);
  EXPECT_FALSE(app.ctx.log.loggingActive);
  EXPECT_EQ(app.ctx.log.logFileName, "");
  EXPECT_FALSE(fs::exists(app.dir.file("log")));
  EXPECT_TRUE(app.prompter.shown.empty());
}

TEST(PrepareLogging, CreatesTheLogDirectoryBesideTheIniFile) {
  test::TestApp app;
  app.ctx.settings.LOG = true;
  prepareLogging(app.ctx, besideIni(app), localTm(2026, 12, 7, 14, 3, 9), 45);
  EXPECT_TRUE(app.ctx.log.loggingActive);
  EXPECT_TRUE(fs::is_directory(app.dir.file("log")));
  EXPECT_EQ(app.ctx.log.logFileName, clientFile(app.dir.file("log"), "2026-12-07_14-03-09.log"));
  // The file itself comes with the first line.
  EXPECT_FALSE(fs::exists(app.ctx.log.logFileName));
  app.ctx.log.writeLog("first");
  EXPECT_EQ(app.logLines(), (std::vector<std::string>{"first"}));
  EXPECT_TRUE(app.prompter.shown.empty());
}

TEST(PrepareLogging, AnExistingLogDirectoryIsUsed) {
  test::TestApp app;
  fs::create_directory(app.dir.file("log"));
  test::WriteFile(app.dir.file("log/older.log"), "x");
  app.ctx.settings.LOG = true;
  prepareLogging(app.ctx, besideIni(app), localTm(2027, 1, 2, 3, 4, 5), 6);
  EXPECT_TRUE(app.ctx.log.loggingActive);
  EXPECT_EQ(app.ctx.log.logFileName, clientFile(app.dir.file("log"), "2027-01-02_03-04-05.log"));
  EXPECT_EQ(test::ReadFile(app.dir.file("log/older.log")), "x");
}

TEST(PrepareLogging, AnUncreatableLogDirectoryShowsOneErrorAndLogsNothing) {
  test::TestApp app;
  // "log" is taken by a plain file, so no directory of that name can be made.
  test::WriteFile(app.dir.file("log"), "not a directory");
  app.ctx.settings.LOG = true;
  prepareLogging(app.ctx, besideIni(app), localTm(2026, 12, 7, 14, 3, 9), 45);
  ASSERT_EQ(app.prompter.shown.size(), 1u);
  EXPECT_EQ(app.prompter.shown[0].title, "Error");
  EXPECT_EQ(app.prompter.shown[0].text, "Subdirectory /log/ cannot be created!");
  EXPECT_EQ(app.prompter.shown[0].icon, MsgIcon::Error);
  EXPECT_EQ(app.prompter.shown[0].buttons, MsgButtons::Ok);
  EXPECT_FALSE(app.ctx.log.loggingActive);
  app.ctx.log.writeLog("lost");
  EXPECT_EQ(test::ReadFile(app.dir.file("log")), "not a directory");
  EXPECT_EQ(app.prompter.shown.size(), 1u);
}

TEST(PrepareLogging, OnlyOneLevelIsCreated) {
  test::TestApp app;
  // The ini file's own directory is missing: "log" inside it is not made, nor its parent.
  const std::string ini = app.dir.file("missing/ravelin.ini");
  app.ctx.settings.LOG = true;
  prepareLogging(app.ctx, placesBesideIni(ini), localTm(2026, 12, 7, 14, 3, 9), 45);
  EXPECT_EQ(app.prompter.shown.size(), 1u);
  EXPECT_FALSE(app.ctx.log.loggingActive);
  EXPECT_FALSE(fs::exists(app.dir.file("missing")));
}

// ---- the whole start-up and shutdown ----

class AppSessionTest : public ::testing::Test {
 protected:
  test::TestApp app;
  std::string ini = app.dir.file("ravelin.ini");
  AppSessionTest() {
    app.ctx.log.loggingActive = false;
    app.ctx.log.logFileName.clear();
  }
  std::vector<std::string> logFiles() const {
    std::vector<std::string> names;
    if (!fs::is_directory(app.dir.file("log"))) return names;
    for (const auto& e : fs::directory_iterator(app.dir.file("log")))
      names.push_back(e.path().filename().string());
    return names;
  }
};

TEST_F(AppSessionTest, AFreshStartGivesTheDefaultsAndCreatesNothing) {
  app.ctx.state.scriptRunning = true;
  app.ctx.settings.UpdThreadCount = 7;
  {
    AppSession session(app.ctx, ini);
    session.start();
    EXPECT_TRUE(session.started());
    EXPECT_FALSE(app.ctx.state.scriptRunning);
    EXPECT_EQ(app.ctx.settings.UpdThreadCount, 1);
    EXPECT_EQ(app.ctx.settings.EDFilename, Settings::defaultEDFilename());
    EXPECT_EQ(app.ctx.settings.EDPath, Settings::defaultEDPath());
    EXPECT_FALSE(app.ctx.log.loggingActive);
    EXPECT_TRUE(session.history().isEmpty());
    session.close();
  }
  EXPECT_TRUE(fs::is_empty(app.dir.path()));
  EXPECT_TRUE(app.prompter.shown.empty());
}

TEST_F(AppSessionTest, LogsTheStartAndTheCloseLine) {
  test::WriteFile(ini, "[general]\r\nLOG=1\r\n");
  {
    AppSession session(app.ctx, ini);
    session.start(localTime(2026, 12, 7, 14, 3, 9, 45));
    EXPECT_EQ(app.ctx.log.logFileName, clientFile(app.dir.file("log"), "2026-12-07_14-03-09.log"));
    session.close();
  }
  EXPECT_EQ(logFiles(), (std::vector<std::string>{"2026-12-07_14-03-09.log"}));
  const std::string text = test::ReadFile(app.ctx.log.logFileName);
  const size_t split = text.find('\n') + 1;
  EXPECT_TRUE(isLogLine(text.substr(0, split),
                        "Ravelin successfully started - VARs initialized and WNDs created"))
      << text;
  EXPECT_TRUE(isLogLine(text.substr(split), "Main window and application closed")) << text;
  // The ini file is only read.
  EXPECT_EQ(test::ReadFile(ini), "[general]\r\nLOG=1\r\n");
}

TEST_F(AppSessionTest, ASecondRunInTheSameSecondAddsTheMilliseconds) {
  test::WriteFile(ini, "[general]\nLOG=1\n");
  const auto when = localTime(2026, 12, 7, 14, 3, 9, 45);
  fs::create_directory(app.dir.file("log"));
  test::WriteFile(app.dir.file("log/2026-12-07_14-03-09.log"), "earlier\n");
  AppSession(app.ctx, ini).start(when);
  EXPECT_EQ(app.ctx.log.logFileName,
            clientFile(app.dir.file("log"), "2026-12-07_14-03-09-045.log"));
  EXPECT_EQ(test::ReadFile(app.dir.file("log/2026-12-07_14-03-09.log")), "earlier\n");
  // A third in the same millisecond goes on in that file.
  AppSession(app.ctx, ini).start(when);
  EXPECT_EQ(app.logLines().size(), 2u);
}

TEST_F(AppSessionTest, AnUnwritableLogFileShowsNothing) {
  test::WriteFile(ini, "[general]\nLOG=1\n");
  // The log directory exists, but a directory stands where this run's file would go.
  fs::create_directories(app.dir.file("log/2026-12-07_14-03-09.log"));
  AppSession session(app.ctx, ini);
  session.start(localTime(2026, 12, 7, 14, 3, 9, 45));
  session.close();
  EXPECT_TRUE(app.ctx.log.loggingActive);
  EXPECT_TRUE(app.prompter.shown.empty());
  EXPECT_TRUE(fs::is_empty(app.dir.file("log/2026-12-07_14-03-09.log")));
}

TEST_F(AppSessionTest, AnUncreatableLogDirectoryShowsOneBoxThenRunsWithoutLog) {
  test::WriteFile(ini, "[general]\nLOG=1\n");
  test::WriteFile(app.dir.file("log"), "");
  AppSession session(app.ctx, ini);
  session.start();
  session.close();
  ASSERT_EQ(app.prompter.shown.size(), 1u);
  EXPECT_EQ(app.prompter.shown[0].text, "Subdirectory /log/ cannot be created!");
  EXPECT_FALSE(app.ctx.log.loggingActive);
  EXPECT_TRUE(app.ctx.settings.LOG);
  EXPECT_EQ(test::ReadFile(app.dir.file("log")), "");
}

TEST_F(AppSessionTest, LoadsTheRecentScriptsAndSavesThemAtDestruction) {
  test::WriteFile(ini, "[MRU]\nHistory0=/s/one.rvs\n");
  {
    AppSession session(app.ctx, ini);
    session.start();
    EXPECT_EQ(session.history().paths(), (std::vector<std::string>{"/s/one.rvs"}));
    session.history().addFile("/s/two.rvs");
    session.close();
    // Not yet: the list is saved when the session ends.
    EXPECT_EQ(test::ReadFile(ini), "[MRU]\nHistory0=/s/one.rvs\n");
  }
  EXPECT_EQ(test::ReadFile(ini), "[MRU]\nHistory0=/s/two.rvs\nHistory1=/s/one.rvs\n");
}

TEST_F(AppSessionTest, SavesTheRecentScriptsIntoANewConfigDirectory) {
  const std::string xdgIni = app.dir.file("config/ravelin/ravelin.ini");
  {
    AppSession session(app.ctx, xdgIni);
    session.start();
    EXPECT_FALSE(fs::exists(app.dir.file("config")));
    session.history().addFile("/s/x.rvs");
  }
  EXPECT_EQ(IniFile(xdgIni).readString("MRU", "History0", ""), "/s/x.rvs");
}

TEST_F(AppSessionTest, ASessionThatNeverStartedWritesNothing) {
  {
    AppSession session(app.ctx, ini);
    session.history().addFile("/s/x.rvs");
  }
  EXPECT_FALSE(fs::exists(ini));
}

TEST_F(AppSessionTest, AFailedHistorySaveAtDestructionIsSwallowed) {
  const std::string blocked = app.dir.file("blocked/ravelin.ini");
  test::WriteFile(app.dir.file("blocked"), "a file, not a directory");
  {
    AppSession session(app.ctx, blocked);
    session.start();
    session.history().addFile("/s/x.rvs");
    EXPECT_THROW(session.saveHistory(), platform::FileError);
  }
  EXPECT_EQ(test::ReadFile(app.dir.file("blocked")), "a file, not a directory");
}

TEST_F(AppSessionTest, SavesSettingsAndTheWarningFlag) {
  const std::string xdgIni = app.dir.file("config/ravelin/ravelin.ini");
  AppSession session(app.ctx, xdgIni);
  session.start();
  app.ctx.settings.UpdThreadCount = 3;
  app.ctx.settings.URLs = {test::Source("MET|http://127.0.0.1/x.met")};
  session.saveSettings();
  EXPECT_EQ(loadSettings(xdgIni).UpdThreadCount, 3);
  EXPECT_EQ(loadSettings(xdgIni).URLs, app.ctx.settings.URLs);
  app.ctx.settings.VrfWarning = false;
  session.saveVrfWarning();
  EXPECT_FALSE(loadSettings(xdgIni).VrfWarning);
}

}  // namespace

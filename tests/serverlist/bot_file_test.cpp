#include <gtest/gtest.h>

#include <filesystem>

#include "serverlist/bot_file.h"
#include "support/child_process.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;

using test::Bytes;
using test::ReadFile;
using test::WriteFile;

namespace {

const std::string kWorkedRecord =
    Bytes({0x3A, 0x01, 0x02, 0x03, 0x04, 0x35, 0x12, 0x01, 0x2C, 0x01});

std::string record(int a, int b, int c, int d, int port, int pref, int users) {
  return Bytes({':', a, b, c, d, port & 0xFF, port >> 8, pref, users & 0xFF, users >> 8});
}

Server server(const std::string& ip, const std::string& port,
              std::initializer_list<std::pair<int, std::string>> fields = {}) {
  Server s;
  s.ip = ip;
  s.port = port;
  for (const auto& [index, value] : fields) s.field(index) = value;
  return s;
}

class BotFileTest : public ::testing::Test {
 protected:
  test::TestApp app;
  test::TempDir dir;
  ServerList list;
  test::RecordingProgressBar bar;
  std::string path = dir.file("list.bot");
};

}  // namespace

TEST_F(BotFileTest, WritesTheWorkedExample) {
  list.append(server("1.2.3.4", "4661", {{fPref, "High"}, {fUsers, "300"}, {fName, "dropped"}}),
              true);
  list.append(server("5.6.7.8", "1"), false);
  ASSERT_TRUE(writeServersToBOT(list, path, bar, app.ctx));
  EXPECT_EQ(ReadFile(path), kWorkedRecord);
  EXPECT_EQ(app.logLines(), std::vector<std::string>{"Saved <1> servers to <" + path + ">"});
  EXPECT_FALSE(bar.visible());
  EXPECT_EQ(bar.max(), 1);
  EXPECT_EQ(bar.maxSeen, 1);
}

TEST_F(BotFileTest, ReadsTheWorkedExampleBack) {
  WriteFile(path, kWorkedRecord);
  readServersFromBOT(list, path, bar, app.ctx);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_TRUE(list[0].checked);
  EXPECT_EQ(list[0].server, server("1.2.3.4", "4661", {{fPref, "High"}, {fUsers, "300"}}));
  EXPECT_EQ(app.logLines(), std::vector<std::string>{"Refreshed <1> servers from <" + path + ">"});
  EXPECT_TRUE(list.statusCounting);
  EXPECT_FALSE(bar.visible());
}

TEST_F(BotFileTest, StrayBytesAreSkippedAndTheLogCountsTheSize) {
  // Two records and five stray bytes: 25 bytes, logged as 2.
  WriteFile(path,
            "ab" + record(1, 2, 3, 4, 4661, 0, 5) + "c" + record(1, 2, 3, 5, 4662, 2, 6) + "de");
  readServersFromBOT(list, path, bar, app.ctx);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].server, server("1.2.3.5", "4662", {{fPref, "Low"}, {fUsers, "6"}}));
  EXPECT_EQ(app.logLines(), std::vector<std::string>{"Refreshed <2> servers from <" + path + ">"});
  EXPECT_EQ(bar.max(), 2);
}

TEST_F(BotFileTest, AStrayColonStartsARecord) {
  // The ":" in the junk starts a record that swallows the real record's mark.
  WriteFile(path, std::string("x:") + Bytes({9, 9, 9, 9}) + record(1, 2, 3, 4, 4661, 0, 5));
  std::vector<Server> parsed = parseBot(ReadFile(path));
  ASSERT_GE(parsed.size(), 1u);
  EXPECT_EQ(parsed[0].ip, "9.9.9.9");
  EXPECT_EQ(parsed[0].port, std::to_string(':' | 1 << 8));
}

TEST_F(BotFileTest, PreferenceBytes) {
  WriteFile(path, record(1, 2, 3, 4, 1, 7, 0) + record(1, 2, 3, 5, 1, 0, 0) +
                      record(1, 2, 3, 6, 1, 2, 0) + record(1, 2, 3, 7, 1, 1, 0));
  readServersFromBOT(list, path, bar, app.ctx);
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0].server.pref, "Normal");
  EXPECT_EQ(list[1].server.pref, "Normal");
  EXPECT_EQ(list[2].server.pref, "Low");
  EXPECT_EQ(list[3].server.pref, "High");
}

TEST_F(BotFileTest, UsersAreCutTo16BitsAndNAIsZero) {
  list.append(server("1.2.3.4", "4661", {{fUsers, "70000"}}), true);
  list.append(server("1.2.3.5", "4661", {{fPref, "n/a"}}), true);
  list.append(server("1.2.3.6", "4661", {{fPref, "odd"}}), true);
  ASSERT_TRUE(writeServersToBOT(list, path, bar, app.ctx));
  EXPECT_EQ(ReadFile(path), record(1, 2, 3, 4, 4661, 0, 4464) + record(1, 2, 3, 5, 4661, 0, 0) +
                                record(1, 2, 3, 6, 4661, 0, 0));
  ServerList back;
  readServersFromBOT(back, path, bar, app.ctx);
  ASSERT_EQ(back.size(), 3u);
  EXPECT_EQ(back[0].server.users, "4464");
  EXPECT_EQ(back[1].server.users, "0");
}

TEST_F(BotFileTest, MergeRule) {
  list.append(server("1.2.3.4", "4661", {{fName, "listed"}, {fUsers, "1"}}), false);
  WriteFile(path, record(1, 2, 3, 4, 4661, 1, 99) + record(0, 1, 2, 3, 4661, 0, 0) +
                      record(1, 2, 3, 5, 65535, 0, 0) + record(1, 2, 3, 5, 40000, 0, 0) +
                      record(1, 2, 3, 5, 40000, 0, 0));
  readServersFromBOT(list, path, bar, app.ctx);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].server.name, "listed");
  EXPECT_EQ(list[0].server.users, "1");
  EXPECT_EQ(list[0].server.pref, "Normal");
  EXPECT_EQ(list[1].server.port, "65535");
  EXPECT_EQ(list[2].server.port, "40000");
  EXPECT_EQ(app.logLines(), std::vector<std::string>{"Refreshed <5> servers from <" + path + ">"});
}

TEST_F(BotFileTest, ARecordCutOffEndsTheImportWithoutALogLine) {
  WriteFile(path, record(1, 2, 3, 4, 4661, 0, 1) + record(1, 2, 3, 5, 4661, 0, 1).substr(0, 9));
  readServersFromBOT(list, path, bar, app.ctx);
  EXPECT_EQ(list.size(), 1u);
  EXPECT_TRUE(app.logLines().empty());
  EXPECT_TRUE(app.prompter.shown.empty());
  EXPECT_TRUE(list.statusCounting);
  EXPECT_FALSE(bar.visible());
}

TEST_F(BotFileTest, MissingFileEndsQuietly) {
  readServersFromBOT(list, dir.file("none.bot"), bar, app.ctx);
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(app.logLines().empty());
  EXPECT_TRUE(app.prompter.shown.empty());
}

TEST_F(BotFileTest, EmptyFileLogsZero) {
  WriteFile(path, "");
  readServersFromBOT(list, path, bar, app.ctx);
  EXPECT_EQ(app.logLines(), std::vector<std::string>{"Refreshed <0> servers from <" + path + ">"});
}

TEST_F(BotFileTest, ProgressPerRecordAndPumps) {
  std::string file;
  for (int i = 1; i <= 4; ++i) file += record(1, 2, 3, i, 4661, 0, 0);
  WriteFile(path, file);
  int visiblePumps = 0;
  app.ui.onPump = [&] {
    if (bar.visible()) {
      ++visiblePumps;
      EXPECT_FALSE(list.statusCounting);
    }
  };
  readServersFromBOT(list, path, bar, app.ctx);
  EXPECT_EQ(visiblePumps, 4);
  EXPECT_EQ(bar.max(), 4);
  EXPECT_EQ(bar.maxSeen, 4);
}

TEST_F(BotFileTest, WriteFailuresKeepTheOldFile) {
  WriteFile(path, "old");
  list.append(server("1.2.3.4", "port"), true);
  EXPECT_FALSE(writeServersToBOT(list, path, bar, app.ctx));
  EXPECT_EQ(ReadFile(path), "old");
  ASSERT_EQ(app.prompter.shown.size(), 1u);
  EXPECT_EQ(app.prompter.shown[0].title, "Warning");
  EXPECT_EQ(app.prompter.shown[0].text, "Error saving BOT-File! Maybe data corrupted!\r\n" + path);
  EXPECT_EQ(app.prompter.shown[0].icon, MsgIcon::Error);
  EXPECT_EQ(app.logLines(),
            std::vector<std::string>{"Saving <1> servers to <" + path + "> failed"});
  EXPECT_FALSE(bar.visible());

  list.setServer(0, server("1.2.3.4", "4661", {{fUsers, "lots"}}));
  EXPECT_FALSE(writeServersToBOT(list, path, bar, app.ctx));
  EXPECT_EQ(ReadFile(path), "old");

  app.prompter.shown.clear();
  app.ctx.state.scriptRunning = true;
  EXPECT_FALSE(writeServersToBOT(list, dir.file("missing/dir.bot"), bar, app.ctx));
  EXPECT_TRUE(app.prompter.shown.empty());
}

#ifndef _WIN32
// Write failures provoked as POSIX allows: a directory that is not writable, a file size limit.
TEST_F(BotFileTest, UnwritableDirectoryLeavesTheOldFile) {
  WriteFile(path, "old");
  list.append(server("1.2.3.4", "4661"), true);
  std::filesystem::permissions(
      dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                      std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
  const std::string result = test::RunInChild([&]() -> std::string {
    if (!test::DropRoot()) return "cannot drop root";
    if (writeServersToBOT(list, path, bar, app.ctx)) return "write reported success";
    if (app.prompter.shown.size() != 1 ||
        app.prompter.shown[0].text.rfind(kBotSaveErrorText, 0) != 0)
      return "no error box";
    return "";
  });
  std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
  EXPECT_EQ(result, "");
  EXPECT_EQ(ReadFile(path), "old");
}
#endif

TEST(ParseBot, LimitStrayBytesAndCutRecords) {
  std::string body;
  for (int i = 0; i < 30; ++i) body += "~" + record(10, 0, 0, i, 4661, i % 3, i * 100);
  EXPECT_EQ(parseBot(body).size(), 30u);
  EXPECT_EQ(parseBot(body, 10).size(), 10u);
  const std::vector<Server> cut = parseBot(body.substr(0, body.size() - 2));
  ASSERT_EQ(cut.size(), 29u);
  EXPECT_EQ(cut[28].ip, "10.0.0.28");
  EXPECT_EQ(cut[28].users, "2800");
  EXPECT_EQ(cut[28].pref, "High");
  EXPECT_EQ(cut[28].name, "n/a");
  // No validity or duplicate test here.
  EXPECT_EQ(parseBot(record(0, 0, 0, 0, 0, 0, 0) + record(0, 0, 0, 0, 0, 0, 0)).size(), 2u);
  EXPECT_TRUE(parseBot("").empty());
  EXPECT_TRUE(parseBot("no records here").empty());
}

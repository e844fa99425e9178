#include <gtest/gtest.h>

#include <filesystem>

#include "serverlist/met_file.h"
#include "serverlist/met_tags.h"
#include "support/child_process.h"
#include "support/met_bytes.h"
#include "support/server_list_support.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;

using namespace test::met;
using test::Bytes;
using test::ReadFile;
using test::WriteFile;

namespace {

const std::string kWorkedExample =
    Bytes({0x0E, 0x01, 0x00, 0x00, 0x00, 0x01, 0x02, 0x03, 0x04, 0x35, 0x12, 0x03, 0x00,
           0x00, 0x00, 0x03, 0x01, 0x00, 0x0E, 0x00, 0x00, 0x00, 0x00, 0x03, 0x01, 0x00,
           0x10, 0x01, 0x02, 0x03, 0x04, 0x03, 0x01, 0x00, 0x0F, 0x35, 0x12, 0x00, 0x00});

Server server(const std::string& ip, const std::string& port,
              std::initializer_list<std::pair<int, std::string>> fields = {}) {
  Server s;
  s.ip = ip;
  s.port = port;
  for (const auto& [index, value] : fields) s.field(index) = value;
  return s;
}

// Records the list's bulk-change protocol.
class ListWatch : public ServerListObserver {
 public:
  std::vector<std::string> events;
  void rowsInserted(size_t, size_t) override {}
  void rowsRemoved(size_t, size_t) override {}
  void rowChanged(size_t) override {}
  void listReset() override {}
  void statusChanged() override {}
  void updatesSuspended(bool s) override { events.push_back(s ? "suspend" : "resume"); }
};

class MetFileTest : public ::testing::Test {
 protected:
  test::TestApp app;
  test::TempDir dir;
  ServerList list;
  test::RecordingProgressBar bar;
  std::string path = dir.file("server.met");
  // The expected bytes are without the address tags unless a test asks for them.
  MetFileTest() { app.ctx.settings.MetAddressTags = false; }

  std::vector<std::string> shownTexts() const {
    std::vector<std::string> texts;
    for (const auto& p : app.prompter.shown) texts.push_back(p.text);
    return texts;
  }
};

}  // namespace

TEST_F(MetFileTest, WritesTheWorkedExampleWithAddressTags) {
  list.append(server("1.2.3.4", "4661"), true);
  app.ctx.settings.MetAddressTags = true;
  ASSERT_TRUE(writeServersToMet(list, path, bar, app.ctx));
  EXPECT_EQ(ReadFile(path), kWorkedExample);
  EXPECT_EQ(app.logLines(), std::vector<std::string>{"Saved <1> servers to <" + path + ">"});
  EXPECT_TRUE(app.prompter.shown.empty());
  EXPECT_FALSE(bar.visible());
  EXPECT_EQ(bar.max(), 1);
}

TEST_F(MetFileTest, WithoutAddressTagsTheCountIsTwoLess) {
  list.append(server("1.2.3.4", "4661"), true);
  app.ctx.settings.MetAddressTags = false;
  ASSERT_TRUE(writeServersToMet(list, path, bar, app.ctx));
  const std::string bytes = ReadFile(path);
  EXPECT_EQ(bytes, Bytes({0x0E, 0x01, 0x00, 0x00, 0x00, 0x01, 0x02, 0x03, 0x04, 0x35, 0x12, 0x01,
                          0x00, 0x00, 0x00, 0x03, 0x01, 0x00, 0x0E, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(bytes.size(), kWorkedExample.size() - 16);
}

TEST_F(MetFileTest, ReadsTheWorkedExampleBack) {
  WriteFile(path, kWorkedExample);
  readServersFromMet(list, path, bar, app.ctx);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_TRUE(list[0].checked);
  EXPECT_EQ(list[0].server, server("1.2.3.4", "4661"));
  EXPECT_EQ(app.logLines(), std::vector<std::string>{"Refreshed <1> servers from <" + path + ">"});
}

TEST_F(MetFileTest, WritesOnlyCheckedEntriesInListOrder) {
  list.append(server("1.1.1.1", "1", {{fName, "a"}}), true);
  list.append(server("2.2.2.2", "2", {{fName, "b"}}), false);
  list.append(server("3.3.3.3", "3", {{fPing, "5"}}), true);
  ASSERT_TRUE(writeServersToMet(list, path, bar, app.ctx));
  EXPECT_EQ(ReadFile(path), header(2) + entry({1, 1, 1, 1}, 1, {strTag(1, "a"), intTag(14, 0)}) +
                                entry({3, 3, 3, 3}, 3, {intTag(12, 5), intTag(14, 0)}));
  EXPECT_EQ(app.logLines(), std::vector<std::string>{"Saved <2> servers to <" + path + ">"});
  EXPECT_EQ(bar.maxSeen, 2);
  EXPECT_GE(app.ui.pumps, 3);
}

// A file as today's clients write it: the newer header byte, name and description
// twice, compact tags, integers of several widths and tags this program has no field for.
TEST_F(MetFileTest, ReadsAFileOfTodaysClientsAndKeepsWhatItDoesNotKnow) {
  const std::vector<std::string> unknown1 = {u16Tag(0x97, 80),
                                             u16Tag(0x98, 4242),
                                             intTag("maxusers", 50000),
                                             intTag("lowusers", 100),
                                             strTag("country", "DE"),
                                             shortStrTag(0x91, "17.15"),
                                             compact(0x03, 0x87, le(0x5F5E1000, 4)),
                                             compact(0x15, 0x85, "hello"),
                                             tag(0x01, idName(0x9A), std::string(16, '\x11')),
                                             compact(0x05, 0x9B, Bytes({1}))};
  std::vector<std::string> tags1 = {strTag(0x01, "Server One"),
                                    strTag(0x01, "Server One \xC3\xBC"),
                                    strTag(0x0B, "first description"),
                                    strTag(0x0B, "second description"),
                                    compact(0x03, 0x0C, le(35, 4)),
                                    compact(0x09, 0x0E, Bytes({1})),
                                    compact(0x03, 0x10, Bytes({10, 0, 0, 1})),
                                    compact(0x08, 0x0F, le(4661, 2)),
                                    intTag("users", 123456),
                                    tag(0x0B, textName("files"), le(9876543210ull, 8)),
                                    compact(0x03, 0x0D, le(2, 4))};
  tags1.insert(tags1.begin() + 4, unknown1.begin(), unknown1.end());
  const std::vector<std::string> unknown2 = {intTag(0x91, 0x0011000F)};
  const std::string file =
      header(2, 0xE0) + entry({10, 0, 0, 1}, 43333, tags1) +
      entry({10, 0, 0, 2}, 65535,
            {compact(0x14, 0x01, "Tiny"), unknown2[0], compact(0x08, 0x0C, le(65000, 2))});
  WriteFile(path, file);

  readServersFromMet(list, path, bar, app.ctx);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_TRUE(app.prompter.shown.empty());
  EXPECT_EQ(list[0].server, server("10.0.0.1", "43333",
                                   {{fName, "Server One \xC3\xBC"},
                                    {fDesc, "second description"},
                                    {fPing, "35"},
                                    {fPref, "High"},
                                    {fUsers, "123456"},
                                    {fFiles, "9876543210"},
                                    {fHist, "2"}}));
  std::string kept1;
  for (const auto& t : unknown1) kept1 += t;
  EXPECT_EQ(list[0].extraTags, kept1);
  EXPECT_EQ(list[0].extraTagCount, static_cast<int>(unknown1.size()));
  EXPECT_EQ(list[1].server, server("10.0.0.2", "65535", {{fName, "Tiny"}, {fPing, "65000"}}));
  EXPECT_EQ(list[1].extraTags, unknown2[0]);
  EXPECT_EQ(list[1].extraTagCount, 1);

  // Written back: the known tags in this program's order, then the kept ones.
  // "files" does not fit 32 bits, so the first entry cannot be written as it is.
  const std::string out = dir.file("out.met");
  EXPECT_FALSE(writeServersToMet(list, out, bar, app.ctx));
  Server fixed = list[0].server;
  fixed.files = "98765";
  list.setServer(0, fixed);
  app.prompter.shown.clear();
  ASSERT_TRUE(writeServersToMet(list, out, bar, app.ctx));
  const std::string written = ReadFile(out);
  EXPECT_EQ(
      written,
      header(2) +
          entry({10, 0, 0, 1}, 43333,
                {strTag(0x01, "Server One \xC3\xBC"), strTag(0x0B, "second description"),
                 intTag(0x0C, 35), intTag(0x0D, 2), intTag(0x0E, 1), intTag("users", 123456),
                 intTag("files", 98765), kept1},
                7 + static_cast<int>(unknown1.size())) +
          entry({10, 0, 0, 2}, 65535,
                {strTag(0x01, "Tiny"), intTag(0x0C, 65000), intTag(0x0E, 0), unknown2[0]}, 4));

  // And that file survives a read and a write byte for byte.
  ServerList again;
  readServersFromMet(again, out, bar, app.ctx);
  ASSERT_EQ(again.size(), 2u);
  EXPECT_EQ(again[0].extraTags, kept1);
  const std::string out2 = dir.file("out2.met");
  ASSERT_TRUE(writeServersToMet(again, out2, bar, app.ctx));
  EXPECT_EQ(ReadFile(out2), written);
}

TEST_F(MetFileTest, RoundTripIsByteExactWithAndWithoutAddressTags) {
  for (bool addressTags : {false, true}) {
    ServerList source;
    source.append(server("213.45.67.21", "4242",
                         {{fName, "N"}, {fDesc, "D"}, {fPing, "-1"}, {fUsers, "0"}, {fHist, "9"}}),
                  true);
    source.append(server("1.2.3.4", "04661", {{fPref, "Low"}, {fFiles, "12"}}), true);
    source.append(ServerEntry{server("5.6.7.8", "1"), true, intTag("country", 7), 1});
    app.ctx.settings.MetAddressTags = addressTags;
    ASSERT_TRUE(writeServersToMet(source, path, bar, app.ctx));
    const std::string first = ReadFile(path);
    ServerList read;
    readServersFromMet(read, path, bar, app.ctx);
    ASSERT_EQ(read.size(), 3u);
    // The port is read back as its number.
    EXPECT_EQ(read[1].server.port, "4661");
    EXPECT_EQ(read[2].extraTags, intTag("country", 7));
    const std::string second = dir.file("second.met");
    ASSERT_TRUE(writeServersToMet(read, second, bar, app.ctx));
    EXPECT_EQ(ReadFile(second), first) << addressTags;
  }
}

TEST_F(MetFileTest, ProgressAndBulkChangeProtocolWhileReading) {
  std::string file = header(3);
  for (int i = 1; i <= 3; ++i) file += entry({1, 2, 3, i}, 4661);
  WriteFile(path, file);
  ListWatch watch;
  list.setObserver(&watch);
  int pumpsDuringLoop = 0;
  app.ui.onPump = [&] {
    if (bar.visible()) {
      ++pumpsDuringLoop;
      EXPECT_FALSE(list.statusCounting);
      EXPECT_EQ(bar.max(), 3);
    }
  };
  readServersFromMet(list, path, bar, app.ctx);
  list.setObserver(nullptr);
  EXPECT_EQ(pumpsDuringLoop, 3);
  EXPECT_EQ(bar.maxSeen, 3);
  EXPECT_FALSE(bar.visible());
  EXPECT_TRUE(list.statusCounting);
  EXPECT_EQ(watch.events, (std::vector<std::string>{"suspend", "resume"}));
  EXPECT_EQ(list.statusText(), " EDonkey2000 servers (3 IPs) [3/0 - 100% checked]");
}

TEST_F(MetFileTest, MergeRuleAndDeclaredCountInTheLog) {
  list.append(ServerEntry{server("1.2.3.4", "4661", {{fName, "listed"}}), false, "kept", 1});
  WriteFile(path, header(3) + entry({1, 2, 3, 4}, 4661, {strTag(1, "newer"), intTag("x1", 1)}) +
                      entry({5, 6, 7, 8}, 4661, {strTag(1, "new")}) +
                      entry({5, 6, 7, 8}, 4661, {strTag(1, "repeat")}));
  readServersFromMet(list, path, bar, app.ctx);
  ASSERT_EQ(list.size(), 2u);
  // The listed server keeps its fields, its check mark and its kept tags.
  EXPECT_EQ(list[0].server.name, "listed");
  EXPECT_FALSE(list[0].checked);
  EXPECT_EQ(list[0].extraTags, "kept");
  EXPECT_EQ(list[1].server.name, "new");
  EXPECT_EQ(app.logLines(), std::vector<std::string>{"Refreshed <3> servers from <" + path + ">"});
}

// Today's lists hold big servers on high ports: read, merged again, written, read back.
TEST_F(MetFileTest, InvalidAddressesAreSkippedAndEveryPortIsKept) {
  std::string file = header(7, 0xE0) + entry({0, 1, 2, 3}, 4661) + entry({1, 2, 3, 5}, 0);
  for (int port : {4232, 43333, 47111, 58612, 65535}) file += entry({1, 2, 3, 4}, port);
  WriteFile(path, file);
  const std::vector<std::string> kept = {"0", "4232", "43333", "47111", "58612", "65535"};
  const auto ports = [](const ServerList& l) {
    std::vector<std::string> p;
    for (const auto& e : l.entries()) p.push_back(e.server.port);
    return p;
  };
  readServersFromMet(list, path, bar, app.ctx);
  readServersFromMet(list, path, bar, app.ctx);
  EXPECT_EQ(ports(list), kept);
  ASSERT_TRUE(writeServersToMet(list, dir.file("out.met"), bar, app.ctx));
  ServerList back;
  readServersFromMet(back, dir.file("out.met"), bar, app.ctx);
  EXPECT_EQ(ports(back), kept);
}

TEST_F(MetFileTest, HeaderByteOfTodaysClientsIsAccepted) {
  WriteFile(path, header(1, 0xE0) + entry({1, 2, 3, 4}, 4661));
  readServersFromMet(list, path, bar, app.ctx);
  EXPECT_EQ(list.size(), 1u);
  EXPECT_TRUE(app.prompter.shown.empty());
}

TEST_F(MetFileTest, DamagedHeaderShowsTheBoxAndChangesNothing) {
  list.append(server("9.9.9.9", "1"), true);
  for (int first : {0x00, 0x0F, 0xE1, 0x4D}) {
    app.prompter.shown.clear();
    WriteFile(path, header(1, static_cast<std::uint8_t>(first)) + entry({1, 2, 3, 4}, 4661));
    readServersFromMet(list, path, bar, app.ctx);
    EXPECT_EQ(list.size(), 1u);
    ASSERT_EQ(app.prompter.shown.size(), 1u) << first;
    EXPECT_EQ(app.prompter.shown[0].title, "Warning");
    EXPECT_EQ(app.prompter.shown[0].text,
              "The \"server.met\" seems to be damaged!\r\nTry to get a new one!");
    EXPECT_EQ(app.prompter.shown[0].icon, MsgIcon::Error);
  }
  // An empty file has no header byte either.
  WriteFile(path, "");
  app.prompter.shown.clear();
  readServersFromMet(list, path, bar, app.ctx);
  EXPECT_EQ(app.prompter.shown.size(), 1u);
  EXPECT_TRUE(app.logLines().empty());
  EXPECT_FALSE(bar.visible());
  // While a script runs nothing is shown.
  app.prompter.shown.clear();
  app.ctx.state.scriptRunning = true;
  readServersFromMet(list, path, bar, app.ctx);
  EXPECT_TRUE(app.prompter.shown.empty());
}

TEST_F(MetFileTest, MissingFileEndsQuietly) {
  readServersFromMet(list, dir.file("nothing-here.met"), bar, app.ctx);
  readServersFromMet(list, dir.path().string(), bar, app.ctx);  // a directory
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(app.prompter.shown.empty());
  EXPECT_TRUE(app.logLines().empty());
  EXPECT_TRUE(list.statusCounting);
  EXPECT_FALSE(bar.visible());
}

TEST_F(MetFileTest, DeclaringMillionsButHoldingTwoEndsWithTheData) {
  WriteFile(path, header(0xFFFFFF) + entry({1, 2, 3, 4}, 4661) + entry({1, 2, 3, 5}, 4661));
  readServersFromMet(list, path, bar, app.ctx);
  EXPECT_EQ(list.size(), 2u);
  // One pump before the loop and one per entry actually there.
  EXPECT_EQ(app.ui.pumps, 3);
  EXPECT_EQ(app.logLines(),
            (std::vector<std::string>{
                "Refreshed <2> servers from <" + path + ">",
                "<" + path + "> ends early: it states <16777215> servers and holds <2>"}));
  EXPECT_EQ(bar.max(), 16777215);
}

TEST_F(MetFileTest, TruncatedFileKeepsWhatItHolds) {
  // The second entry is cut inside its name: it is still read, the rest reads as zeros.
  const std::string full = header(3) + entry({1, 2, 3, 4}, 4661) +
                           entry({1, 2, 3, 5}, 4661, {strTag(1, "truncated name")});
  WriteFile(path, full.substr(0, full.size() - 5));
  readServersFromMet(list, path, bar, app.ctx);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].server.name, "truncated");
  EXPECT_EQ(app.logLines(), (std::vector<std::string>{
                                "Refreshed <1> servers from <" + path + ">",
                                "<" + path + "> ends early: it states <3> servers and holds <1>"}));
}

TEST_F(MetFileTest, UnknownTagTypeStopsAtThatEntry) {
  WriteFile(path, header(3) + entry({1, 2, 3, 4}, 4661, {strTag(1, "good")}) +
                      entry({1, 2, 3, 5}, 4661, {tag(0x0A, idName(0x60), "garbage")}) +
                      entry({1, 2, 3, 6}, 4661));
  readServersFromMet(list, path, bar, app.ctx);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].server.name, "good");
  EXPECT_TRUE(app.prompter.shown.empty());
  EXPECT_TRUE(list.statusCounting);
  EXPECT_FALSE(bar.visible());
  EXPECT_EQ(app.logLines(), std::vector<std::string>{"Refreshed <3> servers from <" + path + ">"});
}

TEST_F(MetFileTest, AFieldThatIsNoNumberFailsTheWriteAndKeepsTheOldFile) {
  WriteFile(path, "old contents");
  list.append(server("1.2.3.4", "4661"), true);
  list.append(server("1.2.3.5", "4661", {{fPing, "fast"}}), true);
  EXPECT_FALSE(writeServersToMet(list, path, bar, app.ctx));
  EXPECT_EQ(ReadFile(path), "old contents");
  ASSERT_EQ(app.prompter.shown.size(), 1u);
  EXPECT_EQ(app.prompter.shown[0].title, "Warning");
  EXPECT_EQ(app.prompter.shown[0].text, "Error saving MET-File! Maybe data corrupted!\r\n" + path);
  EXPECT_EQ(app.prompter.shown[0].icon, MsgIcon::Error);
  EXPECT_EQ(app.logLines(),
            std::vector<std::string>{"Saving <2> servers to <" + path + "> failed"});
  EXPECT_FALSE(bar.visible());
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

  app.prompter.shown.clear();
  app.ctx.state.scriptRunning = true;
  EXPECT_FALSE(writeServersToMet(list, path, bar, app.ctx));
  EXPECT_TRUE(app.prompter.shown.empty());
}

TEST_F(MetFileTest, FileThatCannotBeCreated) {
  list.append(server("1.2.3.4", "4661"), true);
  const std::string target = dir.file("no/such/dir.met");
  EXPECT_FALSE(writeServersToMet(list, target, bar, app.ctx));
  // The file and the system's reason on a second line, in the box and in the log.
  EXPECT_EQ(shownTexts(),
            std::vector<std::string>{"Error saving MET-File! Maybe data corrupted!\r\n" + target +
                                     ": " + test::kNoSuchFolderReason});
  EXPECT_EQ(app.logLines(), std::vector<std::string>{"Saving <1> servers to <" + target +
                                                     "> failed: " + test::kNoSuchFolderReason});
}

#ifndef _WIN32
// Write failures provoked as POSIX allows: a directory that is not writable, a file size limit.
TEST_F(MetFileTest, UnwritableDirectoryLeavesTheOldFile) {
  WriteFile(path, "old contents");
  list.append(server("1.2.3.4", "4661"), true);
  std::filesystem::permissions(
      dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                      std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
  const std::string result = test::RunInChild([&]() -> std::string {
    if (!test::DropRoot()) return "cannot drop root";
    if (writeServersToMet(list, path, bar, app.ctx)) return "write reported success";
    if (shownTexts().size() != 1 || shownTexts()[0].rfind(kMetSaveErrorText, 0) != 0)
      return "no error box";
    return "";
  });
  std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
  EXPECT_EQ(result, "");
  EXPECT_EQ(ReadFile(path), "old contents");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(MetFileTest, DiskErrorDuringTheWriteLeavesTheOldFile) {
  WriteFile(path, "old contents");
  for (int i = 0; i < 200; ++i)
    list.append(server("1.2.3." + std::to_string(i), "4661", {{fName, "a server name"}}), true);
  const std::string result = test::RunInChild([&]() -> std::string {
    test::LimitFileSize(1000);
    if (writeServersToMet(list, path, bar, app.ctx)) return "write reported success";
    if (shownTexts().size() != 1 || shownTexts()[0].rfind(kMetSaveErrorText, 0) != 0)
      return "no error box";
    return "";
  });
  EXPECT_EQ(result, "");
  EXPECT_EQ(ReadFile(path), "old contents");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}
#endif

// "Save to standard server.met".
class StandardSaveTest : public MetFileTest {
 protected:
  std::string backup = dir.file("server.met.UPD.BAK");
  void SetUp() override { app.ctx.settings.EDPath = dir.path().string(); }
};

TEST_F(StandardSaveTest, RefusesWhenNothingIsChecked) {
  EXPECT_FALSE(saveStandardServerMet(list, bar, app.ctx));
  list.append(server("1.2.3.4", "4661"), false);
  WriteFile(path, "old");
  EXPECT_FALSE(saveStandardServerMet(list, bar, app.ctx));
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_FALSE(std::filesystem::exists(backup));
  ASSERT_EQ(app.prompter.shown.size(), 2u);
  EXPECT_EQ(app.prompter.shown[1].title, "Warning");
  EXPECT_EQ(app.prompter.shown[1].text,
            "There isn't any server to save to file!\r\nPlease update the server list or check "
            "the servers!");
  EXPECT_EQ(app.prompter.shown[1].icon, MsgIcon::Error);
  EXPECT_EQ(app.prompter.shown[1].buttons, MsgButtons::Ok);
  EXPECT_TRUE(app.logLines().empty());
  app.ctx.state.scriptRunning = true;
  EXPECT_FALSE(saveStandardServerMet(list, bar, app.ctx));
  EXPECT_EQ(app.prompter.shown.size(), 2u);
}

TEST_F(StandardSaveTest, NoBackupWhenThereIsNoServerMet) {
  list.append(server("1.2.3.4", "4661"), true);
  ASSERT_TRUE(saveStandardServerMet(list, bar, app.ctx));
  EXPECT_FALSE(std::filesystem::exists(backup));
  EXPECT_TRUE(app.prompter.shown.empty());
  EXPECT_EQ(app.logLines(), std::vector<std::string>{"Saved <1> servers to <" + path + ">"});
}

TEST_F(StandardSaveTest, TheBackupHoldsTheFileBeforeTheLatestSave) {
  WriteFile(backup, "ancient backup");
  WriteFile(path, "original");
  list.append(server("1.2.3.4", "4661"), true);
  ASSERT_TRUE(saveStandardServerMet(list, bar, app.ctx));
  EXPECT_EQ(ReadFile(backup), "original");
  const std::string firstSave = ReadFile(path);
  list.append(server("1.2.3.5", "4661"), true);
  ASSERT_TRUE(saveStandardServerMet(list, bar, app.ctx));
  EXPECT_EQ(ReadFile(backup), firstSave);
  EXPECT_EQ(ReadFile(path).substr(0, 5), header(2));
  // Only the two files, no temporaries.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST_F(StandardSaveTest, EDPathWithTrailingSeparator) {
  app.ctx.settings.EDPath = dir.path().string() + "/";
  WriteFile(path, "original");
  list.append(server("1.2.3.4", "4661"), true);
  ASSERT_TRUE(saveStandardServerMet(list, bar, app.ctx));
  EXPECT_EQ(ReadFile(backup), "original");
}

TEST_F(StandardSaveTest, AFailedWriteKeepsServerMetAndTheBackup) {
  WriteFile(path, "original");
  list.append(server("1.2.3.4", "4661", {{fUsers, "many"}}), true);
  EXPECT_FALSE(saveStandardServerMet(list, bar, app.ctx));
  EXPECT_EQ(ReadFile(path), "original");
  EXPECT_EQ(ReadFile(backup), "original");
  EXPECT_EQ(shownTexts(), std::vector<std::string>{std::string(kMetSaveErrorText) + "\r\n" + path});
}

#ifndef _WIN32
// Write failures provoked as POSIX allows: a directory that is not writable, a file size limit.
TEST_F(StandardSaveTest, ADiskErrorKeepsServerMetAndTheBackup) {
  WriteFile(path, "original");
  for (int i = 0; i < 200; ++i)
    list.append(server("1.2.3." + std::to_string(i), "4661", {{fName, "a server name"}}), true);
  const std::string result = test::RunInChild([&]() -> std::string {
    test::LimitFileSize(1000);
    if (saveStandardServerMet(list, bar, app.ctx)) return "save reported success";
    return "";
  });
  EXPECT_EQ(result, "");
  EXPECT_EQ(ReadFile(path), "original");
  EXPECT_EQ(ReadFile(backup), "original");
}

TEST_F(StandardSaveTest, UnwritableDirectoryChangesNothing) {
  WriteFile(path, "original");
  WriteFile(backup, "older");
  list.append(server("1.2.3.4", "4661"), true);
  std::filesystem::permissions(
      dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                      std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
  const std::string result = test::RunInChild([&]() -> std::string {
    if (!test::DropRoot()) return "cannot drop root";
    if (saveStandardServerMet(list, bar, app.ctx)) return "save reported success";
    if (shownTexts().size() != 1 || shownTexts()[0].rfind(kMetSaveErrorText, 0) != 0)
      return "no error box";
    return "";
  });
  std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
  EXPECT_EQ(result, "");
  EXPECT_EQ(ReadFile(path), "original");
  EXPECT_EQ(ReadFile(backup), "older");
}
#endif

#include "app/history_list.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/ini_file.h"
#include "platform/file_io.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;
using namespace ravelin::app;

namespace {

TEST(HistoryList, StartsWithThePlaceholder) {
  HistoryList h;
  EXPECT_TRUE(h.isEmpty());
  EXPECT_EQ(h.maxEntries, 10);
  EXPECT_EQ(h.strings(), (std::vector<std::string>{"No items in history list"}));
  EXPECT_TRUE(h.paths().empty());
  EXPECT_EQ(h.menuCaptions(), (std::vector<std::string>{"No items in history list"}));
}

TEST(HistoryList, AddFilePutsTheNewestOnTop) {
  HistoryList h;
  int changes = 0;
  h.onChange = [&] { ++changes; };
  h.addFile("/s/a.rvs");
  EXPECT_FALSE(h.isEmpty());
  h.addFile("/s/b.rvs");
  EXPECT_EQ(h.strings(), (std::vector<std::string>{"/s/b.rvs", "/s/a.rvs"}));
  EXPECT_EQ(h.menuCaptions(), (std::vector<std::string>{"&1 /s/b.rvs", "&2 /s/a.rvs"}));
  EXPECT_EQ(changes, 2);
}

TEST(HistoryList, RunningAScriptAgainKeepsOneEntryOnTop) {
  HistoryList h;
  h.addFile("/s/a.rvs");
  h.addFile("/s/b.rvs");
  h.addFile("/s/c.rvs");
  h.addFile("/s/a.rvs");
  EXPECT_EQ(h.paths(), (std::vector<std::string>{"/s/a.rvs", "/s/c.rvs", "/s/b.rvs"}));
}

TEST(HistoryList, PathsDifferingOnlyInLetterCaseAreOneEntry) {
  HistoryList h;
  h.addFile("/S/Daily.RVS");
  h.addFile("/s/other.rvs");
  h.addFile("/s/daily.rvs");
  EXPECT_EQ(h.paths(), (std::vector<std::string>{"/s/daily.rvs", "/s/other.rvs"}));
}

TEST(HistoryList, AnEleventhScriptDropsTheOldest) {
  HistoryList h;
  for (int i = 1; i <= 11; ++i) h.addFile("/s/" + std::to_string(i) + ".rvs");
  ASSERT_EQ(h.paths().size(), 10u);
  EXPECT_EQ(h.paths().front(), "/s/11.rvs");
  EXPECT_EQ(h.paths().back(), "/s/2.rvs");
  const auto captions = h.menuCaptions();
  ASSERT_EQ(captions.size(), 10u);
  EXPECT_EQ(captions.front(), "&1 /s/11.rvs");
  EXPECT_EQ(captions.back(), "&10 /s/2.rvs");
}

TEST(HistoryList, ClickRuleFindsTheEntryByItsNumber) {
  HistoryList h;
  for (int i = 1; i <= 10; ++i) h.addFile("/s/" + std::to_string(i) + " with blank.rvs");
  for (const auto& caption : h.menuCaptions()) {
    const auto path = h.pathForCaption(caption);
    ASSERT_TRUE(path);
    EXPECT_EQ(caption.substr(caption.find(' ') + 1), *path);
  }
  EXPECT_EQ(h.pathForCaption("&10 anything"), "/s/1 with blank.rvs");
  EXPECT_FALSE(h.pathForCaption("&0 x"));
  EXPECT_FALSE(h.pathForCaption("&-1 x"));
  EXPECT_FALSE(h.pathForCaption("&11 x"));
  EXPECT_FALSE(h.pathForCaption("&x y"));
  EXPECT_FALSE(h.pathForCaption("&1"));
  EXPECT_FALSE(h.pathForCaption("1 x"));
  EXPECT_FALSE(h.pathForCaption(""));

  std::vector<std::string> clicked;
  h.choose("&2 ignored");  // no handler: nothing happens
  h.onChosen = [&](const std::string& p) { clicked.push_back(p); };
  h.choose("&2 ignored");
  h.choose("&0 ignored");
  EXPECT_EQ(clicked, (std::vector<std::string>{"/s/9 with blank.rvs"}));
}

TEST(HistoryList, ChoosingThePlaceholderDoesNothing) {
  HistoryList h;
  int calls = 0;
  h.onChosen = [&](const std::string&) { ++calls; };
  for (const auto& caption : h.menuCaptions()) h.choose(caption);
  h.choose("&1 x");
  EXPECT_FALSE(h.pathForCaption("&1 x"));
  EXPECT_EQ(calls, 0);
}

TEST(HistoryList, LoadsNonEmptyKeysOfTheSection) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  test::WriteFile(path,
                  "[MRU]\r\nHistory0=/s/new.rvs\r\nHistory1=\r\nhistory2=/s/old.rvs\r\n"
                  "History10=/s/beyond.rvs\r\n[other]\r\nHistory3=/s/elsewhere.rvs\r\n");
  HistoryList h;
  int changes = 0;
  h.onChange = [&] { ++changes; };
  h.loadFromIni(path, "MRU");
  EXPECT_FALSE(h.isEmpty());
  EXPECT_EQ(h.paths(), (std::vector<std::string>{"/s/new.rvs", "/s/old.rvs"}));
  EXPECT_EQ(changes, 1);
}

TEST(HistoryList, AnEmptyOrMissingSectionGivesThePlaceholder) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  HistoryList h;
  h.addFile("/s/a.rvs");
  h.loadFromIni(path, "MRU");  // no file at all
  EXPECT_TRUE(h.isEmpty());
  EXPECT_EQ(h.menuCaptions(), (std::vector<std::string>{"No items in history list"}));
  EXPECT_FALSE(std::filesystem::exists(path));

  test::WriteFile(path, "[MRU]\nHistory0=\n");
  h.addFile("/s/a.rvs");
  h.loadFromIni(path, "MRU");
  EXPECT_TRUE(h.isEmpty());
}

TEST(HistoryList, SaveWritesTheEntriesAndLeavesLaterKeys) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  test::WriteFile(path,
                  "[general]\nLOG=0\n[MRU]\nHistory0=/s/x.rvs\nHistory1=/s/y.rvs\n"
                  "History2=/s/z.rvs\n");
  HistoryList h;
  h.addFile("/s/b.rvs");
  h.addFile("/s/a.rvs");
  h.saveToIni(path, "MRU");
  EXPECT_EQ(test::ReadFile(path),
            "[general]\nLOG=0\n[MRU]\nHistory0=/s/a.rvs\nHistory1=/s/b.rvs\nHistory2=/s/z.rvs\n");
}

TEST(HistoryList, AnEmptyListIsNotSaved) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  HistoryList h;
  h.saveToIni(path, "MRU");
  EXPECT_FALSE(std::filesystem::exists(path));
  test::WriteFile(path, "[MRU]\nHistory0=/s/kept.rvs\n");
  h.saveToIni(path, "MRU");
  EXPECT_EQ(test::ReadFile(path), "[MRU]\nHistory0=/s/kept.rvs\n");
}

TEST(HistoryList, RoundTripThroughTheIniFile) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  HistoryList h;
  for (int i = 0; i < 12; ++i) h.addFile("/scripts/" + std::to_string(i) + ".rvs");
  h.saveToIni(path, "MRU");
  HistoryList back;
  back.loadFromIni(path, "MRU");
  EXPECT_EQ(back.paths(), h.paths());
  EXPECT_EQ(back.menuCaptions(), h.menuCaptions());
  EXPECT_EQ(IniFile(path).readSection("MRU").size(), 10u);
}

TEST(HistoryList, SavingToAnUnwritablePlaceThrows) {
  test::TempDir dir;
  HistoryList h;
  h.addFile("/s/a.rvs");
  EXPECT_THROW(h.saveToIni(dir.file("no/dir/ravelin.ini"), "MRU"), platform::FileError);
}

}  // namespace

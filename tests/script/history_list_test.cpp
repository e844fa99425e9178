#include "script/history_list.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/ini_file.h"
#include "platform/file_io.h"
#include "support/test_support.h"

namespace {

TEST(THistoryList, StartsWithThePlaceholder) {
  THistoryList h;
  EXPECT_TRUE(h.IsEmpty());
  EXPECT_EQ(h.MaxEntries, 10);
  EXPECT_EQ(h.strings(), (std::vector<std::string>{"No items in history list"}));
  EXPECT_TRUE(h.paths().empty());
  EXPECT_EQ(h.menuCaptions(), (std::vector<std::string>{"No items in history list"}));
}

TEST(THistoryList, AddFilePutsTheNewestOnTop) {
  THistoryList h;
  int changes = 0;
  h.onChange = [&] { ++changes; };
  h.AddFile("/s/a.rvs");
  EXPECT_FALSE(h.IsEmpty());
  h.AddFile("/s/b.rvs");
  EXPECT_EQ(h.strings(), (std::vector<std::string>{"/s/b.rvs", "/s/a.rvs"}));
  EXPECT_EQ(h.menuCaptions(), (std::vector<std::string>{"&1 /s/b.rvs", "&2 /s/a.rvs"}));
  EXPECT_EQ(changes, 2);
}

TEST(THistoryList, RunningAScriptAgainKeepsOneEntryOnTop) {
  THistoryList h;
  h.AddFile("/s/a.rvs");
  h.AddFile("/s/b.rvs");
  h.AddFile("/s/c.rvs");
  h.AddFile("/s/a.rvs");
  EXPECT_EQ(h.paths(), (std::vector<std::string>{"/s/a.rvs", "/s/c.rvs", "/s/b.rvs"}));
}

TEST(THistoryList, PathsDifferingOnlyInLetterCaseAreOneEntry) {
  THistoryList h;
  h.AddFile("/S/Daily.RVS");
  h.AddFile("/s/other.rvs");
  h.AddFile("/s/daily.rvs");
  EXPECT_EQ(h.paths(), (std::vector<std::string>{"/s/daily.rvs", "/s/other.rvs"}));
}

TEST(THistoryList, AnEleventhScriptDropsTheOldest) {
  THistoryList h;
  for (int i = 1; i <= 11; ++i) h.AddFile("/s/" + std::to_string(i) + ".rvs");
  ASSERT_EQ(h.paths().size(), 10u);
  EXPECT_EQ(h.paths().front(), "/s/11.rvs");
  EXPECT_EQ(h.paths().back(), "/s/2.rvs");
  const auto captions = h.menuCaptions();
  ASSERT_EQ(captions.size(), 10u);
  EXPECT_EQ(captions.front(), "&1 /s/11.rvs");
  EXPECT_EQ(captions.back(), "&10 /s/2.rvs");
}

TEST(THistoryList, ClickRuleFindsTheEntryByItsNumber) {
  THistoryList h;
  for (int i = 1; i <= 10; ++i) h.AddFile("/s/" + std::to_string(i) + " with blank.rvs");
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
  h.itemClick("&2 ignored");  // no handler: nothing happens
  h.OnItemClick = [&](const std::string& p) { clicked.push_back(p); };
  h.itemClick("&2 ignored");
  h.itemClick("&0 ignored");
  EXPECT_EQ(clicked, (std::vector<std::string>{"/s/9 with blank.rvs"}));
}

TEST(THistoryList, ChoosingThePlaceholderDoesNothing) {
  THistoryList h;
  int calls = 0;
  h.OnItemClick = [&](const std::string&) { ++calls; };
  for (const auto& caption : h.menuCaptions()) h.itemClick(caption);
  h.itemClick("&1 x");
  EXPECT_FALSE(h.pathForCaption("&1 x"));
  EXPECT_EQ(calls, 0);
}

TEST(THistoryList, LoadsNonEmptyKeysOfTheSection) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  test::WriteFile(path,
                  "[MRU]\r\nHistory0=/s/new.rvs\r\nHistory1=\r\nhistory2=/s/old.rvs\r\n"
                  "History10=/s/beyond.rvs\r\n[other]\r\nHistory3=/s/elsewhere.rvs\r\n");
  THistoryList h;
  int changes = 0;
  h.onChange = [&] { ++changes; };
  h.LoadFromIni(path, "MRU");
  EXPECT_FALSE(h.IsEmpty());
  EXPECT_EQ(h.paths(), (std::vector<std::string>{"/s/new.rvs", "/s/old.rvs"}));
  EXPECT_EQ(changes, 1);
}

TEST(THistoryList, AnEmptyOrMissingSectionGivesThePlaceholder) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  THistoryList h;
  h.AddFile("/s/a.rvs");
  h.LoadFromIni(path, "MRU");  // no file at all
  EXPECT_TRUE(h.IsEmpty());
  EXPECT_EQ(h.menuCaptions(), (std::vector<std::string>{"No items in history list"}));
  EXPECT_FALSE(std::filesystem::exists(path));

  test::WriteFile(path, "[MRU]\nHistory0=\n");
  h.AddFile("/s/a.rvs");
  h.LoadFromIni(path, "MRU");
  EXPECT_TRUE(h.IsEmpty());
}

TEST(THistoryList, SaveWritesTheEntriesAndLeavesLaterKeys) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  test::WriteFile(path,
                  "[general]\nLOG=0\n[MRU]\nHistory0=/s/x.rvs\nHistory1=/s/y.rvs\n"
                  "History2=/s/z.rvs\n");
  THistoryList h;
  h.AddFile("/s/b.rvs");
  h.AddFile("/s/a.rvs");
  h.SaveToIni(path, "MRU");
  EXPECT_EQ(test::ReadFile(path),
            "[general]\nLOG=0\n[MRU]\nHistory0=/s/a.rvs\nHistory1=/s/b.rvs\nHistory2=/s/z.rvs\n");
}

TEST(THistoryList, AnEmptyListIsNotSaved) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  THistoryList h;
  h.SaveToIni(path, "MRU");
  EXPECT_FALSE(std::filesystem::exists(path));
  test::WriteFile(path, "[MRU]\nHistory0=/s/kept.rvs\n");
  h.SaveToIni(path, "MRU");
  EXPECT_EQ(test::ReadFile(path), "[MRU]\nHistory0=/s/kept.rvs\n");
}

TEST(THistoryList, RoundTripThroughTheIniFile) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  THistoryList h;
  for (int i = 0; i < 12; ++i) h.AddFile("/scripts/" + std::to_string(i) + ".rvs");
  h.SaveToIni(path, "MRU");
  THistoryList back;
  back.LoadFromIni(path, "MRU");
  EXPECT_EQ(back.paths(), h.paths());
  EXPECT_EQ(back.menuCaptions(), h.menuCaptions());
  EXPECT_EQ(IniFile(path).ReadSection("MRU").size(), 10u);
}

TEST(THistoryList, SavingToAnUnwritablePlaceThrows) {
  test::TempDir dir;
  THistoryList h;
  h.AddFile("/s/a.rvs");
  EXPECT_THROW(h.SaveToIni(dir.file("no/dir/ravelin.ini"), "MRU"), platform::EFileError);
}

}  // namespace

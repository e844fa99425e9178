#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "serverlist/met_file.h"
#include "serverlist/text_writers.h"
#include "support/server_list_support.h"
#include "support/test_support.h"

TEST(SaveFlow, RefusesBacksUpKeepsTheOldFileOnFailureAndLogs) {
  test::TestApp app;
  test::RecordingProgressBar bar;
  ServerList list;
  list.append(test::makeServer("1.1.1.1"), false);
  const std::string target = app.dir.file("a.met"), backup = target + ".BAK";
  test::WriteFile(target, "old");
  SaveRule rule;
  rule.needsChecked = true;
  rule.nothingCheckedText = kNothingToSaveText;
  rule.backupFile = backup;
  EXPECT_EQ(saveServers(list, target, bar, app.ctx, metSaveFormat(), rule), SaveResult::Refused);
  EXPECT_FALSE(platform::fileExists(backup));

  list.append(test::makeServer("2.2.2.2"), true);
  list.append(test::serverWith(fPing, "fast"), true);  // no number: cannot be encoded
  EXPECT_EQ(saveServers(list, target, bar, app.ctx, metSaveFormat(), rule), SaveResult::Failed);
  EXPECT_EQ(test::ReadFile(backup), "old");
  EXPECT_EQ(test::ReadFile(target), "old");
  EXPECT_THROW(saveServers(list, app.dir.file("no/a.txt"), bar, app.ctx, txtSaveFormat()),
               platform::FileError);
  // Failures are logged, with the system's reason where there is one.
  const std::vector<std::string> failures = {"Saving <2> servers to <" + target + "> failed",
                                             "Saving <2> servers to <" + app.dir.file("no/a.txt") +
                                                 "> failed: " + test::kNoSuchFolderReason};
  EXPECT_EQ(app.logLines(), failures);

  list.setChecked(2, false);
  EXPECT_EQ(saveServers(list, target, bar, app.ctx, metSaveFormat(), rule), SaveResult::Saved);
  EXPECT_EQ(test::ReadFile(backup), "old");
  EXPECT_EQ(test::ReadFile(target), encodeMetFile(list, app.ctx.settings.MetAddressTags));
  EXPECT_EQ(app.logLines().back(), "Saved <1> servers to <" + target + ">");
  ASSERT_EQ(app.prompter.shown.size(), 2u);
  EXPECT_EQ(app.prompter.shown[1].text, std::string(kMetSaveErrorText) + "\r\n" + target);

  // An abort from a pending event in the middle of the save leaves no bar behind.
  app.ui.onPump = [&] {
    if (bar.visible()) throw std::runtime_error("aborted");
  };
  EXPECT_THROW(writeServersToMet(list, target, bar, app.ctx), std::runtime_error);
  EXPECT_FALSE(bar.visible());
}

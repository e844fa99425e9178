#include "app/file_commands.h"

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "serverlist/met_file.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::app;
using namespace ravelin::serverlist;

namespace {

class FileCommandsTest : public ::testing::Test {
 protected:
  test::TestApp app;
  ServerList list;
  test::RecordingProgressBar bar;

  void SetUp() override { app.ctx.settings.EDPath = app.dir.path().string(); }
  // A MET file holding 1.2.3.4:4661.
  void writeMet(const std::string& path) {
    ServerList one;
    Server s;
    s.ip = "1.2.3.4";
    s.port = "4661";
    one.append(s, true);
    platform::writeFileAtomically(path, *encodeMetFile(one, false));
  }
};

TEST_F(FileCommandsTest, NothingToSaveAsksNothingWhileAScriptRuns) {
  EXPECT_FALSE(haveServersToSave(list, app.ctx));
  ASSERT_EQ(app.prompter.shown.size(), 1u);
  EXPECT_EQ(app.prompter.shown[0].text, kNothingToSaveText);
  EXPECT_EQ(app.prompter.shown[0].icon, MsgIcon::Error);

  Server s;
  s.ip = "1.2.3.4";
  list.append(s, false);
  app.ctx.state.scriptRunning = true;
  EXPECT_FALSE(haveServersToSave(list, app.ctx));
  EXPECT_EQ(app.prompter.shown.size(), 1u);
  list.setChecked(0, true);
  EXPECT_TRUE(haveServersToSave(list, app.ctx));
}

TEST_F(FileCommandsTest, StandardRefreshReadsTheClientFileWithoutAsking) {
  writeMet(app.dir.file("server.met"));
  EXPECT_TRUE(refreshStandardServerMet(list, bar, app.ctx, [] {
    ADD_FAILURE() << "no dialog expected";
    return std::optional<std::string>();
  }));
  EXPECT_EQ(list.size(), 1u);
  EXPECT_TRUE(app.prompter.shown.empty());
}

TEST_F(FileCommandsTest, StandardRefreshFallsBackToAChosenFile) {
  const std::string other = app.dir.file("other.met");
  writeMet(other);
  int dialogs = 0;
  const auto choose = [&] {
    ++dialogs;
    return std::optional<std::string>(other);
  };
  app.prompter.answers = {MsgResult::No};
  EXPECT_FALSE(refreshStandardServerMet(list, bar, app.ctx, choose));
  EXPECT_EQ(dialogs, 0);
  ASSERT_EQ(app.prompter.shown.size(), 1u);
  EXPECT_EQ(app.prompter.shown[0].text, kServerMetMissingText);
  EXPECT_EQ(app.prompter.shown[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(app.prompter.shown[0].icon, MsgIcon::Exclamation);

  EXPECT_TRUE(refreshStandardServerMet(list, bar, app.ctx, choose));  // Yes
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(list.size(), 1u);

  app.ctx.state.scriptRunning = true;
  EXPECT_FALSE(refreshStandardServerMet(list, bar, app.ctx, choose));
  EXPECT_EQ(app.prompter.shown.size(), 2u);
  EXPECT_EQ(dialogs, 1);
}

TEST(TemplateOutputName, AddsTheFiltersExtensionOnlyToANameWithoutOne) {
  EXPECT_EQ(templateOutputName("/d/list", TemplateOutputFilter::Html), "/d/list.html");
  EXPECT_EQ(templateOutputName("/d/list", TemplateOutputFilter::Txt), "/d/list.txt");
  EXPECT_EQ(templateOutputName("/d/list", TemplateOutputFilter::AnyFile), "/d/list");
  EXPECT_EQ(templateOutputName("/d/list.htm", TemplateOutputFilter::Txt), "/d/list.htm");
  EXPECT_EQ(templateOutputName("/d.v2/list", TemplateOutputFilter::Txt), "/d.v2/list.txt");
}

}  // namespace

#include "app/file_commands.h"

#include <gtest/gtest.h>

#include "serverlist/met_file.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::app;
using namespace ravelin::serverlist;

namespace {

// The windows drive the asking paths (tests/qt); here what a running script must not see.
TEST(FileCommands, ScriptsAreNeverAsked) {
  test::TestApp app;
  app.ctx.settings.EDPath = app.dir.path().string();
  app.ctx.state.scriptRunning = true;
  ServerList list;
  test::RecordingProgressBar bar;
  list.append(Server{}, false);
  EXPECT_FALSE(haveServersToSave(list, app.ctx));
  EXPECT_EQ(refreshStandardServerMet(list, bar, app.ctx,
                                     [] {
                                       ADD_FAILURE() << "no dialog while a script runs";
                                       return std::optional<std::string>();
                                     }),
            RefreshResult::NoFile);
  EXPECT_TRUE(app.prompter.shown.empty());
  list.setChecked(0, true);
  EXPECT_TRUE(haveServersToSave(list, app.ctx));
}

TEST(FileCommands, SavedNameGetsTheFiltersExtensionOnlyWithoutOne) {
  EXPECT_EQ(savedFileName("/d/list", ".html"), "/d/list.html");
  EXPECT_EQ(savedFileName("/d/list", ""), "/d/list");
  EXPECT_EQ(savedFileName("/d/list.htm", ".txt"), "/d/list.htm");
  EXPECT_EQ(savedFileName("/d.v2/list", ".txt"), "/d.v2/list.txt");
  EXPECT_EQ(savedFileName("/d/.hidden", ".met"), "/d/.hidden.met");
  EXPECT_EQ(savedFileName("/d/.hidden.met", ".met"), "/d/.hidden.met");
}

}  // namespace

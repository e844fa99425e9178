#include "app/file_commands.h"

#include <gtest/gtest.h>

#include "serverlist/met_file.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::app;
using namespace ravelin::serverlist;

namespace {

// The windows drive the asking paths (tests/gui); here what a running script must not see.
TEST(FileCommands, ScriptsAreNeverAsked) {
  test::TestApp app;
  app.ctx.settings.EDPath = app.dir.path().string();
  app.ctx.state.scriptRunning = true;
  ServerList list;
  test::RecordingProgressBar bar;
  list.append(Server{}, false);
  EXPECT_FALSE(haveServersToSave(list, app.ctx));
  EXPECT_FALSE(refreshStandardServerMet(list, bar, app.ctx, [] {
    ADD_FAILURE() << "no dialog while a script runs";
    return std::optional<std::string>();
  }));
  EXPECT_TRUE(app.prompter.shown.empty());
  list.setChecked(0, true);
  EXPECT_TRUE(haveServersToSave(list, app.ctx));
}

TEST(FileCommands, TemplateOutputGetsTheFiltersExtensionOnlyWithoutOne) {
  EXPECT_EQ(templateOutputName("/d/list", TemplateOutputFilter::Html), "/d/list.html");
  EXPECT_EQ(templateOutputName("/d/list", TemplateOutputFilter::Txt), "/d/list.txt");
  EXPECT_EQ(templateOutputName("/d/list", TemplateOutputFilter::AnyFile), "/d/list");
  EXPECT_EQ(templateOutputName("/d/list.htm", TemplateOutputFilter::Txt), "/d/list.htm");
  EXPECT_EQ(templateOutputName("/d.v2/list", TemplateOutputFilter::Txt), "/d.v2/list.txt");
}

}  // namespace

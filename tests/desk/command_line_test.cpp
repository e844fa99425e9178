#include "desk/command_line.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

using namespace ravelin::desk;

TEST(CommandLine, EditAndRunNameTheScriptAndTravelToTheRunningProgram) {
  test::TempDir dir;
  const std::string script = dir.file("a b.rvs");
  test::WriteFile(script, "CheckAll\n");
  const auto request = [](std::vector<std::string> args) {
    const ScriptRequest r = startupScript(args);
    return std::make_pair(r.path, r.action);
  };
  EXPECT_EQ(request({script}), std::make_pair(script, ScriptAction::AsSettingsSay));
  EXPECT_EQ(request({"--edit", script}), std::make_pair(script, ScriptAction::Edit));
  EXPECT_EQ(request({"--run", script, "more"}), std::make_pair(script, ScriptAction::Run));
  EXPECT_EQ(request({"--run", dir.file("none.rvs")}).first, "");
  EXPECT_EQ(request({}).first, "");
  // A script without its verb keeps the old hand-over; a name starting "--" is no verb.
  EXPECT_EQ(handOverText({script}), script);
  for (const ScriptAction action :
       {ScriptAction::AsSettingsSay, ScriptAction::Edit, ScriptAction::Run}) {
    const ScriptRequest back = handedRequest(handOverText({script, action}));
    EXPECT_EQ(std::make_pair(back.path, back.action), std::make_pair(script, action));
  }
  EXPECT_EQ(handedRequest("--editor").action, ScriptAction::AsSettingsSay);
  // The verb without its script is a mistake the program names.
  const std::optional<EarlyAnswer> lone = answerBeforeWindows({"--edit"});
  ASSERT_TRUE(lone);
  EXPECT_EQ(lone->exitCode, 2);
  EXPECT_TRUE(lone->text.starts_with("ravelin: --edit needs a script file\nUsage:")) << lone->text;
}

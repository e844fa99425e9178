#include "app/file_association.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/process.h"
#include "platform/text.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::app;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

namespace {

// The user's desktop settings in throw-away XDG homes, never the real ones; the desktop
// entry written for the "running program" starts this test binary.
class FileAssociationTest : public ::testing::Test {
 protected:
  XdgPlaces places(bool withXdgMime) {
    XdgPlaces p = xdgPlacesWithHomes(currentXdgPlaces(), dir.file("data"), dir.file("config"));
    p.environment = platform::environmentWith(
        {"XDG_DATA_HOME=" + p.dataHome, "XDG_CONFIG_HOME=" + p.configHome, "XDG_CURRENT_DESKTOP="});
    if (!withXdgMime) p.xdgMime.clear();
    return p;
  }
  std::string queryDefault(const XdgPlaces& p) {
    return platform::trimText(
        platform::runProgram(p.xdgMime, {"query", "default", kScriptMimeType}, p.environment, 10000)
            .output);
  }
  // The first activation's check with this ini file, answered from the queue.
  bool offer(const XdgPlaces& p, const std::string& ini = "") {
    WriteFile(iniPath, ini);
    return offerScriptAssociation(app.ctx, iniPath, p);
  }

  TempDir dir;
  test::TestApp app;
  std::string iniPath = dir.file("ravelin.ini");
};

TEST_F(FileAssociationTest, QuestionYesAndNoQuestionAgain) {
  const XdgPlaces p = places(true);
  if (p.xdgMime.empty()) GTEST_SKIP() << "xdg-mime (xdg-utils) is not installed";
  EXPECT_FALSE(isScriptTypeRegistered(p));
  // NoRegCheck: nothing asked, nothing stored.
  EXPECT_FALSE(offer(p, "[general]\nNoRegCheck=1\n"));
  EXPECT_TRUE(app.prompter.shown.empty());
  // No: nothing stored, so the question comes again.
  app.prompter.answers = {MsgResult::No};
  EXPECT_TRUE(offer(p));
  EXPECT_FALSE(isScriptTypeRegistered(p));
  EXPECT_TRUE(offer(p));
  ASSERT_EQ(app.prompter.shown.size(), 2u);
  const test::PromptRecord& box = app.prompter.shown[1];
  EXPECT_EQ(box.title, "Info");
  EXPECT_EQ(box.text,
            "The file extension .rvs (Ravelin script) is not registered.\r\n"
            "Do you want to associate .rvs with Ravelin?");
  EXPECT_EQ(box.icon, MsgIcon::Information);
  EXPECT_EQ(box.buttons, MsgButtons::YesNo);
  // The second was answered Yes.
  EXPECT_EQ(queryDefault(p), "ravelin.desktop");
  EXPECT_TRUE(isScriptTypeRegistered(p));
  const std::string entry = ReadFile(p.dataHome + "/applications/ravelin.desktop");
  EXPECT_NE(entry.find("\nExec=" + p.executable + " %f\n"), std::string::npos);
  EXPECT_NE(entry.find("\nMimeType=text/x-ravelin-script;\n"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(p.dataHome + "/mime/packages/ravelin-mime.xml"));
  // A second start asks nothing.
  EXPECT_FALSE(offer(p));
  EXPECT_EQ(app.prompter.shown.size(), 2u);
  EXPECT_EQ(app.logLines().back(), "Script files (.rvs) associated with Ravelin");
}

TEST_F(FileAssociationTest, WithoutXdgUtilsTheFilesAreWrittenDirectly) {
  const XdgPlaces p = places(false);
  std::filesystem::create_directory(p.configHome);
  WriteFile(
      dir.file("config/mimeapps.list"),
      "[Default Applications]\ntext/x-ravelin-script=other.desktop;\ntext/plain=ed.desktop\n");
  EXPECT_FALSE(isScriptTypeRegistered(p));
  EXPECT_TRUE(offer(p));
  EXPECT_TRUE(isScriptTypeRegistered(p));
  EXPECT_FALSE(offer(p));
  EXPECT_EQ(app.prompter.shown.size(), 1u);
  const std::string list = ReadFile(p.configHome + "/mimeapps.list");
  EXPECT_NE(list.find("text/x-ravelin-script=ravelin.desktop;"), std::string::npos);
  EXPECT_NE(list.find("text/plain=ed.desktop"), std::string::npos);
  EXPECT_NE(ReadFile(p.dataHome + "/mime/packages/ravelin-mime.xml").find("*.rvs"),
            std::string::npos);
  // xdg-mime reads the same answer from what was written here.
  const XdgPlaces withTools = places(true);
  if (!withTools.xdgMime.empty()) {
    EXPECT_EQ(queryDefault(withTools), "ravelin.desktop");
  }
}

}  // namespace

#include "app/file_association.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/process.h"
#include "platform/text.h"
#include "support/test_support.h"

using namespace ravelin::app;

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
  // The first activation's check with this ravelin.ini; true when it asked.
  bool offer(const XdgPlaces& p, const std::string& ini = "") {
    test::WriteFile(dir.file("ravelin.ini"), ini);
    return offerScriptAssociation(app.ctx, dir.file("ravelin.ini"), XdgScriptAssociation(p));
  }

  test::TempDir dir;
  test::TestApp app;
};

TEST_F(FileAssociationTest, QuestionYesAndNoQuestionAgain) {
  const XdgPlaces p = places(true);
  if (p.xdgMime.empty()) GTEST_SKIP() << "xdg-mime (xdg-utils) is not installed";
  EXPECT_FALSE(offer(p, "[general]\nNoRegCheck=1\n"));
  app.prompter.answers = {MsgResult::No};  // No stores nothing: asked again
  EXPECT_TRUE(offer(p));
  EXPECT_TRUE(offer(p));
  ASSERT_EQ(app.prompter.shown.size(), 2u);
  const test::PromptRecord& box = app.prompter.shown[1];
  EXPECT_EQ(box.title + "|" + box.text,
            "Info|The file extension .rvs (Ravelin script) is not registered.\r\n"
            "Do you want to associate .rvs with Ravelin?");
  EXPECT_EQ(box.buttons, MsgButtons::YesNo);
  EXPECT_EQ(queryDefault(p), kDesktopEntryName);
  EXPECT_NE(test::ReadFile(p.dataHome + "/applications/" + kDesktopEntryName)
                .find("\nExec=" + p.executable + " %f\n"),
            std::string::npos);
  EXPECT_FALSE(offer(p));  // the next start asks nothing
  EXPECT_EQ(app.prompter.shown.size(), 2u);
}

TEST_F(FileAssociationTest, WithoutXdgUtilsTheFilesAreWrittenDirectly) {
  const XdgPlaces p = places(false);
  std::filesystem::create_directory(p.configHome);
  test::WriteFile(p.configHome + "/mimeapps.list",
                  "[Default Applications]\ntext/x-ravelin-script=other.desktop;\n"
                  "text/plain=ed.desktop\n");
  // An entry of the former name for this program would show beside the new one.
  const std::string former = p.dataHome + "/applications/" + kFormerDesktopEntryName;
  std::filesystem::create_directories(p.dataHome + "/applications");
  test::WriteFile(former, "[Desktop Entry]\nExec=" + p.executable + " %f\n");
  EXPECT_TRUE(offer(p));
  EXPECT_FALSE(std::filesystem::exists(former));
  EXPECT_FALSE(offer(p));
  const std::string list = test::ReadFile(p.configHome + "/mimeapps.list");
  EXPECT_NE(list.find("text/x-ravelin-script=" + std::string(kDesktopEntryName) +
                      ";\ntext/plain=ed.desktop"),
            std::string::npos);
  EXPECT_NE(test::ReadFile(p.dataHome + "/mime/packages/ravelin-mime.xml").find("*.rvs"),
            std::string::npos);
  // xdg-mime reads the same answer from what was written here.
  const XdgPlaces withTools = places(true);
  if (!withTools.xdgMime.empty()) {
    EXPECT_EQ(queryDefault(withTools), kDesktopEntryName);
  }
}

// A moved program: the user's entry starts another program, so the question comes again.
// A system-wide entry names the program bare, and PATH says which program that is.
TEST_F(FileAssociationTest, AnEntryThatStartsAnotherProgramAsksAgain) {
  namespace fs = std::filesystem;
  XdgPlaces p = places(false);
  p.dataDirs = {dir.file("system")};
  const std::string userEntry = p.dataHome + "/applications/" + kDesktopEntryName;
  EXPECT_TRUE(offer(p));
  test::WriteFile(userEntry, "[Desktop Entry]\nExec=/moved/away/ravelin %f\n");
  EXPECT_TRUE(offer(p));  // Yes points the entry at this program again
  EXPECT_FALSE(offer(p));
  fs::remove(userEntry);
  fs::create_directories(dir.file("system/applications"));
  test::WriteFile(dir.file("system/applications/") + kDesktopEntryName,
                  "[Desktop Entry]\nExec=ravelin %f\n");
  fs::create_directories(dir.file("bin"));
  fs::create_symlink(p.executable, dir.file("bin/ravelin"));
  p.searchPath = dir.file("bin");
  EXPECT_FALSE(offer(p));
  fs::remove(dir.file("bin/ravelin"));
  test::WriteFile(dir.file("bin/ravelin"), "#!/bin/sh\n");
  fs::permissions(dir.file("bin/ravelin"), fs::perms::owner_all);
  EXPECT_TRUE(offer(p));  // Yes gives the user an entry of their own for this program
  EXPECT_FALSE(offer(p));
}

}  // namespace

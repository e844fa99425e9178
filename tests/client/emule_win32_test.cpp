// eMule under wine: the registry value that chooses its folder (a throw-away key of this
// user's registry) and a running emule.exe (a copy of this program, started with --child).
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "client/launch.h"
#include "client/transfer.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/text.h"
#include "platform/user_folders.h"
#include "platform/wide_text.h"
#include "runtime/emule_folders.h"
#include "support/test_support.h"

using namespace ravelin::platform;

TEST(EmuleFolders, UsePublicUserDirectoriesElseTheFirstFolderHoldingPreferences) {
  test::TempDir dir;
  const std::wstring key = L"Software\\Ravelin test " + std::to_wstring(GetCurrentProcessId());
  const EmulePlaces places{utf8FromWide(key), dir.file("local"), dir.file("shared"),
                           [&] { return dir.file("eMule"); }};
  const std::string perUser = dir.file("local") + "\\eMule\\config\\",
                    shared = dir.file("shared") + "\\eMule\\config\\",
                    beside = dir.file("eMule") + "\\config\\";
  const auto holdPreferences = [](const std::string& folder) {
    std::filesystem::create_directories(folder);
    test::WriteFile(folder + "preferences.ini", "");
  };
  const auto choose = [&](DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"UsePublicUserDirectories", REG_DWORD, &value,
                    sizeof value);
    return emuleConfigFolder(places);
  };
  EXPECT_EQ(emuleConfigFolder(places), perUser);  // none holds it: a new eMule's folder
  for (const std::string& holder : {beside, shared}) {
    holdPreferences(holder);
    EXPECT_EQ(emuleConfigFolder(places), holder);
  }
  EXPECT_EQ(choose(0), perUser);
  EXPECT_EQ(choose(2), beside);
  holdPreferences(perUser);
  EXPECT_EQ(choose(1), shared);
  EXPECT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str()), ERROR_SUCCESS);
}

TEST(EmuleRunning, ARunningEmuleIsTheClientAndAServerMetSavedUnderItIsNoted) {
  test::TestApp app;
  const std::string folder = app.dir.file("eMule"), program = folder + "\\emule.exe";
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(pathFromUtf8(executablePath()), pathFromUtf8(program));
  app.ctx.settings.EDPath = folder + "\\config\\";  // eMule's configuration, not its program
  EXPECT_FALSE(client::isLocalClientRunning(app.ctx.settings));
  PipedProcess emule(program, {"--child"}, environmentWith({}));
  ASSERT_TRUE(emule.started());
  EXPECT_TRUE(equalsNoCase(client::clientExecutable(app.ctx.settings), program));
  EXPECT_TRUE(equalsNoCase(thisMachinesEmulePlaces().programFolder(), folder));
  // Logged at each save, one box in the run.
  client::noteServerMetSavedUnderRunningClient(app.ctx);
  client::noteServerMetSavedUnderRunningClient(app.ctx);
  EXPECT_EQ(emule.finish(10000), 7);
  EXPECT_EQ(app.logLines(), std::vector<std::string>(2, client::kRunningClientSaveNote));
  EXPECT_EQ(app.prompter.shown.size(), 1u);
}

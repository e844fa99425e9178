// eMule on this machine, under wine: the registry value that chooses its folder (on a
// throw-away key of this user's registry) and a running emule.exe (a copy of this test
// program, which waits for its input to close when started with --child).
#include <windows.h>

#include <gtest/gtest.h>

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

TEST(EmuleFolders, UsePublicUserDirectoriesChoosesTheFolder) {
  test::TempDir dir;
  const std::string key = "Software\\Ravelin test " + std::to_string(GetCurrentProcessId());
  const std::wstring wideKey = wideFromUtf8(key);
  EmulePlaces places{key, dir.file("local"), dir.file("shared"), [&] { return dir.file("eMule"); }};
  const auto choose = [&](DWORD value) {
    EXPECT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, wideKey.c_str(), L"UsePublicUserDirectories",
                              REG_DWORD, &value, sizeof value),
              ERROR_SUCCESS);
    return emuleConfigFolder(places);
  };
  EXPECT_EQ(choose(0), dir.file("local") + "\\eMule\\config\\");
  EXPECT_EQ(choose(1), dir.file("shared") + "\\eMule\\config\\");
  EXPECT_EQ(choose(2), dir.file("eMule") + "\\config\\");
  // 2 while emule.exe is nowhere to be found: the first folder that holds preferences.ini.
  places.programFolder = [] { return std::string(); };
  std::filesystem::create_directories(dir.file("shared") + "\\eMule\\config");
  test::WriteFile(dir.file("shared") + "\\eMule\\config\\preferences.ini", "");
  EXPECT_EQ(emuleConfigFolder(places), dir.file("shared") + "\\eMule\\config\\");
  EXPECT_EQ(choose(0), dir.file("local") + "\\eMule\\config\\");
  EXPECT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, wideKey.c_str()), ERROR_SUCCESS);
}

TEST(EmuleRunning, ARunningEmuleIsTheClientAndItsSavedServerMetIsNoted) {
  test::TestApp app;
  const std::string folder = app.dir.file("eMule"), program = folder + "\\emule.exe";
  std::filesystem::create_directories(folder + "\\config");
  std::filesystem::copy_file(pathFromUtf8(executablePath()), pathFromUtf8(program));
  Settings& settings = app.ctx.settings;
  settings.EDPath = folder + "\\config\\";  // eMule's folder, not its program's
  settings.EDFilename = "emule.exe";
  EXPECT_FALSE(client::isLocalClientRunning(settings));
  {
    PipedProcess emule(program, {"--child"}, environmentWith({}));
    ASSERT_TRUE(emule.started());
    EXPECT_TRUE(equalsNoCase(client::clientExecutable(settings), program));
    EXPECT_TRUE(equalsNoCase(thisMachinesEmulePlaces().programFolder(), folder));
    EXPECT_TRUE(client::isLocalClientRunning(settings));
    // A server.met saved under the running eMule: logged each time, one box per run.
    client::noteServerMetSavedUnderRunningClient(app.ctx);
    client::noteServerMetSavedUnderRunningClient(app.ctx);
    EXPECT_EQ(emule.finish(10000), 7);
  }
  EXPECT_EQ(app.logLines(), std::vector<std::string>(2, client::kRunningClientSaveNote));
  ASSERT_EQ(app.prompter.shown.size(), 1u);
  EXPECT_EQ(app.prompter.shown[0].text, client::kRunningClientSaveNote);
  EXPECT_FALSE(client::isLocalClientRunning(settings));
}

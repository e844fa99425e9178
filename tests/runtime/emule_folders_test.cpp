#include <gtest/gtest.h>

#include <filesystem>

#include "runtime/emule_folders.h"
#include "support/test_support.h"

// Without the registry value (no such key here; no registry at all on POSIX) the folder is
// the first that holds preferences.ini, in the order of the value's choices.
TEST(EmuleFolders, WithoutTheChoiceTheFirstFolderHoldingPreferences) {
  test::TempDir dir;
  int asked = 0;
  const EmulePlaces places{"Software\\Ravelin test key that no one has", dir.file("local"),
                           dir.file("shared"), [&] {
                             ++asked;
                             return dir.file("program");
                           }};
  const std::string sep(1, platform::kPathSeparator);
  const auto config = [&](const std::string& base, const std::string& below) {
    const std::string folder = dir.file(base) + sep + below + sep;
    std::filesystem::create_directories(folder);
    return folder;
  };
  const std::string perUser = config("local", "eMule" + sep + "config"),
                    shared = config("shared", "eMule" + sep + "config"),
                    beside = config("program", "config");
  // None holds it: the per-user folder, where a new eMule starts.
  EXPECT_EQ(emuleConfigFolder(places), perUser);
  test::WriteFile(beside + "preferences.ini", "");
  EXPECT_EQ(emuleConfigFolder(places), beside);
  test::WriteFile(shared + "preferences.ini", "");
  EXPECT_EQ(emuleConfigFolder(places), shared);
  const int askedBefore = asked;
  test::WriteFile(perUser + "preferences.ini", "");
  EXPECT_EQ(emuleConfigFolder(places), perUser);
  // emule.exe is looked for only when no earlier folder will do.
  EXPECT_EQ(asked, askedBefore);
  EXPECT_EQ(emuleConfigFolder({places.registryKey, "", "", {}}), "");
}

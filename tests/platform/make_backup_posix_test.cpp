#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>

#include "platform/file_io.h"
#include "support/child_process.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;

using test::ReadFile;
using test::WriteFile;

namespace {
size_t entriesIn(const std::filesystem::path& dir) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}
}  // namespace

TEST(MakeBackup, LeavesTheTargetInPlaceAndReplacesAnOldBackup) {
  test::TempDir dir;
  const std::string target = dir.file("server.met"), backup = dir.file("server.met.UPD.BAK");
  WriteFile(target, "live");
  WriteFile(backup, "old backup");
  platform::makeBackup(target, backup);
  EXPECT_EQ(ReadFile(target), "live");
  EXPECT_EQ(ReadFile(backup), "live");
  EXPECT_EQ(entriesIn(dir.path()), 2u);
  // Replacing the target afterwards, as the writers do, leaves the backup alone.
  platform::writeFileAtomically(target, "new");
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(ReadFile(backup), "live");
  // Again: the backup follows the latest state.
  platform::makeBackup(target, backup);
  EXPECT_EQ(ReadFile(backup), "new");
}

TEST(MakeBackup, MissingTargetFailsAndKeepsTheOldBackup) {
  test::TempDir dir;
  const std::string backup = dir.file("b");
  WriteFile(backup, "old backup");
  EXPECT_THROW(platform::makeBackup(dir.file("absent"), backup), platform::FileError);
  EXPECT_EQ(ReadFile(backup), "old backup");
  EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(MakeBackup, FollowsASymbolicLink) {
  test::TempDir dir;
  WriteFile(dir.file("real.met"), "real bytes");
  std::filesystem::create_symlink("real.met", dir.path() / "server.met");
  platform::makeBackup(dir.file("server.met"), dir.file("server.met.UPD.BAK"));
  EXPECT_FALSE(std::filesystem::is_symlink(dir.path() / "server.met.UPD.BAK"));
  EXPECT_EQ(ReadFile(dir.file("server.met.UPD.BAK")), "real bytes");
}

TEST(MakeBackup, CopiesWhenTheFileCannotBeLinked) {
  // A user may not hard-link a file of someone else where the kernel protects hard
  // links; the backup is then a copy.
  test::TempDir dir;
  const std::string target = dir.file("server.met"), backup = dir.file("server.met.UPD.BAK");
  WriteFile(target, "owned by root");
  std::filesystem::permissions(target, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
  std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to create a file of another user";
  const std::string result = test::RunInChild([&]() -> std::string {
    if (!test::DropRoot()) return "cannot drop root";
    platform::makeBackup(target, backup);
    return "";
  });
  std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
  EXPECT_EQ(result, "");
  EXPECT_EQ(ReadFile(backup), "owned by root");
  struct stat t {
  }, b{};
  ASSERT_EQ(::stat(target.c_str(), &t), 0);
  ASSERT_EQ(::stat(backup.c_str(), &b), 0);
  // With protected hard links the link is refused and the backup is a copy of the user's.
  if (test::ReadFile("/proc/sys/fs/protected_hardlinks") == "1\n") {
    EXPECT_NE(b.st_ino, t.st_ino);
    EXPECT_NE(b.st_uid, t.st_uid);
  }
}

TEST(MakeBackup, UnwritableDirectoryFails) {
  test::TempDir dir;
  const std::string target = dir.file("server.met"), backup = dir.file("server.met.UPD.BAK");
  WriteFile(target, "live");
  std::filesystem::permissions(
      dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                      std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
  const std::string result = test::RunInChild([&]() -> std::string {
    if (!test::DropRoot()) return "cannot drop root";
    try {
      platform::makeBackup(target, backup);
    } catch (const platform::FileError&) {
      return "";
    }
    return "no failure";
  });
  std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
  EXPECT_EQ(result, "");
  EXPECT_FALSE(std::filesystem::exists(backup));
  EXPECT_EQ(ReadFile(target), "live");
}

// A replaced file that is a symbolic link (a relative one, one to a file not there yet)
// keeps the link; the file it points to gets the bytes.
TEST(WriteFileAtomically, WritesThroughSymbolicLinks) {
  test::TempDir dir;
  WriteFile(dir.file("dotfile"), "old");
  std::filesystem::create_symlink("dotfile", dir.path() / "ravelin.ini");
  std::filesystem::create_symlink("new.met", dir.path() / "server.met");
  platform::writeFileAtomically(dir.file("ravelin.ini"), "new", platform::FileAccess::OwnerOnly);
  platform::writeFileAtomically(dir.file("server.met"), "list");
  EXPECT_EQ(ReadFile(dir.file("dotfile")) + ReadFile(dir.file("new.met")), "newlist");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "ravelin.ini"));
  EXPECT_EQ(entriesIn(dir.path()), 4u);  // both links are still there, and nothing else
}

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_io.h"
#include "support/test_support.h"

using namespace ravelin;
namespace fs = std::filesystem;

// A replaced file that is a symbolic link (a chain of them, relative or dangling) keeps the
// link; the file it points to gets the bytes.
TEST(WriteFileAtomically, WritesThroughSymbolicLinks) {
  test::TempDir dir;
  fs::create_directories(dir.path() / "dotfiles");
  test::WriteFile(dir.file("dotfiles/ravelin.ini"), "old");
  fs::create_symlink("dotfiles/ravelin.ini", dir.path() / "middle");
  fs::create_symlink(dir.file("middle"), dir.path() / "ravelin.ini");
  fs::create_symlink("dotfiles/new.met", dir.path() / "server.met");
  platform::writeFileAtomically(dir.file("ravelin.ini"), "new", platform::FileAccess::OwnerOnly);
  platform::writeFileAtomically(dir.file("server.met"), "list");
  EXPECT_TRUE(fs::is_symlink(dir.path() / "ravelin.ini"));
  EXPECT_TRUE(fs::is_symlink(dir.path() / "middle"));
  EXPECT_TRUE(fs::is_symlink(dir.path() / "server.met"));
  EXPECT_EQ(test::ReadFile(dir.file("dotfiles/ravelin.ini")), "new");
  EXPECT_EQ(test::ReadFile(dir.file("dotfiles/new.met")), "list");
  EXPECT_EQ(fs::status(dir.path() / "ravelin.ini").permissions(), fs::perms(0600));
}

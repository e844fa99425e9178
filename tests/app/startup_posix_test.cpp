// Where ravelin.ini and the state files live on a POSIX system: the XDG folders, a copy
// beside the program, and a file named on the command line.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>
#include <functional>

#include "app/startup.h"
#include "support/test_support.h"

using namespace ravelin::app;

namespace fs = std::filesystem;

namespace {

TEST(LocateFiles, AnExplicitPathWinsAndKeepsItsStateBesideIt) {
  test::TempDir dir;
  StartupEnvironment env{dir.path().string(), "/xdg", "/state", "/home/u"};
  const FilePlaces named = locateFiles(env, "/etc/other.ini");
  EXPECT_EQ(named.iniFile, "/etc/other.ini");
  EXPECT_EQ(named.logDir, "/etc/log");
  EXPECT_EQ(named.transferFile, "/etc/ravelin-transfer.ini");
  // A relative one is taken from the working directory and made absolute.
  EXPECT_EQ(locateFiles(env, "sub/my.ini").iniFile, (fs::current_path() / "sub/my.ini").string());
}

// Runs check in a child process without root rights (as nobody when the tests run as
// root, since root may write anywhere) and returns whether it held there.
bool holdsWithoutRootRights(const std::function<bool()>& check) {
  if (::geteuid() != 0) return check();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
    ::_exit(check() ? 0 : 1);
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(LocateFiles, UsesTheProgramDirectoryWhenItHoldsOne) {
  test::TempDir dir;
  test::WriteFile(dir.file("ravelin.ini"), "[general]\n");
  const StartupEnvironment env{dir.path().string(), "/xdg", "/state", "/home/u"};
  EXPECT_EQ(locateFiles(env).iniFile, dir.file("ravelin.ini"));
  EXPECT_EQ(locateFiles(env).logDir, dir.file("log"));
  // Also when the directory cannot be written (a copy in a system directory).
  fs::permissions(dir.path(),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_TRUE(
      holdsWithoutRootRights([&] { return locateFiles(env).iniFile == dir.file("ravelin.ini"); }));
  fs::permissions(dir.path(), fs::perms::owner_write, fs::perm_options::add);
}

TEST(LocateFiles, FallsBackToTheUsersConfigAndStateDirectories) {
  test::TempDir dir;
  const std::string noProgramDir = dir.file("not-there");
  const FilePlaces xdg = locateFiles({noProgramDir, "/xdg/conf", "/xdg/state", "/home/u"});
  EXPECT_EQ(xdg.iniFile, "/xdg/conf/ravelin/ravelin.ini");
  EXPECT_EQ(xdg.logDir, "/xdg/state/ravelin/log");
  EXPECT_EQ(xdg.transferFile, "/xdg/state/ravelin/ravelin-transfer.ini");
  EXPECT_TRUE(xdg.separateState);
  EXPECT_EQ(locateFiles({noProgramDir, "", "", "/home/u"}).logDir,
            "/home/u/.local/state/ravelin/log");
  // Relative XDG values are not valid and are ignored.
  const FilePlaces relative = locateFiles({noProgramDir, "relative/conf", "rel", "/home/u"});
  EXPECT_EQ(relative.iniFile, "/home/u/.config/ravelin/ravelin.ini");
  EXPECT_EQ(relative.transferFile, "/home/u/.local/state/ravelin/ravelin-transfer.ini");
  EXPECT_EQ(locateFiles({"", "", "", "/home/u/"}).iniFile, "/home/u/.config/ravelin/ravelin.ini");
  EXPECT_FALSE(fs::exists(noProgramDir));
}

}  // namespace

// The desktop program's command line where no window system is reachable.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {

struct ProgramResult {
  int status = -1;
  std::string out;
};

// Runs the built ravelin with one option and nothing in its environment but PATH: no
// DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM.
ProgramResult RunWithoutDisplay(const std::string& option, const test::TempDir& dir) {
  const std::string outFile = dir.file("out-" + option.substr(2));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  std::string program = RAVELIN_BINARY_DIR "/gui/ravelin";
  std::string arg = option;
  std::string path = std::string("PATH=") + (std::getenv("PATH") ? std::getenv("PATH") : "");
  char* argv[] = {program.data(), arg.data(), nullptr};
  char* envp[] = {path.data(), nullptr};
  ProgramResult result;
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return result;
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = test::ReadFile(outFile);
  return result;
}

}  // namespace

TEST(CommandLine, HelpAndVersionNeedNoDisplay) {
  test::TempDir dir;
  const ProgramResult help = RunWithoutDisplay("--help", dir);
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: ravelin [--ini FILE] [SCRIPT]\n", 0), 0u) << help.out;
  EXPECT_NE(help.out.find("'ravelin-cli --help'"), std::string::npos);
  EXPECT_NE(help.out.find("'man ravelin'"), std::string::npos);
  const ProgramResult version = RunWithoutDisplay("--version", dir);
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("ravelin ") + RAVELIN_VERSION + "\n");
}

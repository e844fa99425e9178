#pragma once
// Runs the built ravelin-cli binary as a child process with its output in files.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.h"

extern char** environ;

using namespace ravelin;
using namespace ravelin::runtime;

namespace test {

inline const char* kCliBinary = RAVELIN_BINARY_DIR "/cli/ravelin-cli";

struct CliResult {
  int status = -1;  // exit status, or 128 + signal
  std::string out;  // stdout
  std::string err;  // stderr
};

// Runs ravelin-cli with the arguments; stdin is /dev/null and stdout/stderr are files, so
// the program sees no terminal. whileRunning, when given, is called once with the child's
// process id shortly after the start. The child is killed after the time limit. A wrapper
// (a program and its arguments, found on PATH, such as "unshare -n") runs ravelin-cli, or
// binary when that names another copy of it.
inline CliResult runCli(const std::vector<std::string>& args, const TempDir& dir,
                        const std::function<void(pid_t)>& whileRunning = {},
                        std::chrono::seconds limit = std::chrono::seconds(60),
                        const std::vector<std::string>& wrapper = {},
                        const std::string& binary = kCliBinary) {
  static int counter = 0;
  const std::string outFile = dir.file("cli-out-" + std::to_string(counter));
  const std::string errFile = dir.file("cli-err-" + std::to_string(counter++));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  std::vector<std::string> argvStrings = wrapper;
  argvStrings.push_back(binary);
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& s : argvStrings) argv.push_back(s.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  CliResult result;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return result;
  if (whileRunning) whileRunning(pid);
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = ReadFile(outFile);
  result.err = ReadFile(errFile);
  return result;
}

}  // namespace test

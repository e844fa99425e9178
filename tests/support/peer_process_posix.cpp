#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "support/peer_process.h"

extern char** environ;

namespace test {

namespace {

int ReadPortLine(int fd, int ms) {
  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char c;
    const ssize_t n = read(fd, &c, 1);
    if (n <= 0) return 0;
    if (c == '\n') return std::atoi(line.c_str());
    line.push_back(c);
  }
  return 0;
}

std::vector<char*> ArgumentPointers(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  return args;
}

}  // namespace

bool RunProgram(const std::vector<std::string>& argv) {
  std::vector<char*> args = ArgumentPointers(argv);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid;
  const int rc = posix_spawnp(&pid, args[0], &fa, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  if (rc != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string UnixPath(const std::string& path) {
  return path;
}

PeerProcess::PeerProcess(const std::vector<std::string>& argv, bool readPort) {
  std::vector<char*> args = ArgumentPointers(argv);
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  // Without a port to read, the output goes nowhere (a closed pipe would kill the child).
  if (readPort)
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
  else
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  if (!std::getenv("RAVELIN_PEER_STDERR"))
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  // A group of its own, so that its helpers (danted's) end with it; no signal blocked,
  // whatever mask the starting thread has (a sanitizer's runtime may block them all).
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK);
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setsigmask(&attr, &none);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, args[0], &fa, &attr, args.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  posix_spawnattr_destroy(&attr);
  close(out[1]);
  if (rc == 0) {
    pid_ = pid;
    running_ = true;
    if (readPort) port_ = ReadPortLine(out[0], 10000);
  }
  close(out[0]);
}

PeerProcess::~PeerProcess() {
  if (!running_) return;
  const auto pid = static_cast<pid_t>(pid_);
  kill(-pid, SIGTERM);
  bool gone = false;
  for (int i = 0; i < 50 && !gone; ++i) {
    gone = waitpid(pid, nullptr, WNOHANG) == pid;
    if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  // The leader when it is still there, and what it left behind in its group.
  kill(-pid, SIGKILL);
  if (!gone) waitpid(pid, nullptr, 0);
}

}  // namespace test

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/process.h"
#include "platform/text.h"

extern char** environ;

namespace ravelin::platform {

std::string resolvedExecutablePath(const std::string& path) {
  char buf[PATH_MAX];
  if (::realpath(path.c_str(), buf) == nullptr) return {};
  return buf;
}

std::vector<std::string> runningExecutables() {
  std::vector<std::string> paths;
  DIR* proc = ::opendir("/proc");
  if (!proc) return paths;
  while (const dirent* entry = ::readdir(proc)) {
    const char* name = entry->d_name;
    bool numeric = *name != '\0';
    for (const char* p = name; *p; ++p) numeric = numeric && *p >= '0' && *p <= '9';
    if (!numeric) continue;
    const std::string link = std::string("/proc/") + name + "/exe";
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof buf) continue;
    paths.emplace_back(buf, static_cast<size_t>(n));
  }
  ::closedir(proc);
  return paths;
}

bool spawnDetached(const std::string& program, const std::vector<std::string>& args,
                   bool searchPath) {
  std::vector<std::string> argvStrings;
  argvStrings.push_back(program);
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : argvStrings) argv.push_back(s.data());
  argv.push_back(nullptr);

  // The child starts in a session of its own, so that a terminal's signals meant for this
  // program (Ctrl+C) do not reach it.
  posix_spawnattr_t attr;
  if (::posix_spawnattr_init(&attr) != 0) return false;
  ::posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int rc = searchPath
                     ? ::posix_spawnp(&pid, program.c_str(), nullptr, &attr, argv.data(), environ)
                     : ::posix_spawn(&pid, program.c_str(), nullptr, &attr, argv.data(), environ);
  ::posix_spawnattr_destroy(&attr);
  if (rc != 0) return false;
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

bool openWithDefaultApplication(const std::string& fileOrAddress) {
  return spawnDetached("xdg-open", {fileOrAddress}, true);
}

std::string searchPath() {
  const char* path = std::getenv("PATH");
  return path ? path : "/usr/local/bin:/usr/bin:/bin";
}

std::string findOnPath(const std::string& name) {
  return findOnPath(name, searchPath());
}

std::string findOnPath(const std::string& name, const std::string& dirs) {
  if (name.empty() || name.find('/') != std::string::npos) return {};
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    // An empty entry means the current directory.
    const std::string dir = end > start ? dirs.substr(start, end - start) : ".";
    const std::string candidate = dir + "/" + name;
    struct stat st {};
    if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        ::access(candidate.c_str(), X_OK) == 0)
      return candidate;
    start = end + 1;
  }
  return {};
}

PipedProcess::PipedProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::vector<std::string>& environment) {
  // A socket pair rather than pipes: a write to a program that has gone away then fails
  // with an error (MSG_NOSIGNAL) instead of raising SIGPIPE in this process.
  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) {
    startError_ = errno;
    return;
  }
  std::vector<std::string> argvStrings;
  argvStrings.push_back(program);
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argvStrings) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStrings = environment;
  std::vector<char*> envp;
  for (std::string& e : envStrings) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  for (int target = 0; target <= 2; ++target)
    ::posix_spawn_file_actions_adddup2(&actions, fds[1], target);
  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  ::posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  if (rc != 0) {
    ::close(fds[0]);
    startError_ = rc;
    return;
  }
  fd_ = fds[0];
  pid_ = pid;
}

PipedProcess::~PipedProcess() {
  if (pid_ > 0 && !reaped_) finish(0);
  if (fd_ >= 0) ::close(fd_);
}

bool PipedProcess::write(std::string_view bytes) {
  if (fd_ < 0) return false;
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

void PipedProcess::closeInput() {
  if (fd_ >= 0) ::shutdown(fd_, SHUT_WR);
}

PipedProcess::ReadResult PipedProcess::read(std::string& out, std::uint32_t ms) {
  if (fd_ < 0) return ReadResult::Ended;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd p{static_cast<int>(fd_), POLLIN, 0};
    const int n = ::poll(&p, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return ReadResult::TimedOut;
    char buf[4096];
    const ssize_t got = ::recv(fd_, buf, sizeof buf, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return ReadResult::Ended;
    out.append(buf, static_cast<size_t>(got));
    return ReadResult::Data;
  }
}

int PipedProcess::finish(std::uint32_t ms) {
  if (pid_ <= 0) return -1;
  if (reaped_) return status_;
  closeInput();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  int status = 0;
  for (;;) {
    const pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      reaped_ = true;
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      return status_;
    }
    if (r < 0 && errno != EINTR) break;
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ::kill(pid_, SIGKILL);
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  reaped_ = true;
  status_ = -1;
  return status_;
}

std::vector<std::string> environmentWith(const std::vector<std::string>& overrides) {
  const auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
  std::vector<std::string> env;
  for (char** e = environ; e && *e; ++e) {
    const std::string entry = *e;
    const bool replaced =
        std::any_of(overrides.begin(), overrides.end(),
                    [&](const std::string& o) { return nameOf(o) == nameOf(entry); });
    if (!replaced) env.push_back(entry);
  }
  env.insert(env.end(), overrides.begin(), overrides.end());
  return env;
}

}  // namespace ravelin::platform

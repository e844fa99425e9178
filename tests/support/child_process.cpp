#include "support/child_process.h"

#include <grp.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <filesystem>

extern char** environ;

namespace test {

std::string RunInChild(const std::function<std::string()>& fn) {
  int fds[2];
  if (::pipe(fds) != 0) return "pipe failed";
  const pid_t pid = ::fork();
  if (pid < 0) return "fork failed";
  if (pid == 0) {
    ::close(fds[0]);
    std::string result;
    try {
      result = fn();
    } catch (const std::exception& e) {
      result = std::string("exception: ") + e.what();
    } catch (...) {
      result = "unknown exception";
    }
    for (size_t done = 0; done < result.size();) {
      const ssize_t n = ::write(fds[1], result.data() + done, result.size() - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string result;
  char buf[512];
  for (;;) {
    const ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n <= 0) break;
    result.append(buf, static_cast<size_t>(n));
  }
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return "child died (status " + std::to_string(status) + ") " + result;
  return result;
}

bool DropRoot() {
  if (::geteuid() != 0) return true;
  const gid_t nogroup = 65534;
  const uid_t nobody = 65534;
  return ::setgroups(0, nullptr) == 0 && ::setgid(nogroup) == 0 && ::setuid(nobody) == 0 &&
         ::geteuid() == nobody;
}

void LimitFileSize(long bytes) {
  ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit {};
  limit.rlim_cur = static_cast<rlim_t>(bytes);
  limit.rlim_max = static_cast<rlim_t>(bytes);
  ::setrlimit(RLIMIT_FSIZE, &limit);
}

RunningCopy::RunningCopy(const std::string& path) {
  namespace fs = std::filesystem;
  fs::copy_file("/bin/sleep", path);
  fs::permissions(path, fs::perms::owner_all);
  std::string arg0 = path, arg1 = "30";
  char* argv[] = {arg0.data(), arg1.data(), nullptr};
  if (::posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, environ) != 0) pid_ = 0;
}

RunningCopy::~RunningCopy() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

}  // namespace test

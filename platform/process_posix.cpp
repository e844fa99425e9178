#include <dirent.h>
#include <limits.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "platform/process.h"
#include "platform/text.h"

extern char** environ;

namespace ravelin::platform {

namespace {

std::string ResolvedPath(const std::string& path) {
  char buf[PATH_MAX];
  if (::realpath(path.c_str(), buf) == nullptr) return {};
  return buf;
}

}  // namespace

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

bool isProcessRunning(const std::string& executablePath) {
  if (executablePath.empty()) return false;
  const std::string resolved = ResolvedPath(executablePath);
  for (const std::string& running : runningExecutables()) {
    if (equalsNoCase(running, executablePath)) return true;
    if (!resolved.empty() && equalsNoCase(running, resolved)) return true;
  }
  return false;
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

}  // namespace ravelin::platform

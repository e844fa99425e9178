#include <dirent.h>
#include <limits.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

#include "app/app_context.h"
#include "client/process_control.h"
#include "platform/file_io.h"

extern char** environ;

namespace client {

namespace {

bool EqualsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string ResolvedPath(const std::string& path) {
  char buf[PATH_MAX];
  if (::realpath(path.c_str(), buf) == nullptr) return {};
  return buf;
}

}  // namespace

std::vector<std::string> RunningExecutables() {
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

bool IsProcessRunning(const std::string& executablePath) {
  if (executablePath.empty()) return false;
  const std::string resolved = ResolvedPath(executablePath);
  for (const std::string& running : RunningExecutables()) {
    if (EqualsNoCase(running, executablePath)) return true;
    if (!resolved.empty() && EqualsNoCase(running, resolved)) return true;
  }
  return false;
}

bool SpawnDetached(const std::string& program, const std::vector<std::string>& args,
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

bool StartEDonkey(AppContext& ctx) {
  const std::string path = ClientFile(ctx.settings.EDPath, ctx.settings.EDFilename);
  if (!platform::FileExists(path)) return false;
  if (!SpawnDetached(path, {}, false)) return false;
  ctx.log.WriteLog("EDonkey2000 started with <" + path + ">");
  return true;
}

bool StartFile(const std::string& path, AppContext& ctx) {
  if (!platform::FileExists(path)) return false;
  if (!SpawnDetached("xdg-open", {path}, true)) return false;
  ctx.log.WriteLog("<" + path + "> executed");
  return true;
}

}  // namespace client

#include "app/startup.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "app/settings_store.h"
#include "platform/file_io.h"

namespace ravelin::app {

namespace fs = std::filesystem;

namespace {
constexpr const char* kIniName = "ravelin.ini";

bool isDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string absolutePath(const std::string& path) {
  std::error_code ec;
  const fs::path abs = fs::absolute(path, ec);
  return ec ? path : abs.lexically_normal().string();
}
}  // namespace

std::string executableDirectory() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.parent_path().string();
}

StartupEnvironment currentStartupEnvironment() {
  StartupEnvironment env;
  env.exeDir = executableDirectory();
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME")) env.xdgConfigHome = xdg;
  if (const char* home = std::getenv("HOME"); home && *home) {
    env.home = home;
  } else {
    struct passwd pw {};
    struct passwd* found = nullptr;
    char buf[4096];
    if (::getpwuid_r(::getuid(), &pw, buf, sizeof buf, &found) == 0 && found && found->pw_dir)
      env.home = found->pw_dir;
  }
  return env;
}

std::string locateIniFile(const StartupEnvironment& env, const std::string& explicitIni) {
  if (!explicitIni.empty()) return absolutePath(explicitIni);
  if (!env.exeDir.empty()) {
    const std::string beside = runtime::clientFile(env.exeDir, kIniName);
    if (platform::fileExists(beside) ||
        (isDirectory(env.exeDir) && ::access(env.exeDir.c_str(), W_OK) == 0))
      return absolutePath(beside);
  }
  // The XDG rule: a relative $XDG_CONFIG_HOME is invalid and ignored.
  std::string config;
  if (!env.xdgConfigHome.empty() && env.xdgConfigHome.front() == '/')
    config = env.xdgConfigHome;
  else
    config = runtime::clientFile(env.home, ".config");
  return absolutePath(runtime::clientFile(runtime::clientFile(config, "ravelin"), kIniName));
}

std::optional<std::string> takeIniOption(std::vector<std::string>& args) {
  std::optional<std::string> ini;
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--ini") {
      if (i + 1 >= args.size()) throw std::invalid_argument("--ini needs a file name");
      ini = args[++i];
    } else if (args[i].rfind("--ini=", 0) == 0) {
      ini = args[i].substr(6);
    } else {
      rest.push_back(args[i]);
    }
  }
  args = std::move(rest);
  return ini;
}

std::string iniDirectory(const std::string& iniPath) {
  return fs::path(iniPath).parent_path().string();
}

void ensureIniDirectory(const std::string& iniPath) {
  const std::string dir = iniDirectory(iniPath);
  if (dir.empty()) return;
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) throw platform::FileError("Cannot create directory \"" + dir + "\": " + ec.message());
}

void prepareLogging(runtime::AppContext& ctx, const std::string& iniPath, const std::tm& localStart,
                    int milliseconds) {
  ctx.log.loggingActive = ctx.settings.LOG;
  ctx.log.logFileName.clear();
  if (!ctx.log.loggingActive) return;
  const std::string logDir = runtime::clientFile(iniDirectory(iniPath), "log");
  if (!isDirectory(logDir) && ::mkdir(logDir.c_str(), 0777) != 0) {
    ctx.message("Error", "Subdirectory /log/ cannot be created!", runtime::MsgIcon::Error,
                runtime::MsgButtons::Ok);
    ctx.log.loggingActive = false;
    return;
  }
  ctx.log.logFileName =
      runtime::clientFile(logDir, runtime::logFileNameFor(localStart, milliseconds));
}

AppSession::AppSession(runtime::AppContext& ctx, std::string iniPath)
    : ctx_(ctx), iniPath_(std::move(iniPath)) {}

AppSession::~AppSession() {
  if (!started_ || historySaved_) return;
  try {
    saveHistory();
  } catch (...) {
    // The program is ending; there is nobody left to tell.
  }
}

void AppSession::start(std::chrono::system_clock::time_point now) {
  ctx_.state = runtime::RunState{};
  ctx_.settings = loadSettings(iniPath_);

  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  const auto sinceEpoch =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  prepareLogging(ctx_, iniPath_, local, static_cast<int>(((sinceEpoch % 1000) + 1000) % 1000));

  history_.loadFromIni(iniPath_, kHistorySection);
  started_ = true;
  historySaved_ = false;
  ctx_.log.writeLog("Ravelin successfully started - VARs initialized and WNDs created");
}

void AppSession::close() {
  ctx_.log.writeLog("Main window and application closed");
}

void AppSession::saveHistory() {
  if (!history_.isEmpty()) {
    ensureIniDirectory(iniPath_);
    history_.saveToIni(iniPath_, kHistorySection);
  }
  historySaved_ = true;
}

void AppSession::saveSettings() {
  ensureIniDirectory(iniPath_);
  storeSettings(ctx_.settings, iniPath_);
}

void AppSession::saveVrfWarning() {
  ensureIniDirectory(iniPath_);
  storeVrfWarning(ctx_.settings.VrfWarning, iniPath_);
}

}  // namespace ravelin::app

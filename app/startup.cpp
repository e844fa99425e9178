#include "app/startup.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "app/log_folder.h"
#include "app/settings_store.h"
#include "app/transfer_time_file.h"
#include "platform/calendar.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/system.h"
#include "platform/user_folders.h"
#include "runtime/translate.h"

namespace ravelin::app {

namespace fs = std::filesystem;

namespace {
constexpr const char* kIniName = "ravelin.ini";
// The folder of this program's own among the user's folders, named as each system's
// programs name theirs.
constexpr const char* kUserFolder = platform::kWindows ? "Ravelin" : "ravelin";

bool isDirectory(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(platform::pathFromUtf8(path), ec);
}

// Creates the directory itself, not its parents, for this user alone; true when it is one
// afterwards.
bool makeDirectory(const std::string& path) {
  if (!isDirectory(iniDirectory(path))) return false;
  try {
    platform::makePrivateDirectories(path);
  } catch (const platform::FileError&) {
    return false;
  }
  return isDirectory(path);
}

// A base directory for settings or state: the value when it is absolute (a relative one is
// invalid and ignored), else the XDG default below the home directory.
std::string xdgBase(const std::string& value, const std::string& home, const char* fallback) {
  if (!value.empty() && platform::pathFromUtf8(value).is_absolute()) return value;
  return runtime::clientFile(home, fallback);
}

bool pathExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(platform::pathFromUtf8(path), ec));
}

// Moves old to now when old is there and now is not; on failure keeps old in use.
void moveOld(const std::string& old, std::string& now, std::vector<std::string>& failures) {
  if (old == now || !pathExists(old) || pathExists(now)) return;
  try {
    ensureIniDirectory(now);
    platform::movePath(old, now);
    // What an older version left readable by others is this user's alone from now on.
    platform::restrictToOwner(now);
  } catch (const platform::FileError& e) {
    failures.push_back(std::string(e.what()) + "; still using " + old);
    now = old;
  }
}
}  // namespace

std::string absolutePath(const std::string& path) {
  std::error_code ec;
  const fs::path abs = fs::absolute(platform::pathFromUtf8(path), ec);
  return ec ? path : platform::utf8FromPath(abs.lexically_normal());
}

std::string executableDirectory() {
  const std::string exe = platform::executablePath();
  return exe.empty() ? std::string()
                     : platform::utf8FromPath(platform::pathFromUtf8(exe).parent_path());
}

StartupEnvironment currentStartupEnvironment() {
  StartupEnvironment env;
  env.exeDir = executableDirectory();
  env.configHome = platform::userConfigBase();
  env.stateHome = platform::userStateBase();
  env.home = platform::homeDirectory();
  return env;
}

FilePlaces placesBesideIni(const std::string& iniPath) {
  FilePlaces places;
  places.iniFile = absolutePath(iniPath);
  const std::string dir = iniDirectory(places.iniFile);
  places.logDir = runtime::clientFile(dir, "log");
  places.transferFile = runtime::clientFile(dir, TransferTimeFile::kFileName);
  return places;
}

FilePlaces locateFiles(const StartupEnvironment& env, const std::string& explicitIni) {
  if (!explicitIni.empty()) return placesBesideIni(explicitIni);
  if (!env.exeDir.empty()) {
    const std::string beside = runtime::clientFile(env.exeDir, kIniName);
    if (platform::fileExists(beside)) return placesBesideIni(beside);
  }
  const std::string config =
      runtime::clientFile(xdgBase(env.configHome, env.home, ".config"), kUserFolder);
  const std::string state =
      runtime::clientFile(xdgBase(env.stateHome, env.home, ".local/state"), kUserFolder);
  FilePlaces places;
  places.iniFile = absolutePath(runtime::clientFile(config, kIniName));
  places.logDir = absolutePath(runtime::clientFile(state, "log"));
  places.transferFile = absolutePath(runtime::clientFile(state, TransferTimeFile::kFileName));
  places.separateState = true;
  return places;
}

std::vector<std::string> moveOldStateFiles(FilePlaces& places) {
  std::vector<std::string> failures;
  if (!places.separateState) return failures;
  const FilePlaces old = placesBesideIni(places.iniFile);
  moveOld(old.logDir, places.logDir, failures);
  moveOld(old.transferFile, places.transferFile, failures);
  return failures;
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
  return platform::utf8FromPath(platform::pathFromUtf8(iniPath).parent_path());
}

void ensureIniDirectory(const std::string& iniPath) {
  const std::string dir = iniDirectory(iniPath);
  if (dir.empty()) return;
  platform::makePrivateDirectories(dir);
}

void prepareLogging(runtime::AppContext& ctx, const FilePlaces& places, const std::tm& localStart,
                    int milliseconds) {
  ctx.log.loggingActive = ctx.settings.LOG;
  ctx.log.logFileName.clear();
  if (!ctx.log.loggingActive) return;
  const std::string& logDir = places.logDir;
  if (places.separateState) {
    try {
      platform::makePrivateDirectories(iniDirectory(logDir));
    } catch (const platform::FileError&) {
      // Shows as the log folder's failure below.
    }
  }
  if (!isDirectory(logDir) && !makeDirectory(logDir)) {
    ctx.message(N_("Error"), N_("Subdirectory /log/ cannot be created!"), runtime::MsgIcon::Error,
                runtime::MsgButtons::Ok);
    ctx.log.loggingActive = false;
    return;
  }
  const std::string name = chooseLogFileName(logDir, localStart, milliseconds);
  pruneLogFiles(logDir, name, ctx.settings.LogKeep);
  ctx.log.logFileName = runtime::clientFile(logDir, name);
}

AppSession::AppSession(runtime::AppContext& ctx, FilePlaces places)
    : ctx_(ctx), places_(std::move(places)) {}

AppSession::AppSession(runtime::AppContext& ctx, const std::string& iniPath)
    : AppSession(ctx, placesBesideIni(iniPath)) {}

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
  ctx_.settings = loadSettings(places_.iniFile);
  // It keeps the External Connection's password digest: a copy written by hand with the
  // usual rights is made this user's alone, as every write of it would.
  if (platform::fileExists(places_.iniFile)) platform::restrictToOwner(places_.iniFile);
  const std::vector<std::string> moveFailures = moveOldStateFiles(places_);

  const std::tm local = platform::localCalendarTime(std::chrono::system_clock::to_time_t(now));
  const auto sinceEpoch =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  prepareLogging(ctx_, places_, local, static_cast<int>(((sinceEpoch % 1000) + 1000) % 1000));

  history_.loadFromIni(places_.iniFile, kHistorySection);
  started_ = true;
  historySaved_ = false;
  ctx_.log.writeLog("Ravelin successfully started - VARs initialized and WNDs created");
  for (const std::string& failure : moveFailures) ctx_.log.writeLog(failure);
}

void AppSession::close() {
  ctx_.log.writeLog("Main window and application closed");
}

void AppSession::saveHistory() {
  if (!history_.isEmpty()) {
    ensureIniDirectory(places_.iniFile);
    history_.saveToIni(places_.iniFile, kHistorySection);
  }
  historySaved_ = true;
}

void AppSession::saveSettings() {
  ensureIniDirectory(places_.iniFile);
  storeSettings(ctx_.settings, places_.iniFile);
}

void AppSession::saveVrfWarning() {
  ensureIniDirectory(places_.iniFile);
  storeVrfWarning(ctx_.settings.VrfWarning, places_.iniFile);
}

}  // namespace ravelin::app

#pragma once
#include <chrono>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "app/history_list.h"
#include "runtime/app_context.h"

namespace ravelin::app {

// Where the program looks for its settings, passed in so that the rule can be tried
// with any directories.
struct StartupEnvironment {
  std::string exeDir;         // directory of the running executable
  std::string xdgConfigHome;  // $XDG_CONFIG_HOME, empty when unset
  std::string home;           // the user's home directory
};

// The directory of /proc/self/exe, empty when it cannot be found.
std::string executableDirectory();
// The running program's environment: its executable's directory, $XDG_CONFIG_HOME and
// the home directory ($HOME, else the password database).
StartupEnvironment currentStartupEnvironment();

// The ravelin.ini to use, as an absolute path:
// - explicitIni (from --ini) when given;
// - else ravelin.ini in the executable's directory when one is there already or the
//   directory is writable (a portable copy, the build tree);
// - else $XDG_CONFIG_HOME/ravelin/ravelin.ini when that variable holds an absolute path,
//   otherwise ~/.config/ravelin/ravelin.ini.
// Nothing is created.
std::string locateIniFile(const StartupEnvironment& env, const std::string& explicitIni = "");

// Removes "--ini FILE" or "--ini=FILE" from args and returns FILE; the last one wins.
// Throws std::invalid_argument when "--ini" is the last argument.
std::optional<std::string> takeIniOption(std::vector<std::string>& args);

// The directory that holds the ini file (where the log directory goes).
std::string iniDirectory(const std::string& iniPath);
// Creates the directories in front of the ini file, so that a first save can write it.
// Throws platform::FileError when they cannot be created.
void ensureIniDirectory(const std::string& iniPath);

// Logging for this run: loggingActive follows LOG. When it is set, the subdirectory "log"
// beside the ini file is created if missing (one level only); when that fails the user
// is told so with an error box and logging is off for the run. Otherwise logFileName is
// that directory plus the file name formed from the start time; the file itself is
// created by the first line.
void prepareLogging(runtime::AppContext& ctx, const std::string& iniPath, const std::tm& localStart,
                    int milliseconds);

// Start-up and shutdown of the application, without any window: both front ends create
// one for the run, call start() before anything else, close() when the user or a script
// closes the program, and destroy it last.
class AppSession {
 public:
  static constexpr const char* kHistorySection = "MRU";

  AppSession(runtime::AppContext& ctx, std::string iniPath);
  // Saves the recently used scripts (when the session was started); a failure to write
  // them is not reported.
  ~AppSession();
  AppSession(const AppSession&) = delete;
  AppSession& operator=(const AppSession&) = delete;

  // Sets the run-state flags to their initial values, reads the settings, prepares the
  // log, loads the recently used scripts and writes the start line to the log. The ini
  // file is not created.
  void start(std::chrono::system_clock::time_point now = std::chrono::system_clock::now());
  // The last log line of the run. A front end shows its sponsor popup before this.
  void close();
  // Saves the recently used scripts now (and not again at destruction). Throws
  // platform::FileError when the file cannot be written.
  void saveHistory();

  // Writes the settings that the options dialog edits into the ini file, creating its
  // directory when needed. Throws platform::FileError when that fails; the settings in
  // memory keep their values.
  void saveSettings();
  // Writes VrfWarning alone, as the verification warning dialog does.
  void saveVrfWarning();

  const std::string& iniPath() const { return iniPath_; }
  runtime::AppContext& context() { return ctx_; }
  HistoryList& history() { return history_; }
  bool started() const { return started_; }

 private:
  runtime::AppContext& ctx_;
  std::string iniPath_;
  HistoryList history_;
  bool started_ = false;
  bool historySaved_ = false;
};

}  // namespace ravelin::app

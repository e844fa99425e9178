#pragma once
#include <chrono>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "app/history_list.h"
#include "runtime/app_context.h"

namespace ravelin::app {

// Where the program looks for its files, passed in so that the rule can be tried with
// any directories.
struct StartupEnvironment {
  std::string exeDir;      // directory of the running executable
  std::string configHome;  // $XDG_CONFIG_HOME (Windows: %APPDATA%), empty when unset
  std::string stateHome;   // $XDG_STATE_HOME (Windows: %LOCALAPPDATA%), empty when unset
  std::string home;        // the user's home directory
};

// The directory of /proc/self/exe, empty when it cannot be found.
std::string executableDirectory();
// A file name made absolute against the current directory ("." and ".." removed); the
// name as it is when the system cannot say.
std::string absolutePath(const std::string& path);
// The running program's environment: its executable's directory, the user's folders for
// settings and state (platform::userConfigBase and userStateBase) and the home directory.
StartupEnvironment currentStartupEnvironment();

// Where a run keeps its files, all absolute paths.
struct FilePlaces {
  std::string iniFile;       // ravelin.ini
  std::string logDir;        // the log folder, "log"
  std::string transferFile;  // the hand-over time record, ravelin-transfer.ini
  // Whether the log folder and the hand-over record live in the user's state folder
  // (created with its parents when needed), apart from ravelin.ini. Otherwise they are
  // beside ravelin.ini, whose folder the log never creates.
  bool separateState = false;
};

// The places of a self-contained set-up: ravelin.ini at iniPath, its state beside it.
FilePlaces placesBesideIni(const std::string& iniPath);

// This run's places:
// - explicitIni (from --ini) when given, with its state beside it;
// - else a ravelin.ini that already exists in the executable's directory (a portable
//   copy), with its state beside it; none is ever created there;
// - else $XDG_CONFIG_HOME/ravelin/ravelin.ini (default ~/.config/ravelin/ravelin.ini), with
//   the state in $XDG_STATE_HOME/ravelin/ (default ~/.local/state/ravelin/); on Windows
//   %APPDATA%\ravelin\ and %LOCALAPPDATA%\ravelin\. A relative value is invalid and
//   ignored.
// Nothing is created.
FilePlaces locateFiles(const StartupEnvironment& env, const std::string& explicitIni = "");

// Moves the log folder and the hand-over record from beside ravelin.ini, where older
// versions kept them, into the separate state folder when it has none of its own (never
// replacing anything). A move that fails leaves the old one in place and in places;
// returns a line per failure. Does nothing without a separate state folder.
std::vector<std::string> moveOldStateFiles(FilePlaces& places);

// Removes "--ini FILE" or "--ini=FILE" from args and returns FILE; the last one wins.
// Throws std::invalid_argument when "--ini" is the last argument.
std::optional<std::string> takeIniOption(std::vector<std::string>& args);

// The directory that holds the ini file.
std::string iniDirectory(const std::string& iniPath);
// Creates the directories in front of the ini file, so that a first save can write it.
// Throws platform::FileError when they cannot be created.
void ensureIniDirectory(const std::string& iniPath);

// Logging for this run: loggingActive follows LOG. When it is set, the log folder is
// created if missing (one level only, after the separate state folder); when that fails
// the user is told so with an error box and logging is off for the run. Otherwise
// logFileName is the folder plus the name from the start time (chooseLogFileName), the
// folder is pruned to LogKeep files, and the file itself is created by the first line.
void prepareLogging(runtime::AppContext& ctx, const FilePlaces& places, const std::tm& localStart,
                    int milliseconds);

// Start-up and shutdown of the application, without any window: both front ends create
// one for the run, call start() before anything else, close() when the user or a script
// closes the program, and destroy it last.
class AppSession {
 public:
  static constexpr const char* kHistorySection = "MRU";

  AppSession(runtime::AppContext& ctx, FilePlaces places);
  // A session with its state beside iniPath (placesBesideIni).
  AppSession(runtime::AppContext& ctx, const std::string& iniPath);
  // Saves the recently used scripts (when the session was started); a failure to write
  // them is not reported.
  ~AppSession();
  AppSession(const AppSession&) = delete;
  AppSession& operator=(const AppSession&) = delete;

  // Sets the run-state flags to their initial values, reads the settings, moves old state
  // files (moveOldStateFiles), prepares the log, loads the recently used scripts and
  // writes the start line to the log, followed by any failed move. The ini file is not
  // created.
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

  const std::string& iniPath() const { return places_.iniFile; }
  // Where this run's files are (after start(), where the log and record really are).
  const FilePlaces& places() const { return places_; }
  runtime::AppContext& context() { return ctx_; }
  HistoryList& history() { return history_; }
  bool started() const { return started_; }

 private:
  runtime::AppContext& ctx_;
  FilePlaces places_;
  HistoryList history_;
  bool started_ = false;
  bool historySaved_ = false;
};

}  // namespace ravelin::app

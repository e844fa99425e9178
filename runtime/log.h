#pragma once
#include <ctime>
#include <optional>
#include <string>

namespace ravelin::runtime {

// The action log: one line per action in a file per run, reopened for every line so that
// other programs can read it while the program runs.
class Log {
 public:
  bool loggingActive = false;
  std::string logFileName;

  // Appends "MM/DD/YYYY HH:MM:SS - message" and LF when logging is active. Never fails
  // towards the caller: a line that cannot be written is lost, the next call tries again.
  void writeLog(const std::string& message) const;
};

// "12/07/2026 14:03:09 - " for the given local time.
std::string logTimeStamp(const std::tm& local);
// "2026-12-07_14-03-09.log" for the given local time, names that sort by time; with
// milliseconds "2026-12-07_14-03-09-045.log".
std::string logFileNameFor(const std::tm& local, std::optional<int> milliseconds = std::nullopt);

}  // namespace ravelin::runtime

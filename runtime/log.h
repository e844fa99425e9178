#pragma once
#include <ctime>
#include <string>

namespace ravelin::runtime {

// The action log: one line per action in a file per run, reopened for every line so that
// other programs can read it while the program runs.
class Log {
 public:
  bool loggingActive = false;
  std::string logFileName;

  // Appends "MM/DD/YYYY HH:MM:SS - message" and CR LF when logging is active. Never fails
  // towards the caller: a line that cannot be written is lost, the next call tries again.
  void writeLog(const std::string& message) const;
};

// "12/07/2026 14:03:09 - " for the given local time.
std::string logTimeStamp(const std::tm& local);
// "12-07-2026_14-03-09-045.log" for the given local time and milliseconds.
std::string logFileNameFor(const std::tm& local, int milliseconds);

}  // namespace ravelin::runtime

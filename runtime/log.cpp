#include "runtime/log.h"

#include <cstdio>

#include "platform/calendar.h"
#include "platform/file_io.h"

namespace ravelin::runtime {

std::string logTimeStamp(const std::tm& t) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d:%02d - ", t.tm_mon + 1, t.tm_mday,
                t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
  return buf;
}

std::string logFileNameFor(const std::tm& t, std::optional<int> milliseconds) {
  char buf[48];
  const int n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d_%02d-%02d-%02d", t.tm_year + 1900,
                              t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  if (milliseconds)
    std::snprintf(buf + n, sizeof buf - static_cast<size_t>(n), "-%03d", *milliseconds);
  return std::string(buf) + ".log";
}

void Log::writeLog(const std::string& message) const {
  if (!loggingActive) return;
  const std::tm local = platform::localCalendarTime(std::time(nullptr));
  // A log that cannot be written is not reported: there is nowhere left to report it.
  platform::appendToFile(logFileName, logTimeStamp(local) + message + "\n");
}

}  // namespace ravelin::runtime

#include "app/log_folder.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/file_io.h"
#include "platform/paths.h"
#include "runtime/log.h"
#include "runtime/settings.h"

namespace ravelin::app {

namespace fs = std::filesystem;

namespace {

// Whether name has the shape of form, where '9' stands for any digit.
bool hasForm(std::string_view name, std::string_view form) {
  if (name.size() != form.size()) return false;
  for (size_t i = 0; i < form.size(); ++i) {
    const bool digit = name[i] >= '0' && name[i] <= '9';
    if (form[i] == '9' ? !digit : name[i] != form[i]) return false;
  }
  return true;
}

// The start time in a log file's name as "YYYYMMDDhhmmssmmm" (which sorts by time), empty
// for a name of neither form.
std::string timeInName(std::string_view name) {
  auto digits = [&](size_t at, size_t count) { return std::string(name.substr(at, count)); };
  if (hasForm(name, "9999-99-99_99-99-99.log"))
    return digits(0, 4) + digits(5, 2) + digits(8, 2) + digits(11, 2) + digits(14, 2) +
           digits(17, 2) + "000";
  if (hasForm(name, "9999-99-99_99-99-99-999.log"))
    return digits(0, 4) + digits(5, 2) + digits(8, 2) + digits(11, 2) + digits(14, 2) +
           digits(17, 2) + digits(20, 3);
  if (hasForm(name, "99-99-9999_99-99-99-999.log"))  // month-day-year, as older versions named
    return digits(6, 4) + digits(0, 2) + digits(3, 2) + digits(11, 2) + digits(14, 2) +
           digits(17, 2) + digits(20, 3);
  return {};
}

}  // namespace

std::string chooseLogFileName(const std::string& logDir, const std::tm& localStart,
                              int milliseconds) {
  const std::string plain = runtime::logFileNameFor(localStart);
  if (!platform::fileExists(runtime::clientFile(logDir, plain))) return plain;
  return runtime::logFileNameFor(localStart, milliseconds);
}

void pruneLogFiles(const std::string& logDir, const std::string& thisRunName, int keep) {
  if (keep <= 0) return;
  std::vector<std::pair<std::string, fs::path>> older;  // (time, file)
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(platform::pathFromUtf8(logDir), ec)) {
    const std::string name = platform::utf8FromPath(entry.path().filename());
    // Only the names this program gives its logs: the folder may be shared with files of
    // other programs (a log folder beside a ravelin.ini named with --ini).
    std::string time = timeInName(name);
    if (name == thisRunName || time.empty() || !entry.is_regular_file(ec)) continue;
    older.emplace_back(std::move(time), entry.path());
  }
  const size_t kept = static_cast<size_t>(keep) - 1;  // this run's file is one of them
  if (older.size() <= kept) return;
  std::sort(older.begin(), older.end(), std::greater<>());  // newest first
  for (size_t i = kept; i < older.size(); ++i) fs::remove(older[i].second, ec);
}

}  // namespace ravelin::app

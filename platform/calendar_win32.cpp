#include "platform/calendar.h"

#include <locale.h>

namespace ravelin::platform {

std::tm localCalendarTime(std::int64_t unixSeconds) {
  const std::time_t t = static_cast<std::time_t>(unixSeconds);
  std::tm local{};
  localtime_s(&local, &t);
  return local;
}

std::tm utcCalendarTime(std::int64_t unixSeconds) {
  const std::time_t t = static_cast<std::time_t>(unixSeconds);
  std::tm utc{};
  gmtime_s(&utc, &t);
  return utc;
}

std::string formatInLocale(const std::tm& t, const char* format, const char* localeName) {
  _locale_t loc = _create_locale(LC_TIME, localeName);
  if (!loc) loc = _create_locale(LC_TIME, "C");
  if (!loc) return {};
  char buf[256];
  const size_t n = _strftime_l(buf, sizeof buf, format, &t, loc);
  _free_locale(loc);
  return std::string(buf, n);
}

}  // namespace ravelin::platform

#include "platform/calendar.h"

#include <locale.h>

namespace ravelin::platform {

std::tm localCalendarTime(std::int64_t unixSeconds) {
  const std::time_t t = static_cast<std::time_t>(unixSeconds);
  std::tm local{};
  localtime_r(&t, &local);
  return local;
}

std::tm utcCalendarTime(std::int64_t unixSeconds) {
  const std::time_t t = static_cast<std::time_t>(unixSeconds);
  std::tm utc{};
  gmtime_r(&t, &utc);
  return utc;
}

std::string formatInLocale(const std::tm& t, const char* format, const char* localeName) {
  locale_t loc = ::newlocale(LC_TIME_MASK, localeName, static_cast<locale_t>(nullptr));
  if (!loc) loc = ::newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
  if (!loc) return {};
  char buf[256];
  const size_t n = ::strftime_l(buf, sizeof buf, format, &t, loc);
  ::freelocale(loc);
  return std::string(buf, n);
}

}  // namespace ravelin::platform

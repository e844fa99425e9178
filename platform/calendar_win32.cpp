#include <windows.h>

#include "platform/calendar.h"
#include "platform/wide_text.h"

namespace ravelin::platform {

namespace {

// A POSIX locale name ("de_DE.UTF-8") as Windows names locales ("de-DE").
std::wstring windowsLocaleName(const char* localeName) {
  std::string name(localeName);
  name = name.substr(0, name.find_first_of(".@"));
  for (char& c : name)
    if (c == '_') c = '-';
  return wideFromUtf8(name);
}

}  // namespace

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

// The C run-time has no strftime for a named locale: the date and time of a named (or the
// user's) locale come from the system's own formatting, everything else from strftime in
// the "C" locale, which this program never leaves.
std::string formatInLocale(const std::tm& t, const char* format, const char* localeName) {
  const std::string_view f(format);
  if ((f == "%x" || f == "%X") && std::string_view(localeName) != "C") {
    const std::wstring name = windowsLocaleName(localeName);
    const wchar_t* locale = name.empty() ? LOCALE_NAME_USER_DEFAULT : name.c_str();
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.tm_year + 1900);
    st.wMonth = static_cast<WORD>(t.tm_mon + 1);
    st.wDay = static_cast<WORD>(t.tm_mday);
    st.wDayOfWeek = static_cast<WORD>(t.tm_wday);
    st.wHour = static_cast<WORD>(t.tm_hour);
    st.wMinute = static_cast<WORD>(t.tm_min);
    st.wSecond = static_cast<WORD>(t.tm_sec);
    wchar_t buf[128];
    const int n = f == "%x"
                      ? GetDateFormatEx(locale, DATE_SHORTDATE, &st, nullptr, buf, 128, nullptr)
                      : GetTimeFormatEx(locale, 0, &st, nullptr, buf, 128);
    if (n > 0) return utf8FromWide(std::wstring_view(buf, static_cast<std::size_t>(n - 1)));
  }
  char buf[256];
  const size_t n = std::strftime(buf, sizeof buf, format, &t);
  return std::string(buf, n);
}

}  // namespace ravelin::platform

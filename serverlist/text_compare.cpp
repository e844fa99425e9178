#include "serverlist/text_compare.h"

#include <charconv>
#include <system_error>

namespace ravelin::serverlist {

namespace {
inline bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
}  // namespace

std::optional<double> parseNumberText(std::string_view s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  const size_t mantissa = i;
  size_t digits = 0;
  while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;
  // from_chars takes no leading "+" and is independent of the locale.
  double value = 0;
  const char* first = s.data() + mantissa;
  const char* last = s.data() + s.size();
  const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec != std::errc() || end != last) return std::nullopt;
  if (s[0] == '-') value = -value;
  return value;
}

}  // namespace ravelin::serverlist

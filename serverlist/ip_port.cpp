#include "serverlist/ip_port.h"
#include "platform/text.h"

namespace ravelin::serverlist {

// Digits and exactly three dots; no empty part; the first three parts have at most three
// digits; every part is at most 255; the first part never starts with 0, the others only
// when their value is 0 (1.00.3.4 is fine, 1.02.3.4 is not). The fourth part's length is
// not limited, only its value.
bool isValidIP(std::string_view s) {
  std::string_view parts[4];
  size_t count = 0;
  size_t start = 0;
  for (size_t i = 0; i <= s.size(); ++i) {
    if (i == s.size() || s[i] == '.') {
      if (count == 4) return false;
      parts[count++] = s.substr(start, i - start);
      start = i + 1;
    } else if (s[i] < '0' || s[i] > '9') {
      return false;
    }
  }
  if (count != 4) return false;
  for (size_t p = 0; p < 4; ++p) {
    const std::string_view part = parts[p];
    if (part.empty()) return false;
    if (p < 3 && part.size() > 3) return false;
    std::uint32_t value = 0;
    for (char c : part) {
      value = value * 10 + static_cast<std::uint32_t>(c - '0');
      if (value > 255) return false;
    }
    if (part[0] == '0' && (p == 0 || value != 0)) return false;
  }
  return true;
}

bool isValidPort(std::string_view text) {
  const auto v = platform::parseInt32(text);
  return v && *v >= 0 && *v <= kMaxServerPort;
}

}  // namespace ravelin::serverlist

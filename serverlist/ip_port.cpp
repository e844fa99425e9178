#include "serverlist/ip_port.h"

std::optional<std::int32_t> ParseInt32(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  bool hex = false;
  if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return std::nullopt;
  std::uint64_t value = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    unsigned digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (hex && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (hex && c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    value = value * (hex ? 16 : 10) + digit;
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  if (hex) {
    // A hexadecimal number covers all 32 bits: $FFFFFFFF is -1.
    const auto bits = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    return negative ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(bits)) : bits;
  }
  if (negative) {
    if (value > 2147483648ull) return std::nullopt;
    return static_cast<std::int32_t>(-static_cast<std::int64_t>(value));
  }
  if (value > 2147483647ull) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

// Digits and exactly three dots; no empty part; the first three parts have at most three
// digits; every part is at most 255; the first part never starts with 0, the others only
// when their value is 0 (1.00.3.4 is fine, 1.02.3.4 is not). The fourth part's length is
// not limited, only its value.
bool IsValidIP(std::string_view s) {
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

bool IsValidPort(std::string_view text) {
  const auto v = ParseInt32(text);
  return v && *v >= 0 && *v <= 40000;
}

std::string TrimText(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

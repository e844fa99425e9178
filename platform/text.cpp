#include "platform/text.h"

namespace ravelin::platform {

namespace {
unsigned char upperByte(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - ('a' - 'A')) : u;
}
}  // namespace

std::optional<std::int32_t> parseInt32(std::string_view s) {
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

std::string trimText(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

std::string lowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = lowerChar(c);
  return out;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lowerChar(a[i]) != lowerChar(b[i])) return false;
  return true;
}

int compareTextNoCase(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = upperByte(a[i]);
    const unsigned char y = upperByte(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace ravelin::platform

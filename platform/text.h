#pragma once
// Text helpers shared by every layer: the integer parse of the whole system, trimming, and
// comparisons that ignore the letter case of A to Z only (names, paths and keys are bytes,
// not text in a locale).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ravelin::platform {

// The integer parse used wherever the system turns a text into a number: leading blanks,
// an optional sign, decimal digits or a hexadecimal number marked by $, x or 0x, and
// nothing after the number. Values must fit in 32 bits.
std::optional<std::int32_t> parseInt32(std::string_view text);

// Removes blanks and control characters (every byte up to 0x20) from both ends.
std::string trimText(std::string_view text);

// The byte with A to Z in lower case.
inline char lowerChar(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The text with A to Z in lower case, every other byte unchanged.
std::string lowerAscii(std::string_view text);

// Equal when only the letter case of A to Z differs.
bool equalsNoCase(std::string_view a, std::string_view b);

// Compares two texts byte by byte with the letters a to z taken as A to Z; every other
// byte compares by its value, and a text that is a prefix of the other comes first.
// Returns -1, 0 or 1.
int compareTextNoCase(std::string_view a, std::string_view b);

}  // namespace ravelin::platform

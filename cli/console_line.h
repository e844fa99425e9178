#pragma once
// The bytes that draw a line in place on a terminal, over the line drawn before.
#include <cstddef>
#include <string>
#include <string_view>

namespace ravelin::cli {

// The columns a UTF-8 text takes: one per character.
inline std::size_t textColumns(std::string_view text) {
  std::size_t columns = 0;
  for (const char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++columns;
  return columns;
}

// Returns to the line's start and writes text over the last line, which took width columns
// (updated to text's). With escapes the rest of the line is erased by one; without (a
// console that takes none) blanks cover what the longer last line left, and the cursor goes
// back to the line's start when text is empty, so that what follows starts there.
inline std::string redrawLine(std::string_view text, std::size_t& width, bool escapes) {
  std::string out = escapes ? "\r\033[K" : "\r";
  out += text;
  const std::size_t columns = textColumns(text);
  if (!escapes && columns < width) {
    out.append(width - columns, ' ');
    if (text.empty()) out += '\r';
  }
  width = columns;
  return out;
}

}  // namespace ravelin::cli

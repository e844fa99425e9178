#pragma once
// The encodings that text files (scripts, ravelin.ini) arrive in from editors: UTF-8 with or
// without a byte-order mark, UTF-16 in either byte order with its mark, and, without a mark,
// the system's single-byte code page. Inside the program every text is UTF-8.
#include <string>
#include <string_view>

namespace ravelin::platform {

enum class TextEncoding {
  Utf8,          // no mark, valid UTF-8 (plain ASCII included)
  Utf8WithMark,  // EF BB BF in front
  Utf16Le,       // FF FE in front
  Utf16Be,       // FE FF in front
  Ansi,          // no mark and not valid UTF-8: the system's code page
};

struct DecodedText {
  TextEncoding encoding = TextEncoding::Utf8;
  // UTF-8 without the mark; for Ansi the bytes as they were.
  std::string text;
};

bool isValidUtf8(std::string_view bytes);

// Decodes bytes by their byte-order mark. UTF-16 becomes UTF-8; a lone surrogate and an odd
// last byte become U+FFFD, so any input decodes. Without a mark the bytes stay as they are.
DecodedText decodeByMark(std::string_view bytes);

// The bytes of a UTF-8 text in an encoding, its mark included; the inverse of
// decodeByMark. Ansi text is taken as it stands (a file read that way on Windows was
// converted to UTF-8 and is written back as such, which loses no character).
std::string encodeWithMark(std::string_view utf8, TextEncoding encoding);

// A whole text file decoded by its mark; text without one that is not valid UTF-8 is
// converted from the system's code page (ansi_code_page.h). Throws FileError.
DecodedText readTextFile(const std::string& path);

}  // namespace ravelin::platform

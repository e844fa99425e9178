#include "platform/text_encoding.h"

#include <cstdint>

#include "platform/ansi_code_page.h"
#include "platform/file_io.h"

namespace ravelin::platform {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The code point that starts at bytes[i] and its length; a length of 0 when the bytes there
// are not UTF-8 (overlong forms, surrogates and values beyond U+10FFFF included).
std::pair<char32_t, size_t> nextUtf8(std::string_view bytes, size_t i) {
  const auto c = static_cast<unsigned char>(bytes[i]);
  if (c < 0x80) return {c, 1};
  size_t len = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if ((c & 0xE0) == 0xC0) {
    len = 2, min = 0x80, cp = c & 0x1F;
  } else if ((c & 0xF0) == 0xE0) {
    len = 3, min = 0x800, cp = c & 0x0F;
  } else if ((c & 0xF8) == 0xF0) {
    len = 4, min = 0x10000, cp = c & 0x07;
  } else {
    return {0, 0};
  }
  if (len > bytes.size() - i) return {0, 0};
  for (size_t k = 1; k < len; ++k) {
    const auto cc = static_cast<unsigned char>(bytes[i + k]);
    if ((cc & 0xC0) != 0x80) return {0, 0};
    cp = (cp << 6) | (cc & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {0, 0};
  return {cp, len};
}

std::string utf8FromUtf16(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  const auto unitAt = [&](size_t i) -> char16_t {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
  };
  size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    const char16_t unit = unitAt(i);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
      const char16_t low = unitAt(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    appendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
  }
  if (i < bytes.size()) appendUtf8(out, kReplacement);
  return out;
}

void appendUtf16(std::string& out, char16_t unit, bool bigEndian) {
  const auto high = static_cast<char>(unit >> 8);
  const auto low = static_cast<char>(unit & 0xFF);
  out += bigEndian ? high : low;
  out += bigEndian ? low : high;
}

// Bytes that are not UTF-8 become U+FFFD each: the text came from this program as UTF-8,
// so only a field read as bytes from elsewhere can hold them.
std::string utf16FromUtf8(std::string_view text, bool bigEndian) {
  std::string out;
  out.reserve(text.size() * 2 + 2);
  appendUtf16(out, 0xFEFF, bigEndian);
  for (size_t i = 0; i < text.size();) {
    auto [cp, len] = nextUtf8(text, i);
    if (len == 0) cp = kReplacement, len = 1;
    i += len;
    if (cp >= 0x10000) {
      appendUtf16(out, static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)), bigEndian);
      appendUtf16(out, static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)), bigEndian);
    } else {
      appendUtf16(out, static_cast<char16_t>(cp), bigEndian);
    }
  }
  return out;
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const size_t len = nextUtf8(bytes, i).second;
    if (len == 0) return false;
    i += len;
  }
  return true;
}

DecodedText decodeByMark(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Mark))
    return {TextEncoding::Utf8WithMark, std::string(bytes.substr(kUtf8Mark.size()))};
  if (bytes.starts_with(kUtf16LeMark))
    return {TextEncoding::Utf16Le, utf8FromUtf16(bytes.substr(2), false)};
  if (bytes.starts_with(kUtf16BeMark))
    return {TextEncoding::Utf16Be, utf8FromUtf16(bytes.substr(2), true)};
  return {isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Ansi, std::string(bytes)};
}

std::string encodeWithMark(std::string_view utf8, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8WithMark:
      return std::string(kUtf8Mark) + std::string(utf8);
    case TextEncoding::Utf16Le:
      return utf16FromUtf8(utf8, false);
    case TextEncoding::Utf16Be:
      return utf16FromUtf8(utf8, true);
    case TextEncoding::Utf8:
    case TextEncoding::Ansi:
      break;
  }
  return std::string(utf8);
}

DecodedText readTextFile(const std::string& path) {
  DecodedText decoded = decodeByMark(readWholeFile(path));
  if (decoded.encoding == TextEncoding::Ansi) decoded.text = utf8FromAnsiCodePage(decoded.text);
  return decoded;
}

}  // namespace ravelin::platform

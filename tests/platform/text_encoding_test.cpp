#include "platform/text_encoding.h"

#include <gtest/gtest.h>

using namespace ravelin::platform;
using namespace std::string_literals;

namespace {

TEST(TextEncoding, DecodesByTheMarkAndEncodesBackTheSameBytes) {
  // "Grüß 𝄞" (beyond 16 bits); without a mark, bytes that are not UTF-8 stay as they are.
  const std::string utf8 = "Gr\xC3\xBC\xC3\x9F \xF0\x9D\x84\x9E";
  const std::pair<std::string, TextEncoding> cases[] = {
      {utf8, TextEncoding::Utf8},
      {"\xEF\xBB\xBF" + utf8, TextEncoding::Utf8WithMark},
      {"\xFF\xFEG\0r\0\xFC\0\xDF\0 \0\x34\xD8\x1E\xDD"s, TextEncoding::Utf16Le},
      {"\xFE\xFF\0G\0r\0\xFC\0\xDF\0 \xD8\x34\xDD\x1E"s, TextEncoding::Utf16Be}};
  for (const auto& [bytes, encoding] : cases) {
    EXPECT_EQ(decodeByMark(bytes).text, utf8);
    EXPECT_EQ(decodeByMark(bytes).encoding, encoding);
    EXPECT_EQ(encodeWithMark(utf8, encoding), bytes);
    for (size_t cut = 2; encoding >= TextEncoding::Utf16Le && cut < bytes.size(); ++cut)
      EXPECT_TRUE(isValidUtf8(decodeByMark(bytes.substr(0, cut)).text)) << cut;
  }
  EXPECT_EQ(decodeByMark("caf\xE9").encoding, TextEncoding::Ansi);
  EXPECT_EQ(decodeByMark("caf\xE9").text, "caf\xE9");
}

TEST(TextEncoding, BrokenUtf16BecomesReplacementCharacters) {
  const std::string fffd = "\xEF\xBF\xBD";
  EXPECT_EQ(decodeByMark("\xFF\xFE\x41\x00\x42"s).text, "A" + fffd);      // odd length
  EXPECT_EQ(decodeByMark("\xFF\xFE\x00\xDC\x41\x00"s).text, fffd + "A");  // lone low half
  EXPECT_EQ(decodeByMark("\xFE\xFF\xD8\x00\x00\x41"s).text, fffd + "A");  // lone high half
  EXPECT_EQ(encodeWithMark("a\xE9", TextEncoding::Utf16Le), "\xFF\xFE\x61\x00\xFD\xFF"s);
  for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82"})
    EXPECT_FALSE(isValidUtf8(bad)) << bad;
}

}  // namespace

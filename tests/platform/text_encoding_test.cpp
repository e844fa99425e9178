#include "platform/text_encoding.h"

#include <gtest/gtest.h>

using namespace ravelin::platform;
using namespace std::string_literals;

namespace {

TEST(TextEncoding, DecodesByTheMarkAndEncodesBackTheSameBytes) {
  const std::string utf8 = "Gr\xC3\xBC\xC3\x9F \xF0\x9D\x84\x9E";  // "Grüß 𝄞", beyond 16 bits
  const std::pair<std::string, TextEncoding> cases[] = {
      {utf8, TextEncoding::Utf8},
      {"\xEF\xBB\xBF" + utf8, TextEncoding::Utf8WithMark},
      {"\xFF\xFEG\0r\0\xFC\0\xDF\0 \0\x34\xD8\x1E\xDD"s, TextEncoding::Utf16Le},
      {"\xFE\xFF\0G\0r\0\xFC\0\xDF\0 \xD8\x34\xDD\x1E"s, TextEncoding::Utf16Be},
      {"caf\xE9", TextEncoding::Ansi}};  // no mark, not UTF-8: the bytes stay
  for (const auto& [bytes, encoding] : cases) {
    const DecodedText decoded = decodeByMark(bytes);
    EXPECT_EQ(decoded.encoding, encoding);
    EXPECT_EQ(decoded.text, encoding == TextEncoding::Ansi ? bytes : utf8);
    EXPECT_EQ(encodeWithMark(decoded.text, encoding), bytes);
    // Every cut of UTF-16, odd lengths and halves of a pair among them, gives UTF-8.
    const bool utf16 = encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
    for (size_t cut = 2; utf16 && cut < bytes.size(); ++cut)
      EXPECT_TRUE(isValidUtf8(decodeByMark(bytes.substr(0, cut)).text)) << cut;
  }
  // Broken UTF-16 becomes replacement characters.
  const std::string fffd = "\xEF\xBF\xBD";
  EXPECT_EQ(decodeByMark("\xFF\xFE\x41\x00\x42"s).text, "A" + fffd);      // odd length
  EXPECT_EQ(decodeByMark("\xFF\xFE\x00\xDC\x41\x00"s).text, fffd + "A");  // lone low half
  EXPECT_EQ(decodeByMark("\xFE\xFF\xD8\x00\x00\x41"s).text, fffd + "A");  // lone high half
  EXPECT_EQ(encodeWithMark("a\xE9", TextEncoding::Utf16Le), "\xFF\xFE\x61\x00\xFD\xFF"s);
}

}  // namespace

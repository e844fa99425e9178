#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

using namespace ravelin::platform;

namespace {

using namespace std::string_literals;

// "Grüße 𝄞" (a character beyond the 16-bit range) in UTF-8 and both UTF-16 orders.
const std::string kUtf8 =
    "Gr\xC3\xBC\xC3\x9F"
    "e \xF0\x9D\x84\x9E";
const std::string kLe = "G\0r\0\xFC\0\xDF\0e\0 \0\x34\xD8\x1E\xDD"s;
const std::string kBe = "\0G\0r\0\xFC\0\xDF\0e\0 \xD8\x34\xDD\x1E"s;

TEST(TextEncoding, DecodesByTheMarkAndWritesBackTheSameBytes) {
  const struct {
    std::string bytes;
    TextEncoding encoding;
  } cases[] = {{kUtf8, TextEncoding::Utf8},
               {"\xEF\xBB\xBF" + kUtf8, TextEncoding::Utf8WithMark},
               {"\xFF\xFE" + kLe, TextEncoding::Utf16Le},
               {"\xFE\xFF" + kBe, TextEncoding::Utf16Be}};
  for (const auto& c : cases) {
    const DecodedText decoded = decodeByMark(c.bytes);
    EXPECT_EQ(decoded.encoding, c.encoding);
    EXPECT_EQ(decoded.text, kUtf8);
    EXPECT_EQ(encodeWithMark(decoded.text, decoded.encoding), c.bytes);
  }
}

TEST(TextEncoding, TextWithoutMarkThatIsNotUtf8KeepsItsBytes) {
  const DecodedText latin = decodeByMark("caf\xE9.met");
  EXPECT_EQ(latin.encoding, TextEncoding::Ansi);
  EXPECT_EQ(latin.text, "caf\xE9.met");
  for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\x80"})
    EXPECT_FALSE(isValidUtf8(bad)) << bad;
  EXPECT_TRUE(isValidUtf8(""));
}

TEST(TextEncoding, BrokenUtf16BecomesReplacementCharacters) {
  const std::string fffd = "\xEF\xBF\xBD";
  EXPECT_EQ(decodeByMark("\xFF\xFE\x41\x00\x42"s).text, "A" + fffd);      // odd length
  EXPECT_EQ(decodeByMark("\xFF\xFE\x00\xDC\x41\x00"s).text, fffd + "A");  // lone low
  EXPECT_EQ(decodeByMark("\xFE\xFF\xD8\x00\x00\x41"s).text, fffd + "A");  // lone high
  EXPECT_EQ(decodeByMark("\xFE\xFF\xD8\x00"s).text, fffd);                // at the end
  EXPECT_EQ(decodeByMark("\xFF\xFE"s).text, "");
  // What the program holds that is not UTF-8 is still written as well-formed UTF-16.
  EXPECT_EQ(encodeWithMark("a\xE9", TextEncoding::Utf16Le), "\xFF\xFE\x61\x00\xFD\xFF"s);
}

TEST(TextEncoding, EveryCutOfUtf16DecodesToUtf8) {
  for (const std::string& input : {"\xFF\xFE" + kLe, "\xFE\xFF" + kBe}) {
    for (size_t size = 2; size <= input.size(); ++size)
      EXPECT_TRUE(isValidUtf8(decodeByMark(input.substr(0, size)).text)) << size;
  }
}

}  // namespace

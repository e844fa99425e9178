#include <gtest/gtest.h>

#include "platform/text.h"
#include "serverlist/text_compare.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::serverlist;

TEST(CompareTextNoCase, LettersIgnoreCaseOtherBytesCompareByValue) {
  EXPECT_EQ(platform::compareTextNoCase("abc", "ABC"), 0);
  EXPECT_EQ(platform::compareTextNoCase("abc", "ABD"), -1);
  EXPECT_EQ(platform::compareTextNoCase("ab", "abc"), -1);
  EXPECT_EQ(platform::compareTextNoCase("abc", "ab"), 1);
  EXPECT_EQ(platform::compareTextNoCase("", ""), 0);
  EXPECT_EQ(platform::compareTextNoCase("", "a"), -1);
  EXPECT_EQ(platform::compareTextNoCase("_", "a"), 1);  // a counts as A (0x41), below _ (0x5F)
  EXPECT_EQ(platform::compareTextNoCase("\xe9", "\xc9"), 1);  // only a to z fold
  EXPECT_EQ(platform::compareTextNoCase("n/a", "500"), 1);
  EXPECT_EQ(platform::compareTextNoCase(std::string_view("a\0b", 3), std::string_view("a\0c", 3)),
            -1);
}

TEST(ParseNumberText, AcceptsWholeDecimalNumbersOnly) {
  EXPECT_EQ(parseNumberText("4661"), 4661.0);
  EXPECT_EQ(parseNumberText("-12"), -12.0);
  EXPECT_EQ(parseNumberText("+2.5"), 2.5);
  EXPECT_EQ(parseNumberText(".5"), 0.5);
  EXPECT_EQ(parseNumberText("3."), 3.0);
  EXPECT_EQ(parseNumberText("1e3"), 1000.0);
  EXPECT_EQ(parseNumberText("-1E-2"), -0.01);
  EXPECT_EQ(parseNumberText("2E+2"), 200.0);
  for (const char* s : {"", "n/a", "+", "-", ".", "1e", "e5", "1a", " 1", "1 ", "1.2.3", "0x10",
                        "$10", "inf", "nan", "1e999", "1e-999", "--1", "1,5"})
    EXPECT_FALSE(parseNumberText(s)) << s;
}

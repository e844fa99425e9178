#include <gtest/gtest.h>

#include "platform/text.h"
#include "serverlist/ip_port.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::serverlist;

TEST(IsValidIP, AcceptsWellFormedAddresses) {
  for (const char* ip : {"1.2.3.4", "1.0.0.0", "1.00.3.4", "1.2.3.000", "255.255.255.255"})
    EXPECT_TRUE(isValidIP(ip)) << ip;
}

TEST(IsValidIP, RejectsMalformedAddresses) {
  for (const char* ip : {"0.1.2.3", "01.2.3.4", "1.02.3.4", "1.2.3.0004", "256.1.1.1", "1.2.3.256",
                         "1.2.3", "1.2.3.4.5", "1.2.3.4.", ".1.2.3", "1..3.4", "1234.1.1.1",
                         " 1.2.3.4", "1.2.3.99999999999", "", "a.b.c.d", "1.2.3.4 "})
    EXPECT_FALSE(isValidIP(ip)) << ip;
}

TEST(IsValidPort, AcceptsRangeAndHex) {
  for (const char* p : {"0", "4661", "40000", "40001", "65535", "$FFFF", " 4661", "0x10", "+5"})
    EXPECT_TRUE(isValidPort(p)) << p;
}

TEST(IsValidPort, RejectsOutOfRangeAndGarbage) {
  for (const char* p :
       {"65536", "$10000", "-1", "", "46 61", "n/a", "4661 ", "$", "x", "-", "99999999999"})
    EXPECT_FALSE(isValidPort(p)) << p;
}

TEST(ParseInt32, CoversTheWhole32BitRange) {
  EXPECT_EQ(platform::parseInt32("-2147483648"), INT32_MIN);
  EXPECT_EQ(platform::parseInt32("2147483647"), INT32_MAX);
  EXPECT_FALSE(platform::parseInt32("2147483648"));
  EXPECT_FALSE(platform::parseInt32("-2147483649"));
  EXPECT_EQ(platform::parseInt32("$FFFFFFFF"), -1);
  EXPECT_EQ(platform::parseInt32("0X1f"), 31);
  EXPECT_FALSE(platform::parseInt32("$100000000"));
}

TEST(TrimText, RemovesBlanksAndControlCharacters) {
  EXPECT_EQ(platform::trimText(" \t1.2.3.4\r\n"), "1.2.3.4");
  EXPECT_EQ(platform::trimText("  "), "");
  EXPECT_EQ(platform::trimText("a b"), "a b");
}

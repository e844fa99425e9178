#include <gtest/gtest.h>

#include "support/update_bodies.h"
#include "update/update_worker.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;
using namespace ravelin::update;

namespace {

TEST(UpdateDecode, MetBodyDeclaringThreeWithThreeEntries) {
  const std::string body = test::MetBody(3, test::MetEntry(1, 2, 3, 4, 4661, " Name ", "Desc", 7) +
                                                test::MetEntry(5, 6, 7, 8, 4242, "B", "", 0) +
                                                test::MetEntry(0, 1, 2, 3, 40001, "C", "x", 1));
  const auto r = decodeMetBody(body, 10000);
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].ip, "1.2.3.4");
  EXPECT_EQ(r[0].port, "4661");
  EXPECT_EQ(r[0].name, "Name");  // trimmed
  EXPECT_EQ(r[0].desc, "Desc");
  EXPECT_EQ(r[0].users, "7");
  EXPECT_EQ(r[0].files, "n/a");
  EXPECT_EQ(r[0].pref, "Normal");
  EXPECT_EQ(r[1].desc, "n/a");  // an empty text becomes n/a
  // No validity test here: the coordinator skips these when merging.
  EXPECT_EQ(r[2].ip, "0.1.2.3");
  EXPECT_EQ(r[2].port, "40001");
}

TEST(UpdateDecode, MetBodyWithAWrongFirstByteYieldsNothing) {
  EXPECT_TRUE(
      decodeMetBody(test::MetBody(1, test::MetEntry(1, 2, 3, 4, 4661, "a", "b", 1), 0x0F), 10000)
          .empty());
  EXPECT_TRUE(decodeMetBody("<html>not a met</html>", 10000).empty());
  EXPECT_TRUE(decodeMetBody("", 10000).empty());
}

TEST(UpdateDecode, MetBodyStopsAtTenThousandAndAtACutEntry) {
  const std::string many = test::ManyMetEntries(20000);
  EXPECT_EQ(decodeMetBody(test::MetBody(20000, many), 10000).size(), 10000u);
  // Declared 0: nothing.
  EXPECT_TRUE(decodeMetBody(test::MetBody(0, many), 10000).empty());
  // The body ends inside the third entry: two complete entries.
  const std::string three = test::MetBody(3, test::ManyMetEntries(3));
  for (std::size_t cut = 1; cut < 10; ++cut)
    EXPECT_EQ(decodeMetBody(three.substr(0, three.size() - cut), 10000).size(), 2u) << cut;
}

TEST(UpdateDecode, MetBodyAsTodaysClientsWriteIt) {
  const std::string body = test::MetBody(
      2,
      test::CurrentClientMetEntry(9, 8, 7, 6, 4661) + test::CurrentClientMetEntry(1, 1, 1, 1, 5000),
      0xE0);
  const auto r = decodeMetBody(body, 10000);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].ip, "9.8.7.6");
  EXPECT_EQ(r[0].port, "4661");
  EXPECT_EQ(r[0].name, "Today One");
  EXPECT_EQ(r[0].desc, "desc");
  EXPECT_EQ(r[0].ping, "42");
  EXPECT_EQ(r[0].pref, "High");
  EXPECT_EQ(r[0].users, "1234");
  EXPECT_EQ(r[0].files, "98765");
  EXPECT_EQ(r[1].ip, "1.1.1.1");
}

TEST(UpdateDecode, BotBodyWithStrayBytesAndACutRecord) {
  const std::string two = "xx" + test::BotRecord(1, 2, 3, 4, 4661, 1, 300) + "\r\n??" +
                          test::BotRecord(5, 6, 7, 8, 4242, 7, 2);
  auto r = decodeBotBody(two, 10000);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].ip, "1.2.3.4");
  EXPECT_EQ(r[0].port, "4661");
  EXPECT_EQ(r[0].pref, "High");
  EXPECT_EQ(r[0].users, "300");
  EXPECT_EQ(r[0].name, "n/a");
  EXPECT_EQ(r[1].pref, "Normal");
  const std::string cut = two + test::BotRecord(9, 9, 9, 9, 1, 0, 0).substr(0, 2);
  EXPECT_EQ(decodeBotBody(cut, 10000).size(), 2u);
  std::string many;
  for (int i = 0; i < 10005; ++i) many += test::BotRecord(10, 0, i >> 8, i & 255, 4661, 0, 0);
  EXPECT_EQ(decodeBotBody(many, 10000).size(), 10000u);
}

TEST(UpdateDecode, HtmlBodyLinks) {
  EXPECT_TRUE(decodeHtmlBody("<a href=\"ED2K://|SERVER|1.2.3.4|4661|/\">", 10000).empty());
  auto r = decodeHtmlBody("<a href=\"ed2k://|server|1.2.3.4|4661|/\">x</a>", 10000);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].ip, "1.2.3.4");
  EXPECT_EQ(r[0].port, "4661");
  EXPECT_EQ(r[0].name, "n/a");
  EXPECT_EQ(r[0].desc, "n/a");
  EXPECT_EQ(r[0].pref, "Normal");
  // The text ends at its first NUL byte.
  const std::string withNul = std::string("|server|1.1.1.1|1|") + '\0' + "|server|2.2.2.2|2|";
  EXPECT_EQ(decodeHtmlBody(withNul, 10000).size(), 1u);
  std::string many;
  for (int i = 0; i < 10010; ++i)
    many += "ed2k://|server|10.0.0." + std::to_string(i % 250) + "|4661|/ ";
  EXPECT_EQ(decodeHtmlBody(many, 10000).size(), 10000u);
}

TEST(UpdateDecode, DnsFileFields) {
  std::string rest = "host.example,4661,My server,A fast one, really";
  EXPECT_EQ(nextField(rest), "host.example");
  EXPECT_EQ(nextField(rest), "4661");
  EXPECT_EQ(nextField(rest), "My server");
  EXPECT_EQ(nextField(rest), "A fast one");  // a description is cut at a comma
  EXPECT_EQ(rest, " really");
  rest = ",4661";
  EXPECT_EQ(nextField(rest), "n/a");
  EXPECT_EQ(nextField(rest), "4661");
  EXPECT_EQ(nextField(rest), "n/a");
  rest = "1.2.3.4, 4661";
  EXPECT_EQ(nextField(rest), "1.2.3.4");
  EXPECT_EQ(nextField(rest), " 4661");  // not trimmed here
}

}  // namespace

#include <gtest/gtest.h>

#include "serverlist/met_tags.h"
#include "support/met_bytes.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;

using namespace test::met;
using test::Bytes;

namespace {

// The file of the worked example: one entry 1.2.3.4:4661, preference Normal, with the
// address and port tags.
const std::string kWorkedExample =
    Bytes({0x0E, 0x01, 0x00, 0x00, 0x00, 0x01, 0x02, 0x03, 0x04, 0x35, 0x12, 0x03, 0x00,
           0x00, 0x00, 0x03, 0x01, 0x00, 0x0E, 0x00, 0x00, 0x00, 0x00, 0x03, 0x01, 0x00,
           0x10, 0x01, 0x02, 0x03, 0x04, 0x03, 0x01, 0x00, 0x0F, 0x35, 0x12, 0x00, 0x00});

MetRecord only(const std::string& bytes) {
  MetParseResult r = parseMet(bytes, 10000);
  EXPECT_TRUE(r.headerOk);
  EXPECT_EQ(r.records.size(), 1u);
  return r.records.empty() ? MetRecord{} : r.records.front();
}

Server serverWith(std::initializer_list<std::pair<int, std::string>> fields) {
  Server s;
  s.ip = "1.2.3.4";
  s.port = "4661";
  for (const auto& [index, value] : fields) s.field(index) = value;
  return s;
}

}  // namespace

TEST(MetDecoder, ReadsTheWorkedExample) {
  ASSERT_EQ(kWorkedExample.size(), 39u);
  MetParseResult r = parseMet(kWorkedExample, 10000);
  ASSERT_TRUE(r.headerOk);
  EXPECT_EQ(r.declaredCount, 1u);
  EXPECT_EQ(r.stop, MetStop::Count);
  ASSERT_EQ(r.records.size(), 1u);
  EXPECT_EQ(r.records[0].server, serverWith({}));
  // The address and port tags are dropped, not kept.
  EXPECT_EQ(r.records[0].extraTagCount, 0);
  EXPECT_EQ(r.records[0].extraTags, "");
  EXPECT_FALSE(r.records[0].truncated);
}

TEST(MetDecoder, HeaderBytes) {
  std::string body = entry({1, 2, 3, 4}, 4661);
  EXPECT_TRUE(parseMet(header(1, 0x0E) + body, 10).headerOk);
  MetParseResult newer = parseMet(header(1, 0xE0) + body, 10);
  EXPECT_TRUE(newer.headerOk);
  EXPECT_EQ(newer.header, 0xE0);
  EXPECT_EQ(newer.records.size(), 1u);
  for (int first : {0x00, 0x0F, 0x0D, 0xE1, 0xFF}) {
    MetParseResult bad = parseMet(header(1, static_cast<std::uint8_t>(first)) + body, 10);
    EXPECT_FALSE(bad.headerOk) << first;
    EXPECT_EQ(bad.stop, MetStop::BadHeader);
    EXPECT_TRUE(bad.records.empty());
  }
  EXPECT_FALSE(parseMet("", 10).headerOk);
}

TEST(MetDecoder, CountUsesLowThreeBytesOnly) {
  // The fourth byte of the count is ignored: 0x01000002 states 2 entries.
  const std::string bytes = std::string(1, '\x0E') + le(0x01000002, 4) + entry({1, 2, 3, 4}, 1) +
                            entry({1, 2, 3, 5}, 2) + entry({1, 2, 3, 6}, 3);
  MetParseResult r = parseMet(bytes, 10000);
  EXPECT_EQ(r.declaredCount, 2u);
  EXPECT_EQ(r.records.size(), 2u);
  EXPECT_EQ(r.stop, MetStop::Count);
  EXPECT_EQ(parseMet(header(0) + entry({1, 2, 3, 4}, 1), 10).records.size(), 0u);
}

TEST(MetDecoder, FieldsFromTheClassicTags) {
  const MetRecord rec =
      only(header(1) + entry({213, 45, 67, 21}, 4242,
                             {strTag(0x01, "  My Server \r\n"), strTag(0x0B, "desc"),
                              intTag(0x0C, 77), intTag(0x0D, 3), intTag(0x0E, 1),
                              intTag("users", 1200), intTag("files", 99999)}));
  EXPECT_EQ(rec.server.ip, "213.45.67.21");
  EXPECT_EQ(rec.server.port, "4242");
  EXPECT_EQ(rec.server.name, "My Server");
  EXPECT_EQ(rec.server.desc, "desc");
  EXPECT_EQ(rec.server.ping, "77");
  EXPECT_EQ(rec.server.hist, "3");
  EXPECT_EQ(rec.server.pref, "High");
  EXPECT_EQ(rec.server.users, "1200");
  EXPECT_EQ(rec.server.files, "99999");
  EXPECT_EQ(rec.extraTagCount, 0);
}

TEST(MetDecoder, IntegerConversions) {
  // Type 3 stays a signed 32-bit number; the narrower and wider ones are unsigned.
  EXPECT_EQ(only(header(1) + entry({1, 2, 3, 4}, 1, {intTag(0x0C, 0xFFFFFFFF)})).server.ping, "-1");
  EXPECT_EQ(only(header(1) + entry({1, 2, 3, 4}, 1, {u16Tag(0x0C, 65535)})).server.ping, "65535");
  EXPECT_EQ(only(header(1) + entry({1, 2, 3, 4}, 1, {u8Tag(0x0C, 255)})).server.ping, "255");
  EXPECT_EQ(only(header(1) + entry({1, 2, 3, 4}, 1, {u64Tag(0x0C, ~0ull)})).server.ping,
            "18446744073709551615");
  EXPECT_EQ(only(header(1) + entry({1, 2, 3, 4}, 65535)).server.port, "65535");
}

TEST(MetDecoder, NameLengthZeroStillHasAnIdByte) {
  const std::string zeroLength = tag(0x02, le(0, 2) + std::string(1, '\x01'), strValue("Zero"));
  EXPECT_EQ(only(header(1) + entry({1, 2, 3, 4}, 1, {zeroLength})).server.name, "Zero");
}

TEST(MetDecoder, NamesMatchAsDecimalTexts) {
  // The two-character name "11" means the description, like the ID 0x0B.
  EXPECT_EQ(only(header(1) + entry({1, 2, 3, 4}, 1, {strTag("11", "by name")})).server.desc,
            "by name");
  // Letter case counts: "Users" is not "users", and is kept as an unknown tag.
  const MetRecord rec = only(header(1) + entry({1, 2, 3, 4}, 1, {intTag("Users", 5)}));
  EXPECT_EQ(rec.server.users, "n/a");
  EXPECT_EQ(rec.extraTagCount, 1);
}

TEST(MetDecoder, PreferenceValues) {
  auto pref = [](const std::string& tagBytes) {
    return only(header(1) + entry({1, 2, 3, 4}, 1, {tagBytes})).server.pref;
  };
  EXPECT_EQ(pref(intTag(0x0E, 0)), "Normal");
  EXPECT_EQ(pref(intTag(0x0E, 1)), "High");
  EXPECT_EQ(pref(intTag(0x0E, 2)), "Low");
  EXPECT_EQ(pref(intTag(0x0E, 3)), "Normal");  // unchanged
  EXPECT_EQ(pref(u8Tag(0x0E, 2)), "Low");
  EXPECT_EQ(pref(strTag(0x0E, " 1 ")), "High");
  EXPECT_EQ(pref(strTag(0x0E, "High")), "Normal");  // unchanged
  // Any other value leaves what an earlier tag set.
  EXPECT_EQ(
      only(header(1) + entry({1, 2, 3, 4}, 1, {intTag(0x0E, 2), intTag(0x0E, 9)})).server.pref,
      "Low");
}

TEST(MetDecoder, LaterTagWinsAndEmptyBecomesNA) {
  const MetRecord rec = only(
      header(1) + entry({1, 2, 3, 4}, 1,
                        {strTag(0x01, "first"), strTag(0x01, "second"), strTag(0x0B, " \t ")}));
  EXPECT_EQ(rec.server.name, "second");
  EXPECT_EQ(rec.server.desc, "n/a");
  // A negative tag count means no tags at all.
  const MetRecord none = only(header(1) + entry({1, 2, 3, 4}, 4661, {}, -5));
  EXPECT_EQ(none.server, serverWith({}));
}

TEST(MetDecoder, CompactAndShortStringTags) {
  const MetRecord rec =
      only(header(1) +
           entry({1, 2, 3, 4}, 1,
                 {compact(0x02, 0x01, strValue("compact name")), compact(0x03, 0x0C, le(40, 4)),
                  compact(0x14, 0x0B, "four"), shortStrTag(0x0D, "7"),
                  compact(0x08, 0x0F, le(4661, 2)), compact(0x03, 0x10, Bytes({1, 2, 3, 4}))}));
  EXPECT_EQ(rec.server.name, "compact name");
  EXPECT_EQ(rec.server.ping, "40");
  EXPECT_EQ(rec.server.desc, "four");
  EXPECT_EQ(rec.server.hist, "7");
  EXPECT_EQ(rec.extraTagCount, 0);
  // All lengths from 1 to 16.
  for (int n = 1; n <= 16; ++n) {
    const std::string text(static_cast<size_t>(n), 'x');
    EXPECT_EQ(only(header(1) + entry({1, 2, 3, 4}, 1, {shortStrTag(0x01, text)})).server.name,
              text);
  }
}

TEST(MetDecoder, SkipsEveryStandardTypeAndKeepsItVerbatim) {
  const std::vector<std::string> unknown = {
      tag(0x01, idName(0x40), std::string(16, '\xAB')),         // hash
      tag(0x04, textName("ratio"), Bytes({0, 0, 0x80, 0x3F})),  // float
      tag(0x05, idName(0x41), Bytes({1})),                      // bool
      tag(0x06, idName(0x42), le(17, 2) + Bytes({1, 2, 3})),    // 17 bits: 3 bytes
      tag(0x06, idName(0x42), le(16, 2) + Bytes({1, 2, 3})),    // 16 bits: 3 bytes too
      tag(0x07, idName(0x43), le(5, 4) + "\x01\x02\x03\x04\x05"),
      u16Tag(0x97, 1234),
      u8Tag(0x98, 7),
      u64Tag(0x99, 1ull << 40),
      intTag("maxusers", 5000),
      strTag("country", "DE"),
      shortStrTag(0x91, "17.15"),
      compact(0x09, 0x44, Bytes({9})),
      compact(0x07, 0x45, le(0, 4)),
  };
  std::vector<std::string> tags = unknown;
  tags.push_back(strTag(0x01, "after all of them"));
  const MetRecord rec = only(header(1) + entry({1, 2, 3, 4}, 1, tags));
  EXPECT_EQ(rec.server.name, "after all of them");
  std::string kept;
  for (const auto& t : unknown) kept += t;
  EXPECT_EQ(rec.extraTags, kept);
  EXPECT_EQ(rec.extraTagCount, static_cast<int>(unknown.size()));
}

TEST(MetDecoder, FieldNameWithAnOpaqueValueIsKept) {
  const std::string hashNamedName = tag(0x01, idName(0x01), std::string(16, 'h'));
  const MetRecord rec = only(header(1) + entry({1, 2, 3, 4}, 1, {hashNamedName}));
  EXPECT_EQ(rec.server.name, "n/a");
  EXPECT_EQ(rec.extraTags, hashNamedName);
  EXPECT_EQ(rec.extraTagCount, 1);
}

TEST(MetDecoder, IntegerInATextFieldAndTextInANumberField) {
  const MetRecord rec =
      only(header(1) + entry({1, 2, 3, 4}, 1, {intTag(0x01, 42), strTag("users", " 300 ")}));
  EXPECT_EQ(rec.server.name, "42");
  EXPECT_EQ(rec.server.users, "300");
}

TEST(MetDecoder, UnknownTypeStopsAtThatEntry) {
  const std::string bad = tag(0x0A, idName(0x50), Bytes({1, 2, 3}));
  const std::string bytes = header(4) + entry({1, 1, 1, 1}, 1, {strTag(0x01, "one")}) +
                            entry({2, 2, 2, 2}, 2, {strTag(0x01, "two")}) +
                            entry({3, 3, 3, 3}, 3, {strTag(0x01, "three"), bad}) +
                            entry({4, 4, 4, 4}, 4);
  MetParseResult r = parseMet(bytes, 10000);
  EXPECT_EQ(r.stop, MetStop::UnknownTagType);
  ASSERT_EQ(r.records.size(), 2u);
  EXPECT_EQ(r.records[1].server.name, "two");
  for (int type : {0x00, 0x0A, 0x0C, 0x10, 0x21, 0x7F, 0x8A, 0xFF}) {
    MetParseResult t = parseMet(
        header(1) + entry({1, 2, 3, 4}, 1, {tag(static_cast<std::uint8_t>(type), idName(1), "")}),
        10);
    EXPECT_EQ(t.stop, MetStop::UnknownTagType) << type;
    EXPECT_TRUE(t.records.empty()) << type;
  }
}

TEST(MetDecoder, MaxRecordsLimitsTheResult) {
  std::string bytes = header(5);
  for (int i = 1; i <= 5; ++i) bytes += entry({1, 2, 3, i}, 4661);
  MetParseResult r = parseMet(bytes, 2);
  EXPECT_EQ(r.records.size(), 2u);
  EXPECT_EQ(r.stop, MetStop::MaxRecords);
  EXPECT_EQ(r.declaredCount, 5u);
  EXPECT_EQ(parseMet(bytes, 5).stop, MetStop::Count);
}

TEST(MetDecoder, HugeDeclaredCountStopsWhenTheDataEnds) {
  const std::string bytes = header(0xFFFFFF) + entry({1, 2, 3, 4}, 4661) + entry({1, 2, 3, 5}, 1);
  MetDecoder decoder(bytes);
  MetRecord rec;
  int n = 0;
  while (decoder.next(rec)) ++n;
  EXPECT_EQ(n, 2);
  EXPECT_EQ(decoder.stop(), MetStop::EndOfData);
  EXPECT_EQ(decoder.declaredCount(), 16777215u);
  // A huge tag count ends with the data too.
  MetParseResult r = parseMet(header(1) + entry({1, 2, 3, 4}, 1, {strTag(1, "x")}, 0x7FFFFFFF), 10);
  ASSERT_EQ(r.records.size(), 1u);
  EXPECT_EQ(r.records[0].server.name, "x");
  EXPECT_TRUE(r.records[0].truncated);
}

TEST(MetDecoder, TruncatedEntryReadsMissingBytesAsZero) {
  const std::string full =
      header(2) + entry({1, 2, 3, 4}, 4661, {strTag(0x01, "complete")}) +
      entry({5, 6, 7, 8}, 4662, {strTag(0x01, "cut off here"), intTag("users", 0x01020304)});
  // Cut inside the users value: the missing high bytes read as zero.
  MetParseResult r = parseMet(full.substr(0, full.size() - 2), 10);
  ASSERT_EQ(r.records.size(), 2u);
  EXPECT_FALSE(r.records[0].truncated);
  EXPECT_TRUE(r.records[1].truncated);
  EXPECT_EQ(r.records[1].server.name, "cut off here");
  EXPECT_EQ(r.records[1].server.users, std::to_string(0x0304));
  // Cut inside the name text: the part there is, trimmed.
  const size_t nameEnd = full.find("cut off") + 3;
  r = parseMet(full.substr(0, nameEnd + 1), 10);
  ASSERT_EQ(r.records.size(), 2u);
  EXPECT_EQ(r.records[1].server.name, "cut");
  EXPECT_EQ(r.records[1].server.users, "n/a");
  // Every prefix decodes without harm, and an entry is complete exactly when its bytes are.
  for (size_t len = 0; len <= full.size(); ++len) {
    MetParseResult p = parseMet(full.substr(0, len), 10);
    if (len == 0) {
      EXPECT_FALSE(p.headerOk);
      continue;
    }
    for (const auto& rec : p.records) EXPECT_EQ(rec.server.ip.empty(), false);
    if (len == full.size()) {
      EXPECT_EQ(p.stop, MetStop::Count);
      EXPECT_FALSE(p.records.back().truncated);
    }
  }
}

TEST(MetDecoder, ACutOffUnknownTagIsNotKept) {
  const std::string blob = tag(0x07, idName(0x43), le(100, 4) + std::string(10, 'b'));
  MetParseResult r = parseMet(header(1) + entry({1, 2, 3, 4}, 1, {blob}), 10);
  ASSERT_EQ(r.records.size(), 1u);
  EXPECT_TRUE(r.records[0].truncated);
  EXPECT_EQ(r.records[0].extraTagCount, 0);
  EXPECT_EQ(r.records[0].extraTags, "");
}

TEST(MetEncoder, WorkedExampleWithAndWithoutAddressTags) {
  const Server s = serverWith({});
  std::string with;
  encodeMetHeader(with, 1);
  ASSERT_TRUE(encodeMetEntry(with, s, {}, 0, true));
  EXPECT_EQ(with, kWorkedExample);
  std::string without;
  encodeMetHeader(without, 1);
  ASSERT_TRUE(encodeMetEntry(without, s, {}, 0, false));
  EXPECT_EQ(without, Bytes({0x0E, 0x01, 0x00, 0x00, 0x00, 0x01, 0x02, 0x03, 0x04, 0x35, 0x12, 0x01,
                            0x00, 0x00, 0x00, 0x03, 0x01, 0x00, 0x0E, 0x00, 0x00, 0x00, 0x00}));
  // 39 bytes less the two 8-byte tags.
  EXPECT_EQ(without.size(), 23u);
}

TEST(MetEncoder, AllFieldsInTheirOrder) {
  Server s = serverWith({{fName, "Name"},
                         {fDesc, "D"},
                         {fPing, "-1"},
                         {fHist, "$10"},
                         {fPref, "Low"},
                         {fUsers, "300"},
                         {fFiles, "70000"}});
  std::string out;
  ASSERT_TRUE(encodeMetEntry(out, s, "XYZ", 1, true));
  const std::string expected = Bytes({1, 2, 3, 4}) + le(4661, 2) + le(10, 4) +
                               strTag(0x01, "Name") + strTag(0x0B, "D") + intTag(0x0C, 0xFFFFFFFF) +
                               intTag(0x0D, 16) + intTag(0x0E, 2) +
                               tag(0x03, idName(0x10), Bytes({1, 2, 3, 4})) + intTag(0x0F, 4661) +
                               intTag("users", 300) + intTag("files", 70000) + "XYZ";
  EXPECT_EQ(out, expected);
}

TEST(MetEncoder, RefusesWhatCannotBeWritten) {
  for (auto [index, value] :
       std::vector<std::pair<int, std::string>>{{fPing, "abc"},
                                                {fHist, "1.5"},
                                                {fUsers, "99999999999"},
                                                {fFiles, ""},
                                                {fPort, "46 61"},
                                                {fIP, "1.2.3"},
                                                {fIP, "a.b.c.d"},
                                                {fName, std::string(65536, 'n')}}) {
    std::string out = "keep";
    EXPECT_FALSE(encodeMetEntry(out, serverWith({{index, value}}), {}, 0, false)) << index;
    EXPECT_EQ(out, "keep");
  }
  // 65535 bytes fit; "n/a" is never a failure.
  std::string out;
  EXPECT_TRUE(encodeMetEntry(out, serverWith({{fName, std::string(65535, 'n')}}), {}, 0, false));
  EXPECT_TRUE(encodeMetEntry(out, serverWith({{fPort, "n/a"}}), {}, 0, false));
}

TEST(MetEncoder, OddPreferenceIsWrittenAsNormalAndNAIsLeftOut) {
  std::string odd, na;
  encodeMetEntry(odd, serverWith({{fPref, "whatever"}}), {}, 0, false);
  EXPECT_EQ(odd, Bytes({1, 2, 3, 4}) + le(4661, 2) + le(1, 4) + intTag(0x0E, 0));
  encodeMetEntry(na, serverWith({{fPref, "n/a"}}), {}, 0, false);
  EXPECT_EQ(na, Bytes({1, 2, 3, 4}) + le(4661, 2) + le(0, 4));
}

TEST(MetEncoder, AddressPartsAndPortAreCutToTheirLowBits) {
  std::string out;
  ASSERT_TRUE(encodeMetEntry(out, serverWith({{fIP, "257.2.3.4"}, {fPort, "70000"}}), {}, 0, true));
  EXPECT_EQ(out.substr(0, 6), Bytes({1, 2, 3, 4}) + le(70000 & 0xFFFF, 2));
  // The port tag holds the whole value.
  EXPECT_NE(out.find(intTag(0x0F, 70000)), std::string::npos);
}

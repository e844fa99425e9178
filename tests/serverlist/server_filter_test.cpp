#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "serverlist/server_filter.h"
#include "support/server_list_support.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;

using test::Column;
using test::makeServer;
using test::Marks;
using test::serverWith;
using Strings = std::vector<std::string>;

namespace {

ServerList ListOfField(int field, const Strings& values, bool checked = true) {
  ServerList list;
  int n = 0;
  for (const auto& v : values) {
    Server s = makeServer("1.1.1." + std::to_string(++n));
    s.field(field) = v;
    list.append(s, checked);
  }
  return list;
}

// The field values of the rows that are still checked.
Strings Kept(const ServerList& list, int field) {
  Strings out;
  for (const ServerEntry& e : list.entries())
    if (e.checked) out.push_back(e.server.field(field));
  return out;
}

// Whole-text wildcard match by dynamic programming, the meaning Like must have.
bool ReferenceLike(const std::string& t, const std::string& p) {
  std::vector<std::vector<bool>> m(t.size() + 1, std::vector<bool>(p.size() + 1));
  m[t.size()][p.size()] = true;
  for (size_t i = t.size() + 1; i-- > 0;) {
    for (size_t j = p.size(); j-- > 0;) {
      if (p[j] == '*') {
        m[i][j] = m[i][j + 1] || (i < t.size() && m[i + 1][j]);
      } else {
        m[i][j] = i < t.size() && (p[j] == '?' || p[j] == t[i]) && m[i + 1][j + 1];
      }
    }
  }
  return m[0][0];
}

}  // namespace

TEST(Like, WildcardsMatchTheWholeText) {
  EXPECT_TRUE(like("abxbc", "*b*c"));
  EXPECT_TRUE(like("abc", "*b*c"));
  EXPECT_FALSE(like("abcd", "*b*c"));
  EXPECT_TRUE(like("abc", "a?c"));
  EXPECT_FALSE(like("ac", "a?c"));
  EXPECT_TRUE(like("", ""));
  EXPECT_FALSE(like("a", ""));
  EXPECT_TRUE(like("", "*"));
  EXPECT_TRUE(like("", "**"));
  EXPECT_FALSE(like("", "?"));
  EXPECT_TRUE(like("anything", "*"));
  EXPECT_TRUE(like("217.1.2.3", "217.*"));
  EXPECT_FALSE(like("2170.1.2.3", "217.*"));
  EXPECT_FALSE(like("ABC", "a*"));  // letter case counts
  EXPECT_TRUE(like("xabcx", "*abc*"));
  EXPECT_TRUE(like("aaab", "*aab"));
  EXPECT_TRUE(like("mississippi", "m*iss*ppi"));
  EXPECT_FALSE(like("mississippi", "m*iss*ppx"));
}

TEST(Like, QuestionMarksAfterAStarRetryEveryPosition) {
  EXPECT_TRUE(like("acc", "*?c"));
  EXPECT_TRUE(like("xaxxb", "*a??b"));
  EXPECT_TRUE(like("abcbd", "*??d"));
  EXPECT_FALSE(like("c", "*?c"));
}

TEST(Like, AgreesWithTheWholeTextMeaningOnRandomInputs) {
  std::mt19937 rng(99);
  const std::string textChars = "abc", patternChars = "abc*?";
  for (int i = 0; i < 20000; ++i) {
    std::string t, p;
    for (int n = static_cast<int>(rng() % 9); n > 0; --n) t += textChars[rng() % textChars.size()];
    for (int n = static_cast<int>(rng() % 7); n > 0; --n)
      p += patternChars[rng() % patternChars.size()];
    ASSERT_EQ(like(t, p), ReferenceLike(t, p)) << "text '" << t << "' pattern '" << p << "'";
  }
}

TEST(Like, LongInputsNeitherRecurseNorExplode) {
  const std::string text(200000, 'a');
  std::string pattern;
  for (int i = 0; i < 50; ++i) pattern += "*a";
  pattern += "b";
  EXPECT_FALSE(like(text, pattern));
  EXPECT_TRUE(like(text + "b", pattern));
  EXPECT_TRUE(like(text, std::string(100000, '*')));
}

TEST(FilterTables, NamesItemsAndIndexes) {
  const char* names[] = {"IP", "Port", "Name", "Desc", "Ping", "Users", "Files", "Pref", "Hist"};
  const char* items[] = {"IP",    "Port",  "Name", "Description", "Ping",
                         "Users", "Files", "Pref", "Hist"};
  for (int i = 0; i < kFilterPropertyCount; ++i) {
    EXPECT_EQ(filterPropertyIndex(names[i]), i);
    EXPECT_STREQ(kFilterProperties[static_cast<size_t>(i)].windowItem, items[i]);
  }
  EXPECT_EQ(filterPropertyIndex("users"), -1);
  EXPECT_EQ(filterPropertyIndex("Description"), -1);
  EXPECT_EQ(filterPropertyIndex(""), -1);
  const bool numeric[] = {false, true, false, false, true, true, true, false, true};
  for (int i = 0; i < kFilterPropertyCount; ++i)
    EXPECT_EQ(kFilterProperties[static_cast<size_t>(i)].numeric, numeric[i]) << names[i];
  EXPECT_EQ(filterOperatorIndex(">"), 0);
  EXPECT_EQ(filterOperatorIndex("<"), 1);
  EXPECT_EQ(filterOperatorIndex("="), 2);
  EXPECT_EQ(filterOperatorIndex("<>"), 3);
  EXPECT_EQ(filterOperatorIndex("=="), -1);
  EXPECT_STREQ(kFilterOperators[0].windowItem, "greater than");
  EXPECT_STREQ(kFilterOperators[1].windowItem, "less than");
  EXPECT_STREQ(kFilterOperators[2].windowItem, "equal");
  EXPECT_STREQ(kFilterOperators[3].windowItem, "not equal");
}

TEST(CompareField, NumbersCompareWithoutOverflow) {
  EXPECT_TRUE(compareField(foGreater, "2147483647", "-2147483648", true, false));
  EXPECT_TRUE(compareField(foLess, "-2147483648", "2147483647", true, false));
  EXPECT_TRUE(compareField(foEqual, "04661", "4661", true, false));
  EXPECT_TRUE(compareField(foEqual, "$10", "16", true, false));
  EXPECT_TRUE(compareField(foNotEqual, "5", "6", true, false));
  EXPECT_FALSE(compareField(7, "5", "6", true, false));
  // The same texts as text properties compare as texts.
  EXPECT_FALSE(compareField(foEqual, "04661", "4661", false, false));
  EXPECT_TRUE(compareField(foLess, "10", "9", false, false));
  EXPECT_TRUE(compareField(foGreater, "10", "9", true, false));
}

TEST(CompareField, NegCompareNegatesOnlyTheTextComparisonOfNumericFields) {
  EXPECT_TRUE(compareField(foGreater, "n/a", "500", true, false));
  EXPECT_FALSE(compareField(foGreater, "n/a", "500", true, true));
  EXPECT_TRUE(compareField(foLess, "n/a", "500", true, true));
  EXPECT_TRUE(compareField(foGreater, "600", "500", true, true));  // both numbers: unaffected
  EXPECT_TRUE(compareField(foGreater, "b", "a", false, true));     // text property: unaffected
}

TEST(FilterServers, UsersGreaterThan500KeepsNaUnlessNegCompare) {
  ServerList list = ListOfField(fUsers, {"100", "n/a", "900", "500"});
  filterServers(list, fUsers, foGreater, "500");
  EXPECT_EQ(Kept(list, fUsers), (Strings{"n/a", "900"}));
  ServerList neg = ListOfField(fUsers, {"100", "n/a", "900", "500"});
  neg.negCompare = true;
  filterServers(neg, fUsers, foGreater, "500");
  EXPECT_EQ(Kept(neg, fUsers), (Strings{"900"}));
}

TEST(FilterServers, IpComparesAsTextWithWildcards) {
  const Strings ips = {"217.1.2.3", "213.45.67.21", "99.1.1.1",
                       "150.0.0.0", "2170.0.0.1",   "10.0.0.1"};
  ServerList a = ListOfField(fIP, ips);
  filterServers(a, fIP, foEqual, "217.*");
  EXPECT_EQ(Kept(a, fIP), (Strings{"217.1.2.3"}));
  ServerList b = ListOfField(fIP, ips);
  filterServers(b, fIP, foEqual, "213.45.67.21");
  EXPECT_EQ(Kept(b, fIP), (Strings{"213.45.67.21"}));
  ServerList c = ListOfField(fIP, ips);
  filterServers(c, fIP, foGreater, "100.0.0.0");
  EXPECT_EQ(Kept(c, fIP),
            (Strings{"217.1.2.3", "213.45.67.21", "99.1.1.1", "150.0.0.0", "2170.0.0.1"}));
}

TEST(FilterServers, WildcardsOnANumericPropertyMatchTheText) {
  ServerList list = ListOfField(fPort, {"4661", "4242", "46", "5464", "n/a"});
  filterServers(list, fPort, foEqual, "46*");
  EXPECT_EQ(Kept(list, fPort), (Strings{"4661", "46"}));
}

TEST(FilterServers, PlainComparisonIgnoresCaseButWildcardsDoNot) {
  ServerList a = ListOfField(fName, {"ABC", "abd", "abc"});
  filterServers(a, fName, foEqual, "abc");
  EXPECT_EQ(Kept(a, fName), (Strings{"ABC", "abc"}));
  ServerList b = ListOfField(fName, {"ABC", "abd", "abc"});
  filterServers(b, fName, foEqual, "a*");
  EXPECT_EQ(Kept(b, fName), (Strings{"abd", "abc"}));
  ServerList c = ListOfField(fPref, {"High", "Normal", "Low", "High"});
  filterServers(c, fPref, foEqual, "high");
  EXPECT_EQ(Kept(c, fPref), (Strings{"High", "High"}));
  ServerList d = ListOfField(fDesc, {"x", "y"});
  filterServers(d, fDesc, foNotEqual, "X");
  EXPECT_EQ(Kept(d, fDesc), (Strings{"y"}));
}

TEST(FilterServers, NeverChecksAnUncheckedServerSoFiltersCombine) {
  ServerList list;
  auto add = [&](const char* ping, const char* users, bool checked) {
    Server s = makeServer("1.1.1.1");
    s.ping = ping;
    s.users = users;
    list.append(s, checked);
  };
  add("100", "2000", true);   // passes both
  add("200", "2000", true);   // fails ping
  add("100", "10", true);     // fails users
  add("100", "2000", false);  // unchecked from the start
  filterServers(list, fPing, foLess, "150");
  filterServers(list, fUsers, foGreater, "1000");
  EXPECT_EQ(Marks(list), (std::vector<bool>{true, false, false, false}));
  filterServers(list, fUsers, foNotEqual, "-1");
  EXPECT_EQ(Marks(list), (std::vector<bool>{true, false, false, false}));
}

TEST(FilterServers, EmptyValue) {
  ServerList a = ListOfField(fName, {"", "x", "n/a", ""});
  filterServers(a, fName, foEqual, "");
  EXPECT_EQ(Marks(a), (std::vector<bool>{true, false, false, true}));
  ServerList b = ListOfField(fName, {"", "x", "n/a", ""});
  filterServers(b, fName, foGreater, "");
  EXPECT_EQ(Marks(b), (std::vector<bool>{false, true, true, false}));
  ServerList c = ListOfField(fUsers, {"", "5", "n/a"});
  filterServers(c, fUsers, foGreater, "");
  EXPECT_EQ(Marks(c), (std::vector<bool>{false, true, true}));
}

TEST(FilterServers, FollowsTheBulkChangeProtocolAndIgnoresUnknownIndexes) {
  ServerList list = ListOfField(fUsers, {"1", "2", "3"});
  test::RecordingObserver obs(list);
  list.setObserver(&obs);
  filterServers(list, fUsers, foGreater, "1");
  ASSERT_EQ(obs.statuses.size(), 4u);
  EXPECT_EQ(obs.statuses[0], " EDonkey2000 servers (3 IPs)");
  EXPECT_EQ(obs.statuses[3], " EDonkey2000 servers (3 IPs) [2/1 - 66.67% checked]");
  obs.statuses.clear();
  filterServers(list, 9, foEqual, "x");
  filterServers(list, -1, foEqual, "x");
  filterServers(list, fUsers, 4, "x");
  EXPECT_EQ(Marks(list), (std::vector<bool>{false, true, true}));
  EXPECT_TRUE(obs.statuses.empty());
}

TEST(FilterFromWindow, LogsAndAsksForOneMoreFilter) {
  test::TestApp app;
  ServerList list = ListOfField(fName, {"a", "b"});
  app.prompter.answers = {MsgResult::Yes, MsgResult::No};
  EXPECT_TRUE(filterFromWindow(list, fName, foEqual, "a", app.ctx));
  EXPECT_FALSE(filterFromWindow(list, fName, foEqual, "b", app.ctx));
  EXPECT_EQ(Marks(list), (std::vector<bool>{false, false}));
  ASSERT_EQ(app.prompter.shown.size(), 2u);
  EXPECT_EQ(app.prompter.shown[0].title, "One more filter");
  EXPECT_EQ(app.prompter.shown[0].text, "Filter successful! Do you want to set one more filter?");
  EXPECT_EQ(app.prompter.shown[0].icon, MsgIcon::Question);
  EXPECT_EQ(app.prompter.shown[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(app.logLines(),
            (Strings{"Serverlist successfully filtered", "Serverlist successfully filtered"}));
}

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/text.h"
#include "serverlist/server_sort.h"
#include "serverlist/text_compare.h"
#include "support/server_list_support.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::serverlist;

using test::Column;
using test::makeServer;
using test::serverWith;
using Strings = std::vector<std::string>;

namespace {

ServerList ListOfIPs(const Strings& ips) {
  ServerList list;
  for (const auto& ip : ips) list.append(makeServer(ip), true);
  return list;
}

ServerList ListOfField(int field, const Strings& values) {
  ServerList list;
  int n = 0;
  for (const auto& v : values)
    list.append(serverWith(field, v, "1.1.1." + std::to_string(++n)), true);
  return list;
}

void SortBy(ServerList& list, int column, bool descending, bool negCompare = false) {
  list.sortBy(column, descending);
  list.negCompare = negCompare;
  sortServers(list);
}

}  // namespace

TEST(SortServers, IpColumnComparesTheFourPartsAsNumbers) {
  ServerList list = ListOfIPs({"10.0.0.2", "1.2.3.10", "9.255.255.255", "1.2.3.4"});
  SortBy(list, fIP, false);
  EXPECT_EQ(Column(list, fIP), (Strings{"1.2.3.4", "1.2.3.10", "9.255.255.255", "10.0.0.2"}));
  SortBy(list, fIP, true);
  EXPECT_EQ(Column(list, fIP), (Strings{"10.0.0.2", "9.255.255.255", "1.2.3.10", "1.2.3.4"}));
}

TEST(SortServers, IpTextsThatAreNoAddressesSortWithoutFailing) {
  // Missing parts count as 0, a part counts by its leading digits, huge parts saturate.
  ServerList list = ListOfIPs({"1.2.3.99999999999999999999", "1.2.3.4294967295", "", "1.2",
                               "a.b.c.d", "1..2.3", "1.2.3.4.5", "1.2.3x.4", "1.2.3.4"});
  SortBy(list, fIP, false);
  EXPECT_EQ(Column(list, fIP),
            (Strings{"", "a.b.c.d", "1..2.3", "1.2", "1.2.3.4.5", "1.2.3x.4", "1.2.3.4",
                     "1.2.3.99999999999999999999", "1.2.3.4294967295"}));
  EXPECT_EQ(compareServers(makeServer("1.2.3.4"), makeServer("1.2.3.4.9"), fIP, false, false), 0);
  EXPECT_LT(compareServers(makeServer("1.2"), makeServer("1.2.0.1"), fIP, false, false), 0);
}

TEST(SortServers, NumericColumnPutsNaAfterNumbersOrBeforeWithNegCompare) {
  ServerList list = ListOfField(fUsers, {"100", "n/a", "20"});
  SortBy(list, fUsers, false);
  EXPECT_EQ(Column(list, fUsers), (Strings{"20", "100", "n/a"}));
  SortBy(list, fUsers, false, true);
  EXPECT_EQ(Column(list, fUsers), (Strings{"n/a", "20", "100"}));
  SortBy(list, fUsers, true);
  EXPECT_EQ(Column(list, fUsers), (Strings{"n/a", "100", "20"}));
}

TEST(SortServers, NumbersCompareByValue) {
  ServerList list = ListOfField(fPing, {"1e3", "999", "-5", "+2.5", ".5", "3.", "-1E-2"});
  SortBy(list, fPing, false);
  EXPECT_EQ(Column(list, fPing), (Strings{"-5", "-1E-2", ".5", "+2.5", "3.", "999", "1e3"}));
  EXPECT_EQ(
      compareServers(serverWith(fPort, "4661"), serverWith(fPort, "04661"), fPort, false, false),
      0);
}

TEST(SortServers, TextsIgnoreTheCaseOfLettersOnlyAndPrefixesComeFirst) {
  ServerList list = ListOfField(fName, {"beta", "Alpha", "ALP", "alpha2", "_x", "Zulu", "é"});
  SortBy(list, fName, false);
  // Letters compare as capitals, so "_" (0x5F) follows "Z" (0x5A); bytes above 0x7F last.
  EXPECT_EQ(Column(list, fName), (Strings{"ALP", "Alpha", "alpha2", "beta", "Zulu", "_x", "é"}));
}

TEST(SortServers, NegCompareRunsAnAscendingTextSortFromZToA) {
  ServerList list = ListOfField(fName, {"mike", "Alpha", "zulu"});
  SortBy(list, fName, false, true);
  EXPECT_EQ(Column(list, fName), (Strings{"zulu", "mike", "Alpha"}));
  SortBy(list, fName, true, true);
  EXPECT_EQ(Column(list, fName), (Strings{"Alpha", "mike", "zulu"}));
}

TEST(SortServers, EqualRowsKeepTheirOrderInBothDirections) {
  ServerList list;
  for (int i = 0; i < 6; ++i) {
    Server s = serverWith(fPref, i % 2 ? "High" : "Normal", "1.1.1." + std::to_string(i));
    list.append(s, true);
  }
  SortBy(list, fPref, false);
  EXPECT_EQ(Column(list, fIP),
            (Strings{"1.1.1.1", "1.1.1.3", "1.1.1.5", "1.1.1.0", "1.1.1.2", "1.1.1.4"}));
  SortBy(list, fPref, true);
  EXPECT_EQ(Column(list, fIP),
            (Strings{"1.1.1.0", "1.1.1.2", "1.1.1.4", "1.1.1.1", "1.1.1.3", "1.1.1.5"}));
}

TEST(SortServers, KeepsSelectionCheckMarksAndHiddenTags) {
  ServerList list;
  list.append(ServerEntry{makeServer("3.3.3.3"), true, "x", 1});
  list.append(ServerEntry{makeServer("1.1.1.1"), false, {}, 0});
  list.append(ServerEntry{makeServer("2.2.2.2"), true, {}, 0});
  list.select(0);
  SortBy(list, fIP, false);
  EXPECT_EQ(list.selected(), 2u);
  EXPECT_EQ(test::Marks(list), (std::vector<bool>{false, true, true}));
  EXPECT_EQ(list[2].extraTags, "x");
  EXPECT_EQ(list.checkedCount(), 2u);
}

TEST(ClickColumn, ANewColumnAscendsAndTheSameColumnAgainFlips) {
  ServerList list;
  list.append(serverWith(fUsers, "5", "2.2.2.2"), true);
  list.append(serverWith(fUsers, "7", "1.1.1.1"), true);
  list.append(serverWith(fUsers, "6", "3.3.3.3"), true);
  ASSERT_TRUE(list.sortDescending());
  clickColumn(list, fIP);
  EXPECT_EQ(list.sortColumn(), fIP);
  EXPECT_FALSE(list.sortDescending());
  EXPECT_EQ(Column(list, fIP), (Strings{"1.1.1.1", "2.2.2.2", "3.3.3.3"}));
  clickColumn(list, fUsers);  // another header: ascending again
  EXPECT_EQ(list.sortColumn(), fUsers);
  EXPECT_FALSE(list.sortDescending());
  EXPECT_EQ(Column(list, fUsers), (Strings{"5", "6", "7"}));
  clickColumn(list, fUsers);
  EXPECT_EQ(Column(list, fUsers), (Strings{"7", "6", "5"}));
  clickColumn(list, 9);  // no such column: nothing happens
  EXPECT_EQ(list.sortColumn(), fUsers);
  EXPECT_TRUE(list.sortDescending());
}

TEST(CompareServers, DescendingNegatesAndUnknownColumnsCompareEqual) {
  const Server a = serverWith(fName, "a"), b = serverWith(fName, "b");
  EXPECT_LT(compareServers(a, b, fName, false, false), 0);
  EXPECT_GT(compareServers(a, b, fName, false, true), 0);
  EXPECT_GT(compareServers(a, b, fName, true, false), 0);
  EXPECT_LT(compareServers(a, b, fName, true, true), 0);
  EXPECT_EQ(compareServers(a, b, -1, false, false), 0);
  EXPECT_EQ(compareServers(a, b, 9, false, false), 0);
}

namespace {

// Field values that mix numbers with every kind of text, "1a" and "9" included, which the
// plain comparison orders in a circle (9 < 10 < 1a < 9).
const Strings kMixed = {"9",      "10",      "1a",   "n/a",   "",           " x", "-3",
                        "+2.5e1", "#",       "ABC",  "abc",   "Zed",        ".5", "1e999",
                        "0",      "-0",      "00",   "+",     "-",          ".",  "1.2.3",
                        "/",      ",",       "9z",   "zz",    "N/A",        "1e", "_",
                        "\xff",   "-1e-400", "4661", "04661", "2147483648", "a b"};

// The plain comparison, for checking agreement where it is consistent.
int PlainCompare(const std::string& a, const std::string& b, bool negCompare) {
  const auto x = parseNumberText(a), y = parseNumberText(b);
  if (x && y) return *x < *y ? -1 : (*y < *x ? 1 : 0);
  const int r = platform::compareTextNoCase(a, b);
  return negCompare ? -r : r;
}

bool Ambiguous(const std::string& s) {
  if (parseNumberText(s) || s.empty()) return false;
  const unsigned char c = static_cast<unsigned char>(s[0]);
  return c >= '+' && c <= '9';
}

}  // namespace

TEST(CompareServers, IsAStrictWeakOrderOnMixedData) {
  std::mt19937 rng(12345);
  Strings pool = kMixed;
  std::uniform_int_distribution<int> len(0, 4);
  const std::string alphabet = "019.-+eEaZn/ ";
  for (int i = 0; i < 30; ++i) {
    std::string s;
    for (int n = len(rng); n > 0; --n) s += alphabet[rng() % alphabet.size()];
    pool.push_back(s);
  }
  for (int column : {fIP, fUsers, fName}) {
    for (bool neg : {false, true}) {
      for (bool desc : {false, true}) {
        std::vector<Server> rows;
        for (const auto& v : pool) {
          Server s = serverWith(column == fIP ? fName : column, v);
          if (column == fIP) s.ip = v;
          rows.push_back(s);
        }
        auto less = [&](size_t i, size_t j) {
          return compareServers(rows[i], rows[j], column, neg, desc) < 0;
        };
        auto equiv = [&](size_t i, size_t j) { return !less(i, j) && !less(j, i); };
        const size_t n = rows.size();
        for (size_t i = 0; i < n; ++i) {
          ASSERT_FALSE(less(i, i));
          for (size_t j = 0; j < n; ++j) {
            const int ij = compareServers(rows[i], rows[j], column, neg, desc);
            const int ji = compareServers(rows[j], rows[i], column, neg, desc);
            ASSERT_EQ(ij<0, ji> 0) << pool[i] << " / " << pool[j];
            for (size_t k = 0; k < n; ++k) {
              if (less(i, j) && less(j, k)) {
                ASSERT_TRUE(less(i, k)) << pool[i] << " " << pool[j] << " " << pool[k];
              }
              if (equiv(i, j) && equiv(j, k)) {
                ASSERT_TRUE(equiv(i, k)) << pool[i] << " " << pool[j] << " " << pool[k];
              }
            }
          }
        }
      }
    }
  }
}

TEST(CompareServers, AgreesWithThePlainComparisonWhereThatIsConsistent) {
  // Numbers with numbers, texts with texts, and numbers with texts that lie wholly below
  // or above every number text: the plain comparison is consistent there and decides.
  for (bool neg : {false, true}) {
    for (const auto& a : kMixed) {
      for (const auto& b : kMixed) {
        if (Ambiguous(a) || Ambiguous(b)) continue;
        const int want = PlainCompare(a, b, neg);
        const int got =
            compareServers(serverWith(fFiles, a), serverWith(fFiles, b), fFiles, neg, false);
        EXPECT_EQ((got > 0) - (got < 0), want) << "'" << a << "' vs '" << b << "' neg " << neg;
      }
    }
  }
}

TEST(SortServers, SortsMixedDataIntoANonDecreasingPermutation) {
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    ServerList list;
    const int column = static_cast<int>(rng() % kServerFieldCount);
    for (int i = 0; i < 200; ++i) {
      Server s = makeServer(kMixed[rng() % kMixed.size()]);
      s.field(column) = kMixed[rng() % kMixed.size()];
      list.append(s, rng() % 2 == 0);
    }
    Strings before = Column(list, column);
    const size_t checked = list.checkedCount();
    SortBy(list, column, rng() % 2 == 0, rng() % 2 == 0);
    Strings after = Column(list, column);
    for (size_t i = 1; i < list.size(); ++i) {
      ASSERT_LE(compareServers(list[i - 1].server, list[i].server, column, list.negCompare,
                               list.sortDescending()),
                0);
    }
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(before, after);
    EXPECT_EQ(list.checkedCount(), checked);
  }
}

TEST(MoveServer, DroppingTheThirdRowOnTheFirstMovesItToTheTop) {
  ServerList list;
  list.append(makeServer("1.1.1.1"), false);
  list.append(makeServer("2.2.2.2"), false);
  list.append(ServerEntry{makeServer("3.3.3.3"), true, "t", 1});
  list.select(2);
  moveServer(list, 2, 0);
  EXPECT_EQ(Column(list, fIP), (Strings{"3.3.3.3", "1.1.1.1", "2.2.2.2"}));
  EXPECT_EQ(test::Marks(list), (std::vector<bool>{true, false, false}));
  EXPECT_EQ(list[0].extraTags, "t");
  EXPECT_EQ(list.selected(), 0u);
  EXPECT_EQ(list.statusText(), " EDonkey2000 servers (3 IPs) [1/2 - 33.33% checked]");
}

TEST(MoveServer, DroppingBelowTheLastRowMovesToTheEnd) {
  ServerList list;
  for (const char* ip : {"1.1.1.1", "2.2.2.2", "3.3.3.3"}) list.append(makeServer(ip), true);
  moveServer(list, 0, std::nullopt);
  EXPECT_EQ(Column(list, fIP), (Strings{"2.2.2.2", "3.3.3.3", "1.1.1.1"}));
  moveServer(list, 0, 99);  // beyond the rows is below the last row
  EXPECT_EQ(Column(list, fIP), (Strings{"3.3.3.3", "1.1.1.1", "2.2.2.2"}));
  EXPECT_EQ(list.statusText(), " EDonkey2000 servers (3 IPs) [3/0 - 100% checked]");
}

TEST(MoveServer, DroppingDownwardsLandsInFrontOfTheTarget) {
  ServerList list;
  for (const char* ip : {"1.1.1.1", "2.2.2.2", "3.3.3.3", "4.4.4.4"})
    list.append(makeServer(ip), true);
  list.select(3);
  moveServer(list, 0, 2);
  EXPECT_EQ(Column(list, fIP), (Strings{"2.2.2.2", "1.1.1.1", "3.3.3.3", "4.4.4.4"}));
  EXPECT_EQ(list.selected(), 3u);  // the selection stays on its row
}

TEST(MoveServer, DroppingARowOnItselfChangesNothing) {
  ServerList list;
  for (const char* ip : {"1.1.1.1", "2.2.2.2", "3.3.3.3"}) list.append(makeServer(ip), true);
  list.select(1);
  test::RecordingObserver obs(list);
  list.setObserver(&obs);
  moveServer(list, 1, 1);
  moveServer(list, 1, 2);  // in front of the next row: the same place
  moveServer(list, 2, std::nullopt);
  moveServer(list, 7, 0);  // no such row
  EXPECT_EQ(Column(list, fIP), (Strings{"1.1.1.1", "2.2.2.2", "3.3.3.3"}));
  EXPECT_EQ(list.selected(), 1u);
  EXPECT_EQ(obs.inserted + obs.removed + obs.changed, 0);
}

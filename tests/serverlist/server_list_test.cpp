#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <stdexcept>

#include "serverlist/server_list.h"
#include "support/server_list_support.h"

using namespace ravelin;
using namespace ravelin::serverlist;

using test::Column;
using test::makeServer;

TEST(StatusText, CountsEntriesCheckedAndUnchecked) {
  ServerList list;
  list.append(makeServer("1.1.1.1"), true);
  list.append(makeServer("2.2.2.2"), false);
  list.append(makeServer("3.3.3.3"), false);
  EXPECT_EQ(list.statusText(), " EDonkey2000 servers (3 IPs) [1/2 - 33.33% checked]");
}

TEST(StatusText, WritesThePercentageInItsShortestForm) {
  EXPECT_EQ(statusTextCounting(2, 1), " EDonkey2000 servers (2 IPs) [1/1 - 50% checked]");
  EXPECT_EQ(statusTextCounting(8, 1), " EDonkey2000 servers (8 IPs) [1/7 - 12.5% checked]");
  EXPECT_EQ(statusTextCounting(3, 2), " EDonkey2000 servers (3 IPs) [2/1 - 66.67% checked]");
  EXPECT_EQ(statusTextCounting(4, 0), " EDonkey2000 servers (4 IPs) [0/4 - 0% checked]");
  EXPECT_EQ(statusTextCounting(4, 4), " EDonkey2000 servers (4 IPs) [4/0 - 100% checked]");
  EXPECT_EQ(statusTextCounting(0, 0), "");
}

TEST(StatusText, EmptyListGivesEmptyPanelAndShortFormWithoutCounting) {
  ServerList list;
  list.recount();
  EXPECT_EQ(list.statusText(), "");
  list.statusCounting = false;
  list.recount();
  EXPECT_EQ(list.statusText(), " EDonkey2000 servers (0 IPs)");
  list.append(makeServer("1.1.1.1"), true);
  EXPECT_EQ(list.statusText(), " EDonkey2000 servers (1 IPs)");
}

TEST(ServerListRows, SetFieldChangesOneFieldAndRecounts) {
  ServerList list;
  test::RecordingObserver obs(list);
  list.setObserver(&obs);
  list.append(makeServer("1.1.1.1"), true);
  const size_t before = obs.statuses.size();
  list.setField(0, fPref, "High");
  EXPECT_EQ(list[0].server.pref, "High");
  EXPECT_EQ(list[0].server.ip, "1.1.1.1");
  EXPECT_EQ(obs.statuses.size(), before + 1);
  EXPECT_THROW(list.setField(5, fPref, "Low"), std::out_of_range);
}

TEST(ServerListRows, PermuteMovesEntriesAndKeepsSelectionAndCounts) {
  ServerList list;
  list.append(makeServer("1.1.1.1"), true);
  list.append(ServerEntry{makeServer("2.2.2.2"), false, "tags", 2});
  list.append(makeServer("3.3.3.3"), true);
  list.select(1);
  list.permute({2, 1, 0});
  EXPECT_EQ(Column(list, fIP), (std::vector<std::string>{"3.3.3.3", "2.2.2.2", "1.1.1.1"}));
  EXPECT_EQ(list.selected(), 1u);
  EXPECT_EQ(list[1].extraTags, "tags");
  EXPECT_EQ(list[1].extraTagCount, 2);
  EXPECT_EQ(list.checkedCount(), 2u);
  list.permute({1, 0, 2});
  EXPECT_EQ(list.selected(), 0u);
}

TEST(ServerListRows, PermuteRefusesWhatIsNoPermutation) {
  ServerList list;
  list.append(makeServer("1.1.1.1"), true);
  list.append(makeServer("2.2.2.2"), true);
  EXPECT_THROW(list.permute({0}), std::invalid_argument);
  EXPECT_THROW(list.permute({0, 0}), std::invalid_argument);
  EXPECT_THROW(list.permute({0, 2}), std::invalid_argument);
  EXPECT_EQ(Column(list, fIP), (std::vector<std::string>{"1.1.1.1", "2.2.2.2"}));
}

TEST(ServerListRows, ReorderRecountsCheckMarksOfTheNewEntries) {
  ServerList list;
  list.append(makeServer("1.1.1.1"), true);
  std::vector<ServerEntry> entries = {{makeServer("2.2.2.2"), false, {}, 0},
                                      {makeServer("3.3.3.3"), true, {}, 0},
                                      {makeServer("4.4.4.4"), true, {}, 0}};
  list.reorder(entries);
  EXPECT_EQ(list.checkedCount(), 2u);
}

TEST(ServerListRows, PermuteFollowsEveryCycleOfALargePermutation) {
  std::mt19937 rng(5);
  for (size_t n : {1u, 2u, 3u, 17u, 1000u}) {
    ServerList list;
    for (size_t i = 0; i < n; ++i)
      list.append(makeServer("1.1.1.1", std::to_string(i)), i % 3 == 0);
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t{0});
    std::shuffle(order.begin(), order.end(), rng);
    list.select(n / 2);
    list.permute(order);
    for (size_t i = 0; i < n; ++i) {
      ASSERT_EQ(list[i].server.port, std::to_string(order[i]));
      ASSERT_EQ(list[i].checked, order[i] % 3 == 0);
    }
    ASSERT_TRUE(list.selected());
    EXPECT_EQ(order[*list.selected()], n / 2);
  }
}

// Rows, order, texts and marks count as changes; the selection does not. Several rows go
// in one pass with the selection kept on its entry.
TEST(ServerListRows, ChangesSinceSavedAndRemovingSeveralRows) {
  ServerList list;
  for (const char* ip : {"1.1.1.1", "2.2.2.2", "3.3.3.3", "4.4.4.4"})
    list.append(makeServer(ip), true);
  EXPECT_TRUE(list.changedSinceSaved());
  list.markSaved();
  list.select(3);
  EXPECT_FALSE(list.changedSinceSaved());
  list.setChecked(0, true);  // no change of the mark
  EXPECT_FALSE(list.changedSinceSaved());
  list.removeRows({0, 2});
  EXPECT_TRUE(list.changedSinceSaved());
  EXPECT_EQ(Column(list, fIP), (std::vector<std::string>{"2.2.2.2", "4.4.4.4"}));
  EXPECT_EQ(list.selected(), std::optional<size_t>(1));
  EXPECT_EQ(list.checkedCount(), 2u);
}

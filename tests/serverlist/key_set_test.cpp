#include <gtest/gtest.h>

#include <set>
#include <string>

#include "serverlist/merge.h"

using namespace ravelin;
using namespace ravelin::serverlist;

TEST(KeySet, ComparesKeysWithoutRegardToLetterCaseButOtherwiseExactly) {
  KeySet keys;
  EXPECT_TRUE(keys.add("1.2.3.4", "$1a"));
  EXPECT_FALSE(keys.add("1.2.3.4", "$1A"));
  EXPECT_TRUE(keys.add("1.2.3.4", "0x1a"));
  EXPECT_TRUE(keys.add("1.2.3.4", "4661"));
  EXPECT_TRUE(keys.add("1.2.3.4", "04661"));
  // The key is the text IP + ":" + port, so these two spell the same key.
  EXPECT_TRUE(keys.add("1.2.3.4:5", "6"));
  EXPECT_FALSE(keys.add("1.2.3.4", "5:6"));
  EXPECT_EQ(keys.size(), 5u);
  EXPECT_TRUE(keys.contains("1.2.3.4", "04661"));
  EXPECT_FALSE(keys.contains("1.2.3.5", "4661"));
}

TEST(KeySet, AgreesWithAPlainSetThroughManyGrowths) {
  KeySet keys;
  std::set<std::string> reference;
  for (unsigned i = 0; i < 50000; ++i) {
    const unsigned v = (i * 2654435761u) % 20000;  // every value comes back a few times
    const std::string ip = "10.0." + std::to_string(v / 256) + "." + std::to_string(v % 256);
    const std::string port = std::to_string(4000 + v % 7);
    EXPECT_EQ(keys.add(ip, port), reference.insert(ip + ":" + port).second) << ip << ":" << port;
  }
  EXPECT_EQ(keys.size(), reference.size());
}

TEST(KeySet, StartsWithTheKeysOfTheListedServers) {
  ServerList list;
  Server s;
  s.ip = "1.2.3.4";
  s.port = "4661";
  list.append(s, false);
  KeySet keys(list);
  EXPECT_TRUE(keys.contains("1.2.3.4", "4661"));
  EXPECT_FALSE(keys.add("1.2.3.4", "4661"));
  EXPECT_TRUE(keys.add("1.2.3.4", "4662"));
}

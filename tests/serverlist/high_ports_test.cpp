// Lists as people publish them today: many of the biggest servers listen above port 40000.
// Every reader, the merge and the writer keep them; only texts beyond 65535 are refused.
#include <gtest/gtest.h>

#include "serverlist/met_file.h"
#include "serverlist/server_links.h"
#include "support/met_bytes.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::serverlist;
using namespace test::met;
using test::Bytes;

namespace {

const std::uint16_t kPorts[] = {4232, 43333, 47111, 58612, 65535};

// Sixteen tags, as today's clients write an entry: the known fields, address and port
// tags, and tags this program has no field for.
std::string todaysEntry(int n, std::uint16_t port) {
  return entry(
      {80, 0, 0, n}, port,
      std::vector<std::string>{
          strTag(0x01, "big " + std::to_string(n)), compact(0x14, 0x0B, "desc"),
          compact(0x03, 0x0C, le(30, 4)), compact(0x09, 0x0E, Bytes({0})), intTag("users", 100000),
          intTag("files", 5000000), intTag(0x0D, 0), compact(0x03, 0x10, Bytes({80, 0, 0, n})),
          compact(0x08, 0x0F, le(port, 2)), u16Tag(0x97, 80), u16Tag(0x98, 4242),
          intTag("maxusers", 500000), intTag("lowusers", 10), strTag("country", "NL"),
          shortStrTag(0x91, "17.15"), compact(0x03, 0x87, le(0x5F5E1000, 4))});
}

std::vector<std::string> ports(const ServerList& list) {
  std::vector<std::string> out;
  for (const auto& e : list.entries()) out.push_back(e.server.port);
  return out;
}

const std::vector<std::string> kPortTexts = {"4232", "43333", "47111", "58612", "65535"};

}  // namespace

TEST(HighPorts, AMetFileOfTodayKeepsEveryServerThroughReadMergeWriteAndReadAgain) {
  test::TestApp app;
  test::RecordingProgressBar bar;
  std::string file = header(5, 0xE0);
  for (int i = 0; i < 5; ++i) file += todaysEntry(i + 1, kPorts[i]);
  const std::string in = app.dir.file("published.met");
  test::WriteFile(in, file);

  ServerList list;
  readServersFromMet(list, in, bar, app.ctx);
  ASSERT_EQ(ports(list), kPortTexts);
  EXPECT_EQ(list[0].extraTagCount, 7);
  readServersFromMet(list, in, bar, app.ctx);  // merged again: all already listed
  EXPECT_EQ(ports(list), kPortTexts);

  const std::string out = app.dir.file("server.met");
  ASSERT_TRUE(writeServersToMet(list, out, bar, app.ctx));
  ServerList back;
  readServersFromMet(back, out, bar, app.ctx);
  ASSERT_EQ(ports(back), kPortTexts);
  for (size_t i = 0; i < back.size(); ++i) {
    EXPECT_EQ(back[i].server, list[i].server);
    EXPECT_EQ(back[i].extraTags, list[i].extraTags);
  }
  EXPECT_TRUE(app.prompter.shown.empty());
}

TEST(HighPorts, ALinkPageKeepsEveryPortUpTo65535) {
  test::TestApp app;
  std::string page = "<table>\n";
  for (int i = 0; i < 5; ++i)
    page += "<tr><td><a href=\"ed2k://|server|80.0.0." + std::to_string(i + 1) + "|" +
            kPortTexts[static_cast<size_t>(i)] + "|/\">big</a></td></tr>\n";
  page += "<tr><td><a href=\"ed2k://|server|80.0.0.9|65536|/\">no port</a></td></tr>\n";
  const std::string file = app.dir.file("servers.html");
  test::WriteFile(file, page);
  ServerList list;
  readServersFromHTML(list, file, app.ctx);
  EXPECT_EQ(ports(list), kPortTexts);
  EXPECT_EQ(app.logLines(), std::vector<std::string>{"Refreshed <5> servers from <" + file + ">"});
}

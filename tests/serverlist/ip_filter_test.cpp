#include "serverlist/ip_filter.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "serverlist/bot_file.h"
#include "support/packed_lists.h"
#include "support/test_support.h"
#include "support/update_bodies.h"

using namespace ravelin::serverlist;

namespace {

std::uint32_t A(const char* dotted) {
  std::uint32_t a = 0;
  EXPECT_TRUE(parseIpv4(dotted, a)) << dotted;
  return a;
}

TEST(IpFilterTest, BothFormatsMergeIntoSortedRanges) {
  std::size_t bad = 0;
  const IpFilter f = IpFilter::parse(
      "# comment\r\n"
      "// another\n"
      "\n"
      "001.002.003.000 - 001.002.003.255 , 100 , first\r\n"
      "1.2.4.0 - 1.2.4.9 , 000 , touches the first\n"
      "1.2.3.128 - 1.2.3.200, 50\n"  // inside the first
      "5.0.0.0 - 5.255.255.255 , 127 , allowed, so ignored\n"
      "Some corp: Inc.:20.0.0.0-20.0.0.255\n"  // colons in the description
      "Other:19.255.255.0 - 20.0.0.10\n"       // overlaps the one above
      "255.255.255.0-255.255.255.255 , 1\n"
      "1.2.3.4 - 1.2.3.5\n"  // no level
      "9.9.9.9 - 9.9.9.1 , 0 , reversed\n"
      "x:1.2.3.256-1.2.3.257\n"
      "nonsense\n",
      &bad);
  EXPECT_EQ(bad, 4u);
  ASSERT_EQ(f.ranges().size(), 3u);
  EXPECT_EQ(f.ranges()[0].first, A("1.2.3.0"));
  EXPECT_EQ(f.ranges()[0].last, A("1.2.4.9"));
  EXPECT_EQ(f.ranges()[1].first, A("19.255.255.0"));
  EXPECT_EQ(f.ranges()[1].last, A("20.0.0.255"));
  EXPECT_EQ(f.ranges()[2].last, 0xFFFFFFFFu);
  for (const char* in : {"1.2.3.0", "1.2.4.9", "20.0.0.0", "255.255.255.255"})
    EXPECT_TRUE(f.blocks(std::string_view(in))) << in;
  for (const char* out : {"1.2.2.255", "1.2.4.10", "5.1.1.1", "0.0.0.0", "255.255.254.255", "x"})
    EXPECT_FALSE(f.blocks(std::string_view(out))) << out;
}

TEST(IpFilterTest, ImportsSkipBlockedServersAndAMissingFilterFiltersNothing) {
  test::TestApp app;
  test::RecordingProgressBar bar;
  const std::string filter = app.dir.file("guardian.p2p.gz");
  test::WriteFile(filter, test::Gzip("Block:10.0.0.0-10.0.0.255\nbad\nbad too\n"));
  const std::string bot = app.dir.file("l.bot");
  test::WriteFile(bot, test::BotRecord(10, 0, 0, 7, 4661, 0, 0) +
                           test::BotRecord(10, 0, 1, 7, 4661, 0, 0) +
                           test::BotRecord(10, 0, 0, 9, 4661, 0, 0));
  app.ctx.settings.IPFilterFile = filter;
  ServerList list;
  readServersFromBOT(list, bot, bar, app.ctx);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].server.ip, "10.0.1.7");

  app.ctx.settings.IPFilterFile = app.dir.file("missing.dat");
  ServerList all;
  readServersFromBOT(all, bot, bar, app.ctx);
  EXPECT_EQ(all.size(), 3u);

  const std::vector<std::string> expected = {
      "Loaded <1> blocked ranges from IP filter <" + filter + ">",
      "Skipped <2> bad lines of IP filter <" + filter + ">",
      "<2> servers blocked by <" + filter + ">",
      "Refreshed <3> servers from <" + bot + ">",
      "IP filter <" + app.dir.file("missing.dat") +
          "> cannot be read (No such file or directory): no servers are filtered",
      "Refreshed <3> servers from <" + bot + ">"};
  EXPECT_EQ(app.logLines(), expected);
}

}  // namespace

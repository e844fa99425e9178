// Packed lists and the IP filter in update runs against the loopback HTTP peer.
#include <gtest/gtest.h>

#include <algorithm>

#include "runtime/loop_ui_thread.h"
#include "support/packed_lists.h"
#include "support/peer_process.h"
#include "support/recording_update_view.h"
#include "support/test_support.h"
#include "support/update_bodies.h"
#include "update/update_command.h"

using namespace ravelin;
using namespace ravelin::serverlist;
using namespace ravelin::update;

namespace {

class UpdatePackedTest : public ::testing::Test {
 protected:
  test::TestApp app;
  LoopUiThread ui;
  test::RecordingUpdateView view;
  test::RecordingProgressBar loadSave;
  ServerList list;
  test::TempDir files;
  std::unique_ptr<test::OddHttpServer> server;

  void SetUp() override {
    app.ctx.ui = &ui;
    app.ctx.settings.UpdThreadCount = 4;
    server = std::make_unique<test::OddHttpServer>(test::OddHttpServer::Options{
        files.file("requests.log"), "", files.path().string(), "", ""});
    ASSERT_GT(server->port(), 0);
  }
  std::string Serve(const std::string& name, const std::string& bytes, bool encoded = false) {
    test::WriteFile(files.file(name), bytes);
    return server->url((encoded ? "/gzfile/" : "/file/") + name);
  }
  bool Logged(const std::string& line) {
    const auto log = app.logLines();
    return std::find(log.begin(), log.end(), line) != log.end();
  }
  bool Listed(const std::string& ip) {
    for (const ServerEntry& e : list.entries())
      if (e.server.ip == ip) return true;
    return false;
  }
};

TEST_F(UpdatePackedTest, PackedBodiesAndDnsFileMergeAndNameTheirMember) {
  using test::ArchiveKind;
  const std::string met = test::MetBody(1, test::MetEntry(1, 1, 1, 1, 4661, "gz", "d", 1));
  const std::string gzMet = Serve("a.gz", test::Gzip(met));
  const std::string zipBot = Serve(
      "b.zip",
      test::Archive(ArchiveKind::Zip, {{"readme.txt", "Servers below"},
                                       {"list.bot", test::BotRecord(2, 2, 2, 2, 4661, 0, 5)}}));
  const std::string tgzHtml = Serve(
      "c.tgz", test::Archive(ArchiveKind::TarGz, {{"about.html", "<p>no links</p>"},
                                                  {"list.html", "ed2k://|server|3.3.3.3|4661|/"}}));
  const std::string encodedMet = Serve(
      "d.gz", test::Gzip(test::MetBody(1, test::MetEntry(4, 4, 4, 4, 4661, "enc", "d", 1))), true);
  const std::string encodedZip = Serve(
      "e.gz", test::Gzip(test::Archive(ArchiveKind::Zip, {{"x.html", "|server|5.5.5.5|4661|"}})),
      true);
  test::WriteFile(files.file("dns.gz"), test::Gzip("6.6.6.6,4661,Dns,Desc\n"));
  app.ctx.settings.URLs =
      test::Sources({"MET|" + gzMet, "BOT|" + zipBot, "HTM|" + tgzHtml, "MET|" + encodedMet,
                     "HTM|" + encodedZip, "DNS|" + files.file("dns.gz")});
  runUpdate(list, app.ctx, view, UpdateKind::All, loadSave);

  for (const char* ip : {"1.1.1.1", "2.2.2.2", "3.3.3.3", "4.4.4.4", "5.5.5.5", "6.6.6.6"})
    EXPECT_TRUE(Listed(ip)) << ip;
  EXPECT_EQ(list.size(), 6u);
  EXPECT_TRUE(Logged("Unpacked <list.bot> from <" + zipBot + ">"));
  EXPECT_TRUE(Logged("Unpacked <list.html> from <" + tgzHtml + ">"));
  EXPECT_TRUE(Logged("Unpacked <x.html> from <" + encodedZip + ">"));
  EXPECT_TRUE(Logged("Updated from <" + encodedMet + "> and found <1> IPs"));
  for (const std::string& request : server->requests())
    EXPECT_NE(request.find("\r\nAccept-Encoding: gzip\r\n"), std::string::npos);
}

TEST_F(UpdatePackedTest, GigabyteBombEndsItsSourceAndTheOthersMerge) {
  const std::string bomb = test::GzipBomb(1024);  // 1 GiB of zeros in about a megabyte
  ASSERT_LT(bomb.size(), 2u << 20);
  const std::string raw = Serve("bomb.met.gz", bomb);
  const std::string encoded = Serve("bomb2.gz", bomb, true);
  const std::string good = Serve("good.bot", test::BotRecord(7, 7, 7, 7, 4661, 0, 1));
  test::WriteFile(files.file("dns-bomb"), bomb);
  app.ctx.settings.URLs = test::Sources(
      {"MET|" + raw, "MET|" + encoded, "BOT|" + good, "DNS|" + files.file("dns-bomb")});
  runUpdate(list, app.ctx, view, UpdateKind::All, loadSave);

  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].server.ip, "7.7.7.7");
  EXPECT_TRUE(Logged("Skipped <" + raw + ">: it expands past MaxListMB (64 MB)"));
  EXPECT_TRUE(
      Logged("Skipped <" + files.file("dns-bomb") + ">: it expands past MaxListMB (64 MB)"));
  EXPECT_TRUE(Logged("Skipped <" + encoded + ">: gzip body expands past 67108864 bytes"));
  EXPECT_TRUE(Logged("Updated from <" + encoded + "> and found <0> IPs"));
}

TEST_F(UpdatePackedTest, IpFilterKeepsBlockedServersOut) {
  test::WriteFile(files.file("ipfilter.dat"),
                  "010.000.000.000 - 010.255.255.255 , 000 , private\nbroken line\n");
  app.ctx.settings.IPFilterFile = files.file("ipfilter.dat");
  const std::string bot = Serve(
      "l.bot", test::BotRecord(10, 1, 2, 3, 4661, 0, 1) + test::BotRecord(11, 1, 2, 3, 4661, 0, 1));
  app.ctx.settings.URLs = test::Sources({"BOT|" + bot});
  runUpdate(list, app.ctx, view, UpdateKind::All, loadSave);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].server.ip, "11.1.2.3");
  EXPECT_TRUE(Logged("<1> servers blocked by <" + files.file("ipfilter.dat") + ">"));
  EXPECT_TRUE(Logged("Skipped <1> bad lines of IP filter <" + files.file("ipfilter.dat") + ">"));
}

}  // namespace

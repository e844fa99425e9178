#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "runtime/loop_ui_thread.h"
#include "support/packed_lists.h"
#include "support/peer_process.h"
#include "support/recording_update_view.h"
#include "support/test_support.h"
#include "support/update_bodies.h"
#include "update/update_command.h"
#include "update/update_coordinator.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;
using namespace ravelin::update;

namespace {

bool Contains(const std::vector<std::string>& v, const std::string& s) {
  return std::find(v.begin(), v.end(), s) != v.end();
}

class UpdateRunTest : public ::testing::Test {
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
    app.ctx.settings.UpdTimeout = 5;
    server = std::make_unique<test::OddHttpServer>(test::OddHttpServer::Options{
        files.file("requests.log"), "", files.path().string(), "", ""});
    ASSERT_GT(server->port(), 0);
  }
  UrlSource Url(const std::string& kind, const std::string& file) {
    return test::Source(kind + server->url("/file/" + file));
  }
  std::vector<std::string> Log() { return app.logLines(); }
  // Serves bytes at /file/NAME, or at /gzfile/NAME with "Content-Encoding: gzip".
  std::string Serve(const std::string& name, const std::string& bytes, bool encoded = false) {
    test::WriteFile(files.file(name), bytes);
    return server->url((encoded ? "/gzfile/" : "/file/") + name);
  }
  void Run(UpdateKind kind = UpdateKind::All) { runUpdate(list, app.ctx, view, kind, loadSave); }
};

TEST_F(UpdateRunTest, AllKindsOneWorkerMergeAndLog) {
  test::WriteFile(files.file("a.met"),
                  test::MetBody(3, test::MetEntry(1, 2, 3, 4, 4661, "One", "d1", 5) +
                                       test::MetEntry(0, 1, 2, 3, 4661, "Bad", "", 0) +
                                       test::MetEntry(5, 6, 7, 8, 4242, "Two", "d2", 6)));
  test::WriteFile(files.file("b.bot"), test::BotRecord(1, 2, 3, 4, 4661, 1, 1) +
                                           test::BotRecord(9, 9, 9, 9, 9999, 2, 3));
  test::WriteFile(files.file("c.htm"), "<a href=\"ed2k://|server| 7.7.7.7 | 4661 |/\">x</a>");
  test::WriteFile(files.file("dns.txt"), "8.8.4.4,4665,Num,Desc\n");
  app.ctx.settings.URLs = {Url("MET|", "a.met"), Url("BOT|", "b.bot"), Url("HTM|", "c.htm"),
                           test::Source("DNS|" + files.file("dns.txt"))};
  list.append(Server{"5.6.7.8", "4242", "Existing", "kept", "n/a", "n/a", "n/a", "Normal", "n/a"},
              false);
  app.ctx.settings.UpdThreadCount = 1;
  Run();

  // Existing entries win; duplicates and invalid records are skipped; new ones are checked.
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list[0].server.name, "Existing");
  EXPECT_FALSE(list[0].checked);
  EXPECT_EQ(list[1].server.ip, "1.2.3.4");
  EXPECT_EQ(list[1].server.name, "One");
  EXPECT_TRUE(list[1].checked);
  EXPECT_EQ(list[2].server.ip, "9.9.9.9");
  EXPECT_EQ(list[2].server.pref, "Low");
  EXPECT_EQ(list[3].server.ip, "7.7.7.7");  // trimmed
  EXPECT_EQ(list[3].server.port, "4661");
  EXPECT_EQ(list[4].server.ip, "8.8.4.4");
  EXPECT_EQ(list[4].server.name, "Num");

  const auto log = Log();
  EXPECT_TRUE(Contains(log, "Updating from 4 URLs"));
  EXPECT_TRUE(Contains(log, "Updated from <" + server->url("/file/a.met") + "> and found <3> IPs"));
  EXPECT_TRUE(Contains(log, "Updated from <" + server->url("/file/b.bot") + "> and found <2> IPs"));
  EXPECT_TRUE(Contains(log, "Updated from <" + server->url("/file/c.htm") + "> and found <1> IPs"));
  EXPECT_TRUE(Contains(log, "Updated from <" + files.file("dns.txt") + "> and found <1> IPs"));
  EXPECT_EQ(log.back(), "Updated successfully and found <4> unique IPs");

  // One worker: every job ran in slot 1, in list order; the others were never used.
  const auto& labels = view.labelHistory[0];
  EXPECT_TRUE(Contains(labels, "Request sent! Waiting for reply..."));
  EXPECT_TRUE(Contains(labels, "Data received successfully!"));
  EXPECT_TRUE(Contains(labels, "3 new IPs found!"));
  EXPECT_TRUE(Contains(labels, "Looking up DNS..."));
  EXPECT_EQ(view.slotLabel[0], "< Thread not used >");
  EXPECT_EQ(view.slotCaption[0], "Thread 1:");
  EXPECT_TRUE(Contains(view.captionHistory[0], "Checking " + server->url("/file/a.met") + "..."));
  for (int s = 1; s < 8; ++s) {
    EXPECT_TRUE(view.labelHistory[s].empty()) << s;
    EXPECT_EQ(view.slotLabel[s], "< Thread not used >");
  }
  EXPECT_EQ(view.headlines.front(), "Updating from 4 URLs...");
  EXPECT_TRUE(Contains(view.headlines, "Adding servers to list..."));
  EXPECT_EQ(view.descs.front(), "0 IPs found!");
  EXPECT_EQ(view.desc, "7 IPs found!");
  EXPECT_EQ(view.urls.position(), 4);
  EXPECT_EQ(view.urls.max(), 4);
  EXPECT_EQ(loadSave.max(), 7);
  EXPECT_FALSE(loadSave.visible());
  // The frame: the window was shown and closed, the main window is enabled again.
  EXPECT_EQ(view.showCount, 1);
  EXPECT_EQ(view.closeCount, 1);
  EXPECT_TRUE(view.mainEnabled);
  EXPECT_FALSE(app.ctx.state.operationDone);
  // The run leaves the slot panel as it was and gives it the pool's one slot.
  EXPECT_TRUE(view.detailsShown());
  EXPECT_EQ(view.slotCount(), 1);
}

TEST_F(UpdateRunTest, EightWorkersThreeJobsUseTheFirstThreeSlots) {
  for (int i = 0; i < 3; ++i)
    test::WriteFile(files.file("m" + std::to_string(i) + ".met"),
                    test::MetBody(1, test::MetEntry(10, 0, 0, i, 4661, "x", "y", 1)));
  app.ctx.settings.URLs = {Url("MET|", "m0.met"), Url("MET|", "m1.met"), Url("MET|", "m2.met")};
  app.ctx.settings.UpdThreadCount = 8;
  Run();
  EXPECT_EQ(list.size(), 3u);
  for (int s = 0; s < 3; ++s) {
    EXPECT_TRUE(Contains(view.labelHistory[s], "1 new IPs found!")) << s;
    EXPECT_EQ(view.slotLabel[s], "< Thread not used >");
  }
  for (int s = 3; s < 8; ++s) EXPECT_TRUE(view.labelHistory[s].empty()) << s;
  EXPECT_EQ(Log().back(), "Updated successfully and found <3> unique IPs");
}

TEST_F(UpdateRunTest, FailingJobsReportNoRecords) {
  test::WriteFile(files.file("bad.met"), "\x0F not a met");
  const int closed = test::ClosedLoopbackPort();
  app.ctx.settings.URLs = {Url("MET|", "bad.met"), test::Source("MET|" + server->url("/404")),
                           test::Source("MET|http://127.0.0.1:" + std::to_string(closed) + "/x"),
                           test::Source("DNS|" + files.file("missing.txt")),
                           test::Source("XYZ|" + server->url("/ok/10"))};
  app.ctx.settings.UpdThreadCount = 8;
  Run();
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(Contains(view.labelHistory[0], "0 new IPs found!"));
  // A slot whose source failed says why.
  EXPECT_TRUE(
      Contains(view.labelHistory[1], "Error while processing request! (404 Not Found)"));
  EXPECT_TRUE(Contains(view.labelHistory[2],
                       "Error while processing request! (Connection refused (Error #10061))"));
  EXPECT_TRUE(Contains(view.labelHistory[3], "DNS-File not found..."));
  EXPECT_TRUE(Contains(view.labelHistory[4], "0 new IPs found!"));
  const auto log = Log();
  EXPECT_TRUE(Contains(log, "Update from <" + server->url("/404") + "> failed: 404 Not Found"));
  EXPECT_TRUE(Contains(log, "Update from <http://127.0.0.1:" + std::to_string(closed) +
                                "/x> failed: Connection refused (Error #10061)"));
  EXPECT_TRUE(
      Contains(log, "Update from <" + files.file("missing.txt") + "> failed: file not found"));
  EXPECT_EQ(log.back(), "Updated successfully and found <0> unique IPs");
}

// The manual clock moves once the server holds the request; no source was read.
TEST_F(UpdateRunTest, ASilentServerTimesOut) {
  test::ClockedUiThread clocked(app.manualClock);
  clocked.ready = [&] { return !server->requests().empty(); };
  app.useManualClock();
  app.ctx.ui = &clocked;
  app.ctx.settings.URLs = {test::Source("MET|" + server->url("/silent"))};
  EXPECT_EQ(runUpdate(list, app.ctx, view, UpdateKind::All, loadSave), UpdateOutcome::NoSourceRead);
  EXPECT_TRUE(Contains(view.labelHistory[0], "URL timed out!"));
  EXPECT_TRUE(Contains(
      Log(), "Update from <" + server->url("/silent") + "> failed: timed out after 5 seconds"));
  EXPECT_EQ(Log().back(), kNoSourceReadText);
  EXPECT_TRUE(list.empty());
}

TEST_F(UpdateRunTest, ASlowBodyThatHasBegunIsNotCutOff) {
  app.ctx.settings.URLs = {test::Source("HTM|" + server->url("/slow/10"))};  // 2 s of body
  app.ctx.settings.UpdTimeout = 1;
  Run();
  EXPECT_TRUE(Contains(view.labelHistory[0], "Receiving data..."));
  EXPECT_TRUE(Contains(view.labelHistory[0], "Data received successfully!"));
  EXPECT_FALSE(Contains(view.labelHistory[0], "URL timed out!"));
}

TEST_F(UpdateRunTest, CancelLeavesTheListAloneAndNothingReachesTheNextRun) {
  test::WriteFile(files.file("a.met"),
                  test::MetBody(1, test::MetEntry(1, 2, 3, 4, 4661, "a", "b", 1)));
  app.ctx.settings.URLs = {Url("MET|", "a.met"), test::Source("MET|" + server->url("/silent"))};
  app.ctx.settings.UpdThreadCount = 1;
  app.ctx.settings.UpdTimeout = 30;
  // One worker takes the jobs in order: Cancel is pressed when the second one (the
  // silent server) has sent its request.
  bool pressed = false;
  int requests = 0;
  view.onLabel = [&](int slot, const std::string& text) {
    if (slot == 0 && text == "Request sent! Waiting for reply..." && ++requests == 2) {
      pressed = true;
      view.cancel();
    }
  };
  const std::uint32_t start = platform::systemClock().ticks();
  Run();
  EXPECT_TRUE(pressed);
  EXPECT_LT(platform::systemClock().ticks() - start, 15000u);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(view.headline, "Waiting for working threads to close...");
  EXPECT_FALSE(Contains(Log(), "Updated successfully and found <1> unique IPs"));
  EXPECT_TRUE(view.mainEnabled);

  // The next run gets only its own results.
  view.onLabel = nullptr;
  app.ctx.settings.URLs = {Url("MET|", "a.met")};
  app.ctx.settings.UpdTimeout = 5;
  Run();
  EXPECT_EQ(list.size(), 1u);
  const auto log = Log();
  EXPECT_EQ(log.back(), "Updated successfully and found <1> unique IPs");
  EXPECT_FALSE(Contains(log, "Updated from <" + server->url("/silent") + "> and found <0> IPs"));
  EXPECT_EQ(view.desc, "1 IPs found!");
}

TEST_F(UpdateRunTest, NarrowedKindsRunOnlyTheirEntriesAndRestoreTheList) {
  test::WriteFile(files.file("a.met"),
                  test::MetBody(1, test::MetEntry(1, 2, 3, 4, 4661, "a", "b", 1)));
  test::WriteFile(files.file("c.htm"), "ed2k://|server|7.7.7.7|4661|/");
  const std::vector<UrlSource> urls = {Url("HTM|", "c.htm"), Url("MET|", "a.met"),
                                       Url("met|", "a.met")};
  app.ctx.settings.URLs = urls;
  Run(UpdateKind::MET);
  EXPECT_EQ(app.ctx.settings.URLs, urls);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].server.ip, "1.2.3.4");
  EXPECT_TRUE(Contains(Log(), "Updating from 1 URLs"));

  Run(UpdateKind::BOT);
  EXPECT_EQ(app.ctx.settings.URLs, urls);
  EXPECT_EQ(view.headlines.back(), "Adding servers to list...");
  EXPECT_TRUE(Contains(view.headlines, "Updating from 0 URLs..."));
  EXPECT_EQ(Log().back(), "Updated successfully and found <0> unique IPs");
  EXPECT_EQ(list.size(), 1u);

  Run(UpdateKind::HTML);
  EXPECT_EQ(list.size(), 2u);
  EXPECT_EQ(app.ctx.settings.URLs, urls);
}

TEST_F(UpdateRunTest, DnsFileLines) {
  test::WriteFile(files.file("dns.txt"),
                  "// a comment\r\n"
                  "\r\n"
                  "localhost,4661,Local,Here\r\n"
                  "1.2.3.4,4661\r\n"
                  "1.2.3.5,70000,x,y\r\n"
                  ",4661,empty,address\r\n"
                  "1.2.3.6, 4662,Blank,port\r\n"
                  "1.2.3.7\r\n"
                  "1.2.3.8,58612,High,port\r\n"
                  "1.2.3.9,65535\r\n"
                  "1.2.3.10,65536\r\n");
  app.ctx.settings.URLs = {test::Source("DNS|" + files.file("dns.txt"))};
  Run(UpdateKind::DNS);
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list[0].server.ip, "127.0.0.1");
  EXPECT_EQ(list[0].server.name, "Local");
  EXPECT_EQ(list[0].server.desc, "Here");
  EXPECT_EQ(list[1].server.ip, "1.2.3.4");
  EXPECT_EQ(list[1].server.name, "n/a");
  EXPECT_EQ(list[1].server.desc, "n/a");
  EXPECT_EQ(list[2].server.ip, "1.2.3.6");
  EXPECT_EQ(list[2].server.port, "4662");
  EXPECT_EQ(list[3].server.port, "58612");
  EXPECT_EQ(list[4].server.port, "65535");
  EXPECT_TRUE(Contains(view.labelHistory[0], "5 new IPs found!"));
}

#ifndef _WIN32
// An unresolvable name must be tried in a private network namespace only: the case runs
// in a child of this test program inside one (unshare -n, loopback up). Linux only.
TEST_F(UpdateRunTest, AnUnresolvableNameIsDroppedAndTheNextLineIsRead) {
  if (!std::getenv("RAVELIN_IN_PRIVATE_NETNS")) {
    if (std::system("unshare -n true >/dev/null 2>&1") != 0)
      GTEST_SKIP() << "no private network namespace can be made here (unshare -n failed)";
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string run =
        "RAVELIN_IN_PRIVATE_NETNS=1 unshare -n sh -c 'ip link set lo up && "
        "exec \"" +
        self +
        "\" --gtest_filter=UpdateRunTest.AnUnresolvableNameIsDroppedAndTheNextLineIsRead'"
        " >" +
        files.file("child.out") + " 2>&1";
    const int rc = std::system(run.c_str());
    const std::string child = test::ReadFile(files.file("child.out"));
    EXPECT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << child;
    EXPECT_NE(child.find("[       OK ] UpdateRunTest.AnUnresolvableName"), std::string::npos)
        << child;
    return;
  }
  test::WriteFile(files.file("dns.txt"),
                  "no-such-host.invalid,4661,Gone,x\n"
                  "1.2.3.4,4661,Next,y\n");
  app.ctx.settings.URLs = {test::Source("DNS|" + files.file("dns.txt"))};
  Run(UpdateKind::DNS);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].server.name, "Next");
}
#endif

TEST_F(UpdateRunTest, PackedSourcesMergeNameTheirMemberAndPassTheIpFilter) {
  using test::ArchiveKind;
  const std::string gzMet =
      Serve("a.gz", test::Gzip(test::MetBody(1, test::MetEntry(1, 1, 1, 1, 4661, "g", "d", 1))));
  const std::string zipBot =
      Serve("b.zip",
            test::Archive(ArchiveKind::Zip, {{"readme.txt", "Servers below"},
                                             {"list.bot", test::BotRecord(2, 2, 2, 2, 1, 0, 5)}}));
  const std::string tgzHtml = Serve(
      "c.tgz", test::Archive(ArchiveKind::TarGz, {{"about.html", "<p>no links</p>"},
                                                  {"list.html", "ed2k://|server|3.3.3.3|4661|/"}}));
  const std::string encMet = Serve(
      "d.gz", test::Gzip(test::MetBody(1, test::MetEntry(4, 4, 4, 4, 4661, "e", "d", 1))), true);
  const std::string encZip = Serve(
      "e.gz", test::Gzip(test::Archive(ArchiveKind::Zip, {{"x.html", "|server|5.5.5.5|4661|"}})),
      true);
  test::WriteFile(files.file("dns.gz"), test::Gzip("6.6.6.6,4661,Dns,Desc\n10.1.2.3,4661\n"));
  test::WriteFile(files.file("ipfilter.dat"),
                  "010.000.000.000 - 010.255.255.255 , 000 , private\nbroken line\n");
  app.ctx.settings.IPFilterFile = files.file("ipfilter.dat");
  app.ctx.settings.UpdThreadCount = 4;
  app.ctx.settings.URLs =
      test::Sources({"MET|" + gzMet, "BOT|" + zipBot, "HTM|" + tgzHtml, "MET|" + encMet,
                     "HTM|" + encZip, "DNS|" + files.file("dns.gz")});
  Run();

  std::vector<std::string> ips;
  for (const ServerEntry& e : list.entries()) ips.push_back(e.server.ip);
  std::sort(ips.begin(), ips.end());
  EXPECT_EQ(ips, (std::vector<std::string>{"1.1.1.1", "2.2.2.2", "3.3.3.3", "4.4.4.4", "5.5.5.5",
                                           "6.6.6.6"}));
  const auto log = Log();
  EXPECT_TRUE(Contains(log, "Unpacked <list.bot> from <" + zipBot + ">"));
  EXPECT_TRUE(Contains(log, "Unpacked <list.html> from <" + tgzHtml + ">"));
  EXPECT_TRUE(Contains(log, "Unpacked <x.html> from <" + encZip + ">"));
  EXPECT_TRUE(Contains(log, "Updated from <" + encMet + "> and found <1> IPs"));
  EXPECT_TRUE(Contains(log, "<1> servers blocked by <" + files.file("ipfilter.dat") + ">"));
  EXPECT_TRUE(
      Contains(log, "Skipped <1> bad lines of IP filter <" + files.file("ipfilter.dat") + ">"));
  for (const std::string& request : server->requests())
    EXPECT_NE(request.find("\r\nAccept-Encoding: gzip\r\n"), std::string::npos);
}

TEST_F(UpdateRunTest, AGigabyteBombEndsItsSourceAndTheOthersMerge) {
  const std::string bomb = test::GzipBomb(1024);  // 1 GiB of zeros in about a megabyte
  ASSERT_LT(bomb.size(), 2u << 20);
  const std::string raw = Serve("bomb.met.gz", bomb);
  const std::string encoded = Serve("bomb2.gz", bomb, true);
  test::WriteFile(files.file("dns-bomb"), bomb);
  app.ctx.settings.URLs =
      test::Sources({"MET|" + raw, "MET|" + encoded, "DNS|" + files.file("dns-bomb"),
                     "BOT|" + Serve("good.bot", test::BotRecord(7, 7, 7, 7, 4661, 0, 1))});
  app.ctx.settings.UpdThreadCount = 4;
  Run();

  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].server.ip, "7.7.7.7");
  const auto log = Log();
  EXPECT_TRUE(Contains(log, "Skipped <" + raw + ">: it expands past MaxListMB (64 MB)"));
  EXPECT_TRUE(
      Contains(log, "Skipped <" + files.file("dns-bomb") + ">: it expands past MaxListMB (64 MB)"));
  EXPECT_TRUE(Contains(log, "Skipped <" + encoded + ">: it expands past MaxListMB (64 MB)"));
  EXPECT_FALSE(Contains(log, "Updated from <" + encoded + "> and found <0> IPs"));
}

}  // namespace

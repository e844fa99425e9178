#include <gtest/gtest.h>

#include <sys/stat.h>
#include <random>

#include "platform/file_io.h"
#include "serverlist/link_scan_reference.h"
#include "serverlist/server_links.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;

using Links = std::vector<std::pair<std::string, std::string>>;

// ---- The scan ------------------------------------------------------------------------

TEST(ScanServerLinks, FindsLinksWhateverStandsInFront) {
  EXPECT_EQ(scanServerLinks("ed2k://|server|213.45.67.21|4661|/"),
            (Links{{"213.45.67.21", "4661"}}));
  EXPECT_EQ(scanServerLinks("<a href=\"ed2k:|server|1.2.3.4|4661|\">"),
            (Links{{"1.2.3.4", "4661"}}));
  EXPECT_EQ(scanServerLinks("plain text |server|1.2.3.4|4661| more"), (Links{{"1.2.3.4", "4661"}}));
  EXPECT_EQ(scanServerLinks("a|server|1.1.1.1|1|b\r\nc|server|2.2.2.2|2|d"),
            (Links{{"1.1.1.1", "1"}, {"2.2.2.2", "2"}}));
}

TEST(ScanServerLinks, MarkerIsCaseSensitiveAndUndecoded) {
  EXPECT_TRUE(scanServerLinks("ed2k://|Server|1.2.3.4|4661|/").empty());
  EXPECT_TRUE(scanServerLinks("ed2k://|SERVER|1.2.3.4|4661|/").empty());
  EXPECT_TRUE(scanServerLinks("ed2k://%7Cserver%7C1.2.3.4%7C4661%7C/").empty());
  EXPECT_TRUE(scanServerLinks("").empty());
  EXPECT_TRUE(scanServerLinks("|server").empty());
}

TEST(ScanServerLinks, PartsAreTakenAsTheyStand) {
  EXPECT_EQ(scanServerLinks("|server|1.2.3.4:4661|"), (Links{{"1.2.3.4:4661", ""}}));
  EXPECT_EQ(scanServerLinks("|server| 1.2.3.4 | 4661 |"), (Links{{" 1.2.3.4 ", " 4661 "}}));
  EXPECT_EQ(scanServerLinks("|server|&amp;|4661|"), (Links{{"&amp;", "4661"}}));
}

TEST(ScanServerLinks, MissingBarsGiveEmptyParts) {
  // Nothing after the address: both parts empty, and the scan ends.
  EXPECT_EQ(scanServerLinks("|server|1.2.3.4"), (Links{{"", ""}}));
  EXPECT_EQ(scanServerLinks("|server|"), (Links{{"", ""}}));
  // An address but no closing bar after the port.
  EXPECT_EQ(scanServerLinks("|server|1.2.3.4|4661"), (Links{{"1.2.3.4", ""}}));
}

TEST(ScanServerLinks, PortTextIsScannedAgain) {
  // An empty port: the next marker starts right where the port would have.
  EXPECT_EQ(scanServerLinks("|server|1.2.3.4||server|5.6.7.8|4661|"),
            (Links{{"1.2.3.4", ""}, {"5.6.7.8", "4661"}}));
  // A marker inside the port text starts a link of its own.
  EXPECT_EQ(scanServerLinks("|server|a|b|server|c|d|"), (Links{{"a", "b"}, {"c", "d"}}));
  // The address text is consumed: a marker inside it is not seen.
  EXPECT_EQ(scanServerLinks("|server|a|server|b|c|"), (Links{{"a", "server"}}));
  // Back-to-back markers share their bars.
  EXPECT_EQ(scanServerLinks("|server|server|server|"), (Links{{"server", "server"}}));
}

TEST(ScanServerLinks, SeesPastNulBytes) {
  // The scan itself works on any bytes; ReadServersFromHTML is what stops at a NUL.
  const std::string text("x\0|server|1.2.3.4|4661|", 23);
  EXPECT_EQ(scanServerLinks(text), (Links{{"1.2.3.4", "4661"}}));
}

namespace {

// Random texts built from pieces that make links, near-links and noise.
std::string RandomText(std::mt19937& rng) {
  static const std::vector<std::string> kPieces = {
      "|server|", "|",   "server",  "|server",  "server|", "1.2.3.4",
      "4661",     " ",   "ed2k://", "|Server|", "|s",      "s",
      "e",        "r",   "v",       "x",        "/",       std::string(1, '\0'),
      "||",       "\r\n"};
  std::uniform_int_distribution<int> count(0, 40);
  std::uniform_int_distribution<size_t> pick(0, kPieces.size() - 1);
  std::string text;
  for (int n = count(rng); n > 0; --n) text += kPieces[pick(rng)];
  return text;
}

std::string RandomBytes(std::mt19937& rng, const std::string& alphabet) {
  std::uniform_int_distribution<int> length(0, 200);
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
  std::string text;
  for (int n = length(rng); n > 0; --n) text += alphabet[pick(rng)];
  return text;
}

}  // namespace

TEST(ScanServerLinks, AgreesWithTheDirectScanOnRandomTexts) {
  std::mt19937 rng(20261208);
  for (int i = 0; i < 20000; ++i) {
    const std::string text = RandomText(rng);
    ASSERT_EQ(scanServerLinks(text), test::ReferenceScanServerLinks(text)) << i << ": " << text;
  }
  // Texts over the marker's own letters, where near-matches and overlaps are everywhere.
  for (int i = 0; i < 20000; ++i) {
    const std::string text = RandomBytes(rng, "|server");
    ASSERT_EQ(scanServerLinks(text), test::ReferenceScanServerLinks(text)) << i << ": " << text;
  }
}

TEST(ScanServerLinks, AgreesWithTheDirectScanOnAdversarialTexts) {
  std::vector<std::string> texts;
  for (const std::string unit :
       {"|server|", "|server", "server|", "|", "|server||", "|server|x|"}) {
    std::string t;
    for (int n = 0; n < 300; ++n) {
      t += unit;
      texts.push_back(t);
    }
  }
  texts.push_back(std::string(5000, '|') + "|server|1.2.3.4|4661|");
  texts.push_back("|server|" + std::string(5000, 'x'));
  texts.push_back("|server|" + std::string(5000, 'x') + "|" + std::string(5000, 'y'));
  for (const std::string& text : texts)
    ASSERT_EQ(scanServerLinks(text), test::ReferenceScanServerLinks(text)) << text.size();
}

TEST(ScanServerLinks, LargePageInOnePass) {
  // 200,000 links in about 9 MB: the direct scan would move gigabytes here.
  std::string page;
  const std::string filler(20, 'x');
  for (int i = 0; i < 200000; ++i) {
    page += "<a href=\"ed2k://|server|10.0.";
    page += std::to_string(i / 256 % 256) + "." + std::to_string(i % 256) + "|" +
            std::to_string(1000 + i % 30000) + "|/\">" + filler + "</a>\n";
  }
  const Links links = scanServerLinks(page);
  ASSERT_EQ(links.size(), 200000u);
  EXPECT_EQ(links.front(), (std::pair<std::string, std::string>{"10.0.0.0", "1000"}));
  EXPECT_EQ(links.back().second, std::to_string(1000 + 199999 % 30000));
}

// ---- Reading a file ------------------------------------------------------------------

namespace {

// Records the bulk protocol as the list reports it.
class RecordingObserver : public ServerListObserver {
 public:
  explicit RecordingObserver(const ServerList& list) : list_(list) {}
  std::vector<std::string> events;
  void rowsInserted(size_t, size_t) override { events.push_back("inserted"); }
  void rowsRemoved(size_t, size_t) override {}
  void rowChanged(size_t) override {}
  void listReset() override {}
  void statusChanged() override { lastStatus = list_.statusText(); }
  void updatesSuspended(bool suspended) override {
    events.push_back(suspended ? "suspend" : "resume");
  }
  std::string lastStatus;

 private:
  const ServerList& list_;
};

Server makeServer(const std::string& ip, const std::string& port, const std::string& name = kNA) {
  Server s;
  s.ip = ip;
  s.port = port;
  s.name = name;
  return s;
}

}  // namespace

TEST(ReadServersFromHTML, AddsLinkedServersCheckedWithDefaults) {
  test::TestApp app;
  const std::string file = app.dir.file("page.html");
  test::WriteFile(file, "<html><a href=\"ed2k://|server|213.45.67.21|4661|/\">x</a></html>");
  ServerList list;
  readServersFromHTML(list, file, app.ctx);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_TRUE(list[0].checked);
  EXPECT_EQ(list[0].server, makeServer("213.45.67.21", "4661"));
  EXPECT_EQ(list[0].server.pref, "Normal");
  EXPECT_EQ(list[0].server.hist, "n/a");
  EXPECT_EQ(app.logLines(),
            (std::vector<std::string>{"Refreshed <1> servers from <" + file + ">"}));
}

TEST(ReadServersFromHTML, MergesByTheImportRule) {
  test::TestApp app;
  const std::string file = app.dir.file("links.txt");
  test::WriteFile(file,
                  "ed2k:|server|1.2.3.4|4661|\n"  // already listed: skipped
                  "|server|1.2.3.4|4662|\n"       // other port: new
                  "|server|5.6.7.8|4661|\n"       // new
                  "|server|5.6.7.8|4661|\n"       // repeated: skipped
                  "|server| 9.9.9.9 | 4242 |\n"   // trimmed: new
                  "|server|1.2.3.4:4661|\n"       // no port: invalid
                  "|server|0.1.2.3|4661|\n"       // invalid address
                  "|server|9.8.7.6|65536|\n"      // invalid port
                  "|server|9.8.7.7|58612|\n"      // new
                  "|Server|7.7.7.7|4661|\n");     // not a marker
  ServerList list;
  list.append(makeServer("1.2.3.4", "4661", "old name"), false);
  readServersFromHTML(list, file, app.ctx);
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list[0].server.name, "old name");
  EXPECT_FALSE(list[0].checked);
  EXPECT_EQ(list[1].server, makeServer("1.2.3.4", "4662"));
  EXPECT_EQ(list[2].server, makeServer("5.6.7.8", "4661"));
  EXPECT_EQ(list[3].server, makeServer("9.9.9.9", "4242"));
  EXPECT_EQ(list[4].server, makeServer("9.8.7.7", "58612"));
  for (size_t i = 1; i < list.size(); ++i) EXPECT_TRUE(list[i].checked);
  EXPECT_EQ(app.logLines(),
            (std::vector<std::string>{"Refreshed <4> servers from <" + file + ">"}));
}

TEST(ReadServersFromHTML, StopsAtTheFirstNulByte) {
  test::TestApp app;
  const std::string file = app.dir.file("zero-byte.html");  // "nul" names a device on Windows
  test::WriteFile(file, "|server|1.1.1.1|1|" + std::string(1, '\0') + "|server|1.2.3.4|4661|");
  ServerList list;
  readServersFromHTML(list, file, app.ctx);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].server.ip, "1.1.1.1");

  test::WriteFile(file, std::string(1, '\0') + "|server|1.2.3.4|4661|");
  readServersFromHTML(list, file, app.ctx);
  EXPECT_EQ(list.size(), 1u);
  EXPECT_EQ(app.logLines().back(), "Refreshed <0> servers from <" + file + ">");
}

TEST(ReadServersFromHTML, LinkWithoutClosingBarsAddsNothing) {
  test::TestApp app;
  const std::string file = app.dir.file("cut.html");
  test::WriteFile(file, "ed2k://|server|1.2.3.4");
  ServerList list;
  readServersFromHTML(list, file, app.ctx);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(app.logLines().back(), "Refreshed <0> servers from <" + file + ">");
}

TEST(ReadServersFromHTML, UnreadableFileChangesNothing) {
  test::TestApp app;
  ServerList list;
  list.append(makeServer("1.2.3.4", "4661"), true);
  RecordingObserver observer(list);
  list.setObserver(&observer);
  EXPECT_THROW(readServersFromHTML(list, app.dir.file("missing.html"), app.ctx),
               platform::FileError);
  // A directory opens but cannot be read.
  EXPECT_THROW(readServersFromHTML(list, app.dir.path().string(), app.ctx), platform::FileError);
  EXPECT_EQ(list.size(), 1u);
  EXPECT_TRUE(list.statusCounting);
  EXPECT_TRUE(observer.events.empty());
  EXPECT_TRUE(app.logLines().empty());
}

TEST(ReadServersFromHTML, RunsTheBulkProtocolAndPumpsPerLink) {
  test::TestApp app;
  const std::string file = app.dir.file("three.html");
  test::WriteFile(file, "|server|1.1.1.1|1| |server|bad|1| |server|3.3.3.3|3|");
  ServerList list;
  RecordingObserver observer(list);
  list.setObserver(&observer);
  std::vector<bool> countingAtPump;
  app.ui.onPump = [&] { countingAtPump.push_back(list.statusCounting); };
  readServersFromHTML(list, file, app.ctx);
  // Once before reading, then once before each of the three links.
  EXPECT_EQ(countingAtPump, (std::vector<bool>{true, false, false, false}));
  EXPECT_EQ(observer.events,
            (std::vector<std::string>{"suspend", "inserted", "inserted", "resume"}));
  EXPECT_TRUE(list.statusCounting);
  EXPECT_EQ(observer.lastStatus, statusTextCounting(2, 2));
}

TEST(ReadServersFromHTML, FailureDuringTheScanKeepsWhatWasAdded) {
  test::TestApp app;
  const std::string file = app.dir.file("abort.html");
  test::WriteFile(file, "|server|1.1.1.1|1| |server|2.2.2.2|2| |server|3.3.3.3|3|");
  ServerList list;
  RecordingObserver observer(list);
  list.setObserver(&observer);
  int pumps = 0;
  app.ui.onPump = [&] {
    if (++pumps == 4) throw std::runtime_error("stop");  // before the third link
  };
  EXPECT_THROW(readServersFromHTML(list, file, app.ctx), std::runtime_error);
  EXPECT_EQ(list.size(), 2u);
  EXPECT_TRUE(list.statusCounting);
  EXPECT_EQ(observer.events.back(), "resume");
  EXPECT_EQ(observer.lastStatus, statusTextCounting(2, 2));
  EXPECT_TRUE(app.logLines().empty());
}

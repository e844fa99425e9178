#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif
#include <csignal>

#include "platform/file_io.h"
#include "serverlist/server_links.h"
#include "serverlist/text_writers.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;

namespace {

const std::string kRule = "=====================================================";

Server makeServer(const std::string& ip, const std::string& port) {
  Server s;
  s.ip = ip;
  s.port = port;
  return s;
}

// Two checked servers around an unchecked one; the first has every field set, with
// characters that HTML would escape, which the writers leave alone.
ServerList TwoOfThree() {
  ServerList list;
  Server a = makeServer("1.2.3.4", "4661");
  a.name = "Alpha <b>";
  a.desc = "first\tone";
  a.ping = "12";
  a.users = "100";
  a.files = "2000";
  a.pref = "High";
  a.hist = "3";
  list.append(a, true);
  list.append(makeServer("9.9.9.9", "9999"), false);
  list.append(makeServer("5.6.7.8", "4242"), true);
  return list;
}

#ifndef _WIN32
// Makes every write beyond the given size fail (EFBIG) for the lifetime of the object,
// which works for any user, root included.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    old_signal_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, old_signal_);
  }

 private:
  rlimit old_{};
  void (*old_signal_)(int);
};
#endif

}  // namespace

TEST(WriteServersToTXT, OneServerTableByteForByte) {
  ASSERT_EQ(kRule.size(), 53u);
  test::TestApp app;
  ServerList list;
  list.append(makeServer("1.2.3.4", "4661"), true);
  const std::string file = app.dir.file("servers.txt");
  test::RecordingProgressBar bar;
  writeServersToTXT(list, file, bar, app.ctx);
  const std::string expected =
      "=====================================================\r\n"
      "             EDonkey2000 serverlist\r\n"
      "                  1 servers\r\n"
      "=====================================================\r\n"
      "\r\n"
      "\"IP\"\t\"Port\"\t\"Name\"\t\"Desc.\"\t\"Ping\"\t\"User\"\t\"Files\"\t\"Pref\"\t\"Hist\"\r\n"
      "\"1.2.3.4\"\t\"4661\"\t\"n/a\"\t\"n/a\"\t\"n/a\"\t\"n/a\"\t\"n/a\"\t\"Normal\"\t\"n/"
      "a\"\t\r\n";
  EXPECT_EQ(test::ReadFile(file), expected);
  EXPECT_EQ(app.logLines(), (std::vector<std::string>{"Saved <1> servers to <" + file + ">"}));
}

TEST(WriteServersToTXT, WritesOnlyCheckedServersUnescaped) {
  test::TestApp app;
  const std::string file = app.dir.file("two.txt");
  test::RecordingProgressBar bar;
  writeServersToTXT(TwoOfThree(), file, bar, app.ctx);
  const std::string text = test::ReadFile(file);
  EXPECT_NE(text.find("                  2 servers\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n\"1.2.3.4\"\t\"4661\"\t\"Alpha <b>\"\t\"first\tone\"\t\"12\"\t\"100\"\t"
                      "\"2000\"\t\"High\"\t\"3\"\t\r\n\"5.6.7.8\"\t\"4242\"\t"),
            std::string::npos);
  EXPECT_EQ(text.find("9.9.9.9"), std::string::npos);
  EXPECT_EQ(app.logLines().back(), "Saved <2> servers to <" + file + ">");
}

TEST(WriteServersToHTML, TwoServerPageByteForByte) {
  test::TestApp app;
  const std::string file = app.dir.file("servers.html");
  test::RecordingProgressBar bar;
  writeServersToHTML(TwoOfThree(), file, bar, app.ctx);
  const std::string expected =
      "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n"
      "<html><head><title>EDonkey 2000 servers</title></head><body>\r\n"
      "<P align=center><FONT face=Verdana size=4><STRONG>EDonkey2000 serverlist</STRONG>"
      "</FONT></P>\r\n"
      // No web address unless the build names one.
      "<P align=center><FONT face=Verdana size=4>Ravelin</FONT></P>\r\n"
      "<P align=center><FONT face=Verdana>2 servers</FONT></P>\r\n"
      "<P align=left><FONT face=Verdana>\r\n"
      "<table border=\"1\">\r\n"
      "  <TR><TD>IP and Port</TD><TD>Name</TD><TD>Desc.</TD><TD>Ping</TD><TD>Users</TD>"
      "<TD>Files</TD><TD>Pref</TD><TD>Hist</TD></TR>\r\n"
      "<TR><TD><a href=\"ed2k://|server|1.2.3.4|4661|/\">1.2.3.4:4661</TD><TD>Alpha <b></TD>"
      "<TD>first\tone</TD><TD>12</TD><TD>100</TD><TD>2000</TD><TD>High</TD><TD>3</TD></TR>\r\n"
      "<TR><TD><a href=\"ed2k://|server|5.6.7.8|4242|/\">5.6.7.8:4242</TD><TD>n/a</TD>"
      "<TD>n/a</TD><TD>n/a</TD><TD>n/a</TD><TD>n/a</TD><TD>Normal</TD><TD>n/a</TD></TR>\r\n"
      "</TABLE></FONT></P></body></html>\r\n";
  EXPECT_EQ(test::ReadFile(file), expected);
  EXPECT_EQ(app.logLines(), (std::vector<std::string>{"Saved <2> servers to <" + file + ">"}));
}

TEST(WriteServersToHTML, EmptySelectionStillWritesThePage) {
  test::TestApp app;
  ServerList list;
  list.append(makeServer("1.2.3.4", "4661"), false);
  const std::string file = app.dir.file("none.html");
  test::RecordingProgressBar bar;
  writeServersToHTML(list, file, bar, app.ctx);
  const std::string text = test::ReadFile(file);
  EXPECT_NE(text.find("<FONT face=Verdana>0 servers</FONT>"), std::string::npos);
  EXPECT_NE(text.find("</TD></TR>\r\n</TABLE></FONT></P></body></html>\r\n"), std::string::npos);
  EXPECT_EQ(bar.max(), 0);
  EXPECT_FALSE(bar.visible());
}

TEST(WriteServersToHTML, PageReadsBackAsTheSameServers) {
  test::TestApp app;
  ServerList source;
  for (int i = 1; i <= 50; ++i)
    source.append(makeServer("10.0." + std::to_string(i / 10) + "." + std::to_string(i),
                             std::to_string(4000 + i)),
                  i % 7 != 0);
  const std::string file = app.dir.file("round.html");
  test::RecordingProgressBar bar;
  writeServersToHTML(source, file, bar, app.ctx);

  ServerList copy;
  readServersFromHTML(copy, file, app.ctx);
  ASSERT_EQ(copy.size(), source.checkedCount());
  size_t row = 0;
  for (const ServerEntry& e : source.entries()) {
    if (!e.checked) continue;
    EXPECT_EQ(copy[row].server.ip, e.server.ip);
    EXPECT_EQ(copy[row].server.port, e.server.port);
    EXPECT_TRUE(copy[row].checked);
    ++row;
  }
  EXPECT_EQ(app.logLines().back(), "Refreshed <43> servers from <" + file + ">");
}

TEST(TextWriters, DriveTheProgressBarAndPump) {
  for (const bool html : {false, true}) {
    test::TestApp app;
    const std::string file = app.dir.file(html ? "p.html" : "p.txt");
    test::RecordingProgressBar bar;
    bar.setMax(77);
    std::vector<int> positions;
    std::vector<bool> visible;
    app.ui.onPump = [&] {
      positions.push_back(bar.position());
      visible.push_back(bar.visible());
    };
    const ServerList list = TwoOfThree();
    html ? writeServersToHTML(list, file, bar, app.ctx)
         : writeServersToTXT(list, file, bar, app.ctx);
    // Once before, once after each server, once at the end before hiding.
    EXPECT_EQ(positions, (std::vector<int>{0, 1, 2, 2})) << html;
    EXPECT_EQ(visible, (std::vector<bool>{false, true, true, true})) << html;
    EXPECT_EQ(bar.min(), 0);
    EXPECT_EQ(bar.max(), 2);
    EXPECT_EQ(bar.step(), 1);
    EXPECT_FALSE(bar.visible());
  }
}

#ifndef _WIN32
// Write failures provoked as POSIX allows: a directory that is not writable, a file size limit.
TEST(TextWriters, FailedWriteLeavesTheOldFileAndThrows) {
  for (const bool html : {false, true}) {
    test::TestApp app;
    const std::string file = app.dir.file("keep.out");
    test::WriteFile(file, "the old contents");
    ServerList list;
    for (int i = 1; i <= 100; ++i)
      list.append(makeServer("1.2.3." + std::to_string(i), "4661"), true);
    test::RecordingProgressBar bar;
    {
      FileSizeLimit limit(512);
      EXPECT_THROW(html ? writeServersToHTML(list, file, bar, app.ctx)
                        : writeServersToTXT(list, file, bar, app.ctx),
                   platform::FileError);
    }
    EXPECT_EQ(test::ReadFile(file), "the old contents");
    EXPECT_FALSE(bar.visible());
    EXPECT_EQ(app.logLines().size(), 1u);  // "Saving <100> servers to <file> failed: ..."
    // No temporary file is left beside the old one.
    for (const auto& entry : std::filesystem::directory_iterator(app.dir.path()))
      EXPECT_FALSE(entry.path().filename().string().starts_with(".ravelin-")) << entry.path();
  }
}
#endif

TEST(TextWriters, MissingDirectoryThrows) {
  test::TestApp app;
  test::RecordingProgressBar bar;
  const std::string file = app.dir.file("no/such/dir/out.txt");
  EXPECT_THROW(writeServersToTXT(TwoOfThree(), file, bar, app.ctx), platform::FileError);
  EXPECT_THROW(writeServersToHTML(TwoOfThree(), file, bar, app.ctx), platform::FileError);
  EXPECT_FALSE(platform::fileExists(file));
  EXPECT_EQ(app.logLines().size(), 2u);  // one failure line for each
}

TEST(TextWriters, ListEmptiedByPendingEventsEndsTheLoop) {
  for (const bool html : {false, true}) {
    test::TestApp app;
    ServerList list = TwoOfThree();
    int pumps = 0;
    app.ui.onPump = [&] {
      if (++pumps == 2) list.clear();  // after the first server was written
    };
    test::RecordingProgressBar bar;
    const std::string file = app.dir.file("cleared.out");
    html ? writeServersToHTML(list, file, bar, app.ctx)
         : writeServersToTXT(list, file, bar, app.ctx);
    const std::string text = test::ReadFile(file);
    EXPECT_NE(text.find("1.2.3.4"), std::string::npos);
    EXPECT_EQ(text.find("5.6.7.8"), std::string::npos);
  }
}

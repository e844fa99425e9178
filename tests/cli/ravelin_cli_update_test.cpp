// ravelin-cli's update commands against a real HTTP server on loopback.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/ini_file.h"
#include "cli/cli_runner.h"
#include "serverlist/met_file.h"
#include "serverlist/server_list.h"
#include "support/peer_process.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;
using namespace ravelin::app;

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

Server makeServer(const std::string& ip, const std::string& port) {
  Server s;
  s.ip = ip;
  s.port = port;
  s.name = "Server " + ip;
  return s;
}

Lines MetIps(const std::string& path) {
  test::TestApp app;
  test::RecordingProgressBar bar;
  ServerList list;
  readServersFromMet(list, path, bar, app.ctx);
  Lines ips;
  for (const auto& e : list.entries()) ips.push_back(e.server.ip + ":" + e.server.port);
  return ips;
}

}  // namespace

TEST(CliUpdate, NarrowedAndFullUpdatesFromLoopbackUrls) {
  test::TempDir dir;
  test::TempDir served;
  {
    ServerList list;
    list.append(makeServer("1.2.3.4", "4661"), true);
    list.append(makeServer("5.6.7.8", "4242"), true);
    test::TestApp app;
    test::RecordingProgressBar bar;
    ASSERT_TRUE(writeServersToMet(list, served.file("a.met"), bar, app.ctx));
  }
  test::WriteFile(served.file("c.htm"), "<a href=\"ed2k://|server|7.7.7.7|4661|/\">x</a>");
  test::OddHttpServer server({dir.file("requests.log"), "", served.path().string(), "", ""});
  ASSERT_GT(server.port(), 0);
  const std::string ini = dir.file("ravelin.ini");
  test::WriteFile(ini,
                  "[general]\nLOG=1\n[update]\nUpdThreadCount=2\nUpdTimeout=5\n[URLs]\nURL1=MET|" +
                      server.url("/file/a.met") + "\nURL2=HTM|" + server.url("/file/c.htm") +
                      "\nURL3=BOT|" + server.url("/404") + "\n");
  const std::string met = dir.file("met-only.met");
  const std::string all = dir.file("all.met");
  const auto r = test::runCli(
      {"--ini", ini, "--verbose", "-e", "UpdateFromMET", "-e", "SaveCustomMET[" + met + "]", "-e",
       "UpdateFromAll", "-e", "SaveCustomMET[" + all + "]"},
      dir);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(MetIps(met), (Lines{"1.2.3.4:4661", "5.6.7.8:4242"}));
  EXPECT_EQ(MetIps(all), (Lines{"1.2.3.4:4661", "5.6.7.8:4242", "7.7.7.7:4661"}));
  // --verbose names the settings file and shows the update window's status lines.
  EXPECT_EQ(r.err.rfind("Settings: " + ini + "\n", 0), 0u) << r.err;
  EXPECT_NE(r.err.find("Updating from 1 URLs...\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Updating from 3 URLs...\n"), std::string::npos);
  EXPECT_NE(r.err.find("2 IPs found!\n"), std::string::npos);
  // A source that failed is named with its cause, as the log names it.
  const std::string failedBot = "ravelin-cli: Update from <" + server.url("/404") + "> failed: 404";
  EXPECT_NE(r.err.find(failedBot), std::string::npos) << r.err;
  // The narrowed update did not change the URL list in the file.
  const IniFile after(ini);
  EXPECT_EQ(after.readString("URLs", "URL2", ""), "HTM|" + server.url("/file/c.htm"));
  // An update that read none of its sources is a failed command.
  const auto failed = test::runCli({"--ini", ini, "-e", "UpdateFromBOT"}, dir);
  EXPECT_EQ(failed.status, 3);
  EXPECT_EQ(failed.err.rfind(failedBot, 0), 0u) << failed.err;
  EXPECT_TRUE(
      failed.err.ends_with("\nravelin-cli: line 1: Update failed: no source could be read\n"));
  // A certificate that nobody vouches for is named as the cause, in the progress too.
  const test::TestCa& ca = test::TestCa::get();
  ASSERT_TRUE(ca.ok) << ca.error;
  test::OddHttpServer untrusted({"", "", served.path().string(), ca.selfCert, ca.selfKey});
  const std::string tlsIni = dir.file("tls.ini");
  test::WriteFile(tlsIni, "[URLs]\nURL1=MET|" + untrusted.url("/file/a.met", true) + "\n");
  const auto tls = test::runCli({"--ini", tlsIni, "--verbose", "-e", "UpdateFromMET"}, dir);
  EXPECT_EQ(tls.status, 3) << tls.err;
  EXPECT_NE(tls.err.find("Error while processing request! (TLS handshake failed: certificate "
                         "verify failed"),
            std::string::npos)
      << tls.err;
  EXPECT_NE(tls.err.find("> failed: TLS handshake failed: certificate verify failed"),
            std::string::npos);
  // With ProxyAddr empty the lists come through http_proxy, unless no_proxy names the host.
  test::TinyProxy proxy({});
  ASSERT_TRUE(proxy.ok()) << "tinyproxy did not start";
  const std::vector<std::string> args = {"--ini",         ini,  "-e",
                                         "UpdateFromMET", "-e", "SaveCustomMET[" + met + "]"};
  const std::string viaProxy = "http_proxy=http://127.0.0.1:" + std::to_string(proxy.port()) + "/";
  fs::remove(met);
  EXPECT_EQ(test::runCli(args, dir, {}, std::chrono::seconds(60), {"env", viaProxy}).status, 0);
  EXPECT_EQ(MetIps(met), (Lines{"1.2.3.4:4661", "5.6.7.8:4242"}));
  EXPECT_NE(server.requests().back().find("X-Tinyproxy:"), std::string::npos);
  const std::vector<std::string> direct = {"env", "http_proxy=127.0.0.1:1", "no_proxy=127.0.0.1"};
  EXPECT_EQ(test::runCli(args, dir, {}, std::chrono::seconds(60), direct).status, 0);
}

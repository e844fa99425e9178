#include "app/settings_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/window_state.h"
#include "platform/file_io.h"
#include "platform/system.h"
#include "platform/user_folders.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;
using namespace ravelin::app;

namespace {

std::string homeAMule() {
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.aMule/";
}

TEST(ClientFile, JoinsWithOneSeparator) {
  const std::string sep(1, platform::kPathSeparator);
  EXPECT_EQ(clientFile("/home/u/.aMule", "server.met"), "/home/u/.aMule" + sep + "server.met");
  EXPECT_EQ(clientFile("/home/u/.aMule/", "server.met"), "/home/u/.aMule/server.met");
  EXPECT_EQ(clientFile("", "server.met"), "server.met");
  EXPECT_EQ(clientFile("/", "log"), "/log");
  EXPECT_EQ(clientFile("rel/dir", "server.met.UPD.BAK"), "rel/dir" + sep + "server.met.UPD.BAK");
  EXPECT_EQ(clientFile("C:\\eMule\\", "server.met"),
            platform::kWindows ? "C:\\eMule\\server.met" : "C:\\eMule\\/server.met");
}

TEST(LoadSettings, AFreshStartGivesTheDefaultsAndCreatesNoFile) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  const Settings s = loadSettings(path);
  // The client its users run on each system; no eMule has run here: a new eMule's folder.
  EXPECT_EQ(s.EDPath, platform::kWindows ? userStateBase() + "\\eMule\\config\\" : homeAMule());
  EXPECT_EQ(s.EDFilename, platform::kWindows ? "emule.exe" : "amule");
  EXPECT_TRUE(s.EDGUI);
  EXPECT_EQ(s.EDWaittime, 100);
  EXPECT_FALSE(s.LOG);
  EXPECT_EQ(s.LogKeep, 100);
  EXPECT_FALSE(s.NegCompare);
  EXPECT_EQ(s.ProxyAddr, "");
  EXPECT_EQ(s.ProxyPort, 0);
  EXPECT_FALSE(s.NoRegCheck);
  EXPECT_EQ(s.MetAddressTags, platform::kWindows);
  EXPECT_TRUE(s.URLs.empty());
  EXPECT_EQ(s.UpdThreadCount, 1);
  EXPECT_EQ(s.UpdTimeout, 5);
  EXPECT_EQ(s.VrfThreadCount, 1);
  EXPECT_EQ(s.VrfTimeout, 5);
  EXPECT_TRUE(s.VrfWarning);
  EXPECT_FALSE(s.ScrSyntaxCheck);
  EXPECT_FALSE(s.ScrExecOrEdit);
  EXPECT_FALSE(s.SupportMe);
  EXPECT_EQ(s.waittime1, 5000);
  EXPECT_EQ(s.waittime2, 7000);
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(LoadSettings, ReadsEveryKey) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  test::WriteFile(path,
                  "[GENERAL]\r\n"
                  "edpath=/opt/ed2k/\r\n"
                  "EDFilename=amulecmd\r\n"
                  "EDGUI=0\r\n"
                  "EDWaittime=250\r\n"
                  "LOG=1\r\n"
                  "NegCompare=1\r\n"
                  "ProxyAddr=127.0.0.1\r\n"
                  "ProxyPort=3128\r\n"
                  "NoRegCheck=1\r\n"
                  "MetAddressTags=1\r\n"
                  "[URLs]\r\n"
                  "URL1=HTM|http://a/list.html\r\n"
                  "url2=DNS|/home/u/dns.txt\r\n"
                  "[update]\r\nUpdThreadCount=4\r\nUpdTimeout=30\r\n"
                  "[verify]\r\nVrfThreadCount=12\r\nVrfTimeout=7\r\nVrfWarning=0\r\n"
                  "[script]\r\nScrSyntaxCheck=1\r\nScrExecOrEdit=1\r\n"
                  "[support]\r\nSupportMe=1\r\n"
                  "[ad]\r\nwaittime1=1000\r\nwaittime2=2000\r\n");
  const Settings s = loadSettings(path);
  EXPECT_EQ(s.EDPath, "/opt/ed2k/");
  EXPECT_EQ(s.EDFilename, "amulecmd");
  EXPECT_FALSE(s.EDGUI);
  EXPECT_EQ(s.EDWaittime, 250);
  EXPECT_TRUE(s.LOG);
  EXPECT_TRUE(s.NegCompare);
  EXPECT_EQ(s.ProxyAddr, "127.0.0.1");
  EXPECT_EQ(s.ProxyPort, 3128);
  EXPECT_TRUE(s.NoRegCheck);
  EXPECT_TRUE(s.MetAddressTags);
  EXPECT_EQ(s.URLs, test::Sources({"HTM|http://a/list.html", "DNS|/home/u/dns.txt"}));
  EXPECT_EQ(s.UpdThreadCount, 4);
  EXPECT_EQ(s.UpdTimeout, 30);
  EXPECT_EQ(s.VrfThreadCount, 12);
  // A file from before VrfParallel existed tries as many servers at once as a new one.
  EXPECT_EQ(s.VrfParallel, 256);
  EXPECT_EQ(s.VrfProxyParallel, 16);
  EXPECT_EQ(s.VrfTimeout, 7);
  EXPECT_FALSE(s.VrfWarning);
  EXPECT_TRUE(s.ScrSyntaxCheck);
  EXPECT_TRUE(s.ScrExecOrEdit);
  EXPECT_TRUE(s.SupportMe);
  EXPECT_EQ(s.waittime1, 1000);
  EXPECT_EQ(s.waittime2, 2000);
}

TEST(LoadSettings, ValuesThatAreNotIntegersKeepTheirDefaults) {
  const Settings s =
      settingsFromIni(IniFile::fromText("[general]\nEDGUI=no\nLOG=yes\nProxyPort=80a\nEDWaittime=\n"
                                        "[update]\nUpdThreadCount=four\nUpdTimeout=1.5\n"
                                        "[verify]\nVrfWarning=off\n"));
  EXPECT_TRUE(s.EDGUI);
  EXPECT_FALSE(s.LOG);
  EXPECT_EQ(s.ProxyPort, 0);
  EXPECT_EQ(s.EDWaittime, 100);
  EXPECT_EQ(s.UpdThreadCount, 1);
  EXPECT_EQ(s.UpdTimeout, 5);
  EXPECT_TRUE(s.VrfWarning);
}

TEST(LoadSettings, UrlListStopsAtTheFirstMissingNumber) {
  const Settings s = settingsFromIni(IniFile::fromText(
      "[URLs]\nURL1=HTM|http://one\nURL2=MET|http://two\nURL4=BOT|http://four\n"));
  EXPECT_EQ(s.URLs, test::Sources({"HTM|http://one", "MET|http://two"}));
}

TEST(LoadSettings, UrlEntriesWithoutAnyMarkerAreDropped) {
  const Settings s =
      settingsFromIni(IniFile::fromText("[URLs]\n"
                                        "URL1=http://no-marker\n"
                                        "URL2=see MET|http://middle\n"
                                        "URL3=htm|http://lower-case-is-no-marker\n"
                                        "URL4=http://x/BOT|\n"
                                        "URL5=\n"
                                        "URL6=DNS|/dns.txt\n"));
  // A dropped entry does not end the reading; a marker may stand anywhere.
  EXPECT_EQ(s.URLs, test::Sources({"see MET|http://middle", "http://x/BOT|", "DNS|/dns.txt"}));
  // Only a marker at the start gives the kind; the others keep their text as it was.
  EXPECT_EQ(s.URLs[0], (UrlSource{SourceKind::Other, "see MET|http://middle"}));
  EXPECT_EQ(s.URLs[2], (UrlSource{SourceKind::DNS, "/dns.txt"}));
  EXPECT_TRUE(hasUrlMarker("xxHTM|"));
  EXPECT_FALSE(hasUrlMarker("HTM"));
  EXPECT_FALSE(hasUrlMarker(""));
}

TEST(LoadSettings, ClampsCountsAndTimeOutsFromAHandEditedFile) {
  struct Case {
    const char* text;
    int upd, updTimeout, vrf, vrfTimeout;
  };
  const Case cases[] = {
      {"[update]\nUpdThreadCount=0\nUpdTimeout=0\n[verify]\nVrfThreadCount=0\nVrfTimeout=0\n", 1, 1,
       1, 1},
      {"[update]\nUpdThreadCount=-3\nUpdTimeout=-10\n[verify]\nVrfThreadCount=-1\n"
       "VrfTimeout=-2147483648\n",
       1, 1, 1, 1},
      {"[update]\nUpdThreadCount=9\nUpdTimeout=61\n[verify]\nVrfThreadCount=21\nVrfTimeout=3600\n",
       8, 60, 20, 60},
      {"[update]\nUpdThreadCount=2147483647\nUpdTimeout=2147483647\n[verify]\n"
       "VrfThreadCount=$7FFFFFFF\nVrfTimeout=2147483647\n",
       8, 60, 20, 60},
      {"[update]\nUpdThreadCount=8\nUpdTimeout=60\n[verify]\nVrfThreadCount=20\nVrfTimeout=60\n", 8,
       60, 20, 60},
      {"[update]\nUpdThreadCount=1\nUpdTimeout=1\n[verify]\nVrfThreadCount=1\nVrfTimeout=1\n", 1, 1,
       1, 1},
  };
  for (const Case& c : cases) {
    const Settings s = settingsFromIni(IniFile::fromText(c.text));
    EXPECT_EQ(s.UpdThreadCount, c.upd) << c.text;
    EXPECT_EQ(s.UpdTimeout, c.updTimeout) << c.text;
    EXPECT_EQ(s.VrfThreadCount, c.vrf) << c.text;
    EXPECT_EQ(s.VrfTimeout, c.vrfTimeout) << c.text;
  }
  const Settings wide =
      settingsFromIni(IniFile::fromText("[verify]\nVrfParallel=100000\nVrfProxyParallel=0\n"));
  EXPECT_EQ(wide.VrfParallel, 4096);
  EXPECT_EQ(wide.VrfProxyParallel, 1);
}

TEST(LoadSettings, NegativePausesBecomeZero) {
  const Settings s = settingsFromIni(IniFile::fromText(
      "[general]\nEDWaittime=-1\nLogKeep=-3\n[ad]\nwaittime1=-5000\nwaittime2=-1\n"));
  EXPECT_EQ(s.EDWaittime, 0);
  EXPECT_EQ(s.LogKeep, 0);
  EXPECT_EQ(s.waittime1, 0);
  EXPECT_EQ(s.waittime2, 0);
}

Settings edited() {
  Settings s;
  s.EDPath = "/srv/amule";
  s.EDFilename = "amule";
  s.EDGUI = false;
  s.LOG = true;
  s.LogKeep = 7;
  s.ProxyAddr = "localhost";
  s.ProxyPort = 1080;
  s.MetAddressTags = true;
  s.ECHost = "nas.local";
  s.ECPort = 4713;
  s.ECPassword = ecPasswordDigest("secret");
  s.URLs = {test::Source("HTM|http://127.0.0.1/a.html"), test::Source("MET|http://127.0.0.1/b.met"),
            test::Source("DNS|/tmp/dns.txt"), test::Source("see BOT|http://127.0.0.1/c.bot")};
  s.UpdThreadCount = 8;
  s.UpdTimeout = 60;
  s.VrfThreadCount = 20;
  s.VrfParallel = 1024;
  s.VrfProxyParallel = 8;
  s.VrfTimeout = 2;
  s.VrfWarning = false;
  s.ScrSyntaxCheck = true;
  s.ScrExecOrEdit = true;
  s.SupportMe = true;
  s.IPFilterFile = "/srv/amule/ipfilter.dat";
  s.UpdateInfoURL = "https://127.0.0.1/update.ini";
  s.MaxListMB = 16;
  s.VrfUdpStatus = true;
  return s;
}

TEST(StoreSettings, WritesTheOptionsKeysAndReadsBackTheSame) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  const Settings s = edited();
  storeSettings(s, path);
  const Settings back = loadSettings(path);
  EXPECT_EQ(back.EDPath, s.EDPath);
  EXPECT_EQ(back.EDFilename, s.EDFilename);
  EXPECT_EQ(back.EDGUI, s.EDGUI);
  EXPECT_EQ(back.LOG, s.LOG);
  EXPECT_EQ(back.LogKeep, s.LogKeep);
  EXPECT_EQ(back.ProxyAddr, s.ProxyAddr);
  EXPECT_EQ(back.ProxyPort, s.ProxyPort);
  EXPECT_EQ(back.MetAddressTags, s.MetAddressTags);
  EXPECT_EQ(back.ECHost, s.ECHost);
  EXPECT_EQ(back.ECPort, s.ECPort);
  EXPECT_EQ(back.ECPassword, s.ECPassword);
  EXPECT_EQ(back.URLs, s.URLs);
  EXPECT_EQ(back.UpdThreadCount, s.UpdThreadCount);
  EXPECT_EQ(back.UpdTimeout, s.UpdTimeout);
  EXPECT_EQ(back.VrfThreadCount, s.VrfThreadCount);
  EXPECT_EQ(back.VrfParallel, s.VrfParallel);
  EXPECT_EQ(back.VrfProxyParallel, s.VrfProxyParallel);
  EXPECT_EQ(back.VrfTimeout, s.VrfTimeout);
  EXPECT_EQ(back.VrfWarning, s.VrfWarning);
  EXPECT_EQ(back.ScrSyntaxCheck, s.ScrSyntaxCheck);
  EXPECT_EQ(back.ScrExecOrEdit, s.ScrExecOrEdit);
  EXPECT_EQ(back.SupportMe, s.SupportMe);
  EXPECT_EQ(back.IPFilterFile, s.IPFilterFile);
  EXPECT_EQ(back.UpdateInfoURL, s.UpdateInfoURL);
  EXPECT_EQ(back.MaxListMB, s.MaxListMB);
  EXPECT_EQ(back.VrfUdpStatus, s.VrfUdpStatus);

  EXPECT_EQ(
      test::ReadFile(path),
      test::SystemLines(
          "[general]\n"
          "EDPath=/srv/amule\n"
          "EDFilename=amule\n"
          "EDGUI=0\n"
          "LOG=1\n"
          "LogKeep=7\n"
          "ProxyAddr=localhost\n"
          "ProxyPort=1080\n"
          "MetAddressTags=1\n"
          // The digest as the client's own files hold it (amulecmd writes the same one).
          "ECHost=nas.local\nECPort=4713\nECPassword=5EBE2294ECD0E0F08EAB7690D2A6EE69\n"
          "IPFilterFile=/srv/amule/ipfilter.dat\nUpdateInfoURL=https://127.0.0.1/update.ini\n"
          "\n[update]\nUpdThreadCount=8\nUpdTimeout=60\nMaxListMB=16\n"
          "\n[verify]\nVrfThreadCount=20\nVrfParallel=1024\nVrfProxyParallel=8\nVrfTimeout=2\n"
          "VrfWarning=0\nVrfUdpStatus=1\n"
          "\n[script]\nScrSyntaxCheck=1\nScrExecOrEdit=1\n"
          "\n[support]\nSupportMe=1\n"
          "\n[URLs]\nURL1=HTM|http://127.0.0.1/a.html\nURL2=MET|http://127.0.0.1/b.met\n"
          "URL3=DNS|/tmp/dns.txt\nURL4=see BOT|http://127.0.0.1/c.bot\n"));
}

TEST(StoreSettings, KeepsEverythingItDoesNotWrite) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  test::WriteFile(path,
                  "; hand-written\r\n"
                  "[general]\r\n"
                  "EDWaittime=300\r\n"
                  "NegCompare=1\r\n"
                  "NoRegCheck=1\r\n"
                  "Custom=stays\r\n"
                  "EDPath=/old\r\n"
                  "[URLs]\r\n"
                  "URL1=HTM|http://old\r\n"
                  "URL2=MET|http://old2\r\n"
                  "URL7=BOT|http://stale\r\n"
                  "[ad]\r\n"
                  "waittime1=10\r\n"
                  "waittime2=20\r\n"
                  "[MRU]\r\n"
                  "History0=/s/a.rvs\r\n");
  Settings s = loadSettings(path);
  s.EDPath = "/new";
  s.URLs = {test::Source("BOT|http://fresh")};
  storeSettings(s, path);
  const std::string text = test::ReadFile(path);
  EXPECT_EQ(text.find("\n\n"), std::string::npos) << "the file keeps its CR LF style";
  const IniFile ini(path);
  EXPECT_EQ(ini.readString("general", "EDPath", ""), "/new");
  EXPECT_EQ(ini.readInteger("general", "EDWaittime", 0), 300);
  EXPECT_EQ(ini.readString("general", "Custom", ""), "stays");
  EXPECT_EQ(ini.readInteger("ad", "waittime1", 0), 10);
  EXPECT_EQ(ini.readString("MRU", "History0", ""), "/s/a.rvs");
  EXPECT_EQ(ini.readSection("URLs"), (std::vector<std::string>{"URL1"}));
  EXPECT_EQ(ini.readString("URLs", "URL1", ""), "BOT|http://fresh");
  EXPECT_EQ(text.rfind("; hand-written\r\n[general]\r\nEDWaittime=300\r\n", 0), 0u);
  const Settings back = loadSettings(path);
  EXPECT_EQ(back.EDWaittime, 300);
  EXPECT_TRUE(back.NegCompare);
  EXPECT_TRUE(back.NoRegCheck);
}

TEST(StoreSettings, NeverWritesTheKeysOnlyTheFileSets) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  Settings s = edited();
  s.EDWaittime = 1;
  s.NegCompare = true;
  s.NoRegCheck = true;
  s.waittime1 = 2;
  s.waittime2 = 3;
  storeSettings(s, path);
  const IniFile ini(path);
  for (const char* key : {"EDWaittime", "NegCompare", "NoRegCheck"})
    EXPECT_FALSE(ini.valueExists("general", key)) << key;
  EXPECT_FALSE(ini.sectionExists("ad"));
}

TEST(StoreSettings, AnEmptyUrlListErasesTheSection) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  test::WriteFile(path, "[URLs]\nURL1=HTM|http://a\nURL2=MET|http://b\n[general]\nLOG=0\n");
  Settings s = loadSettings(path);
  s.URLs.clear();
  storeSettings(s, path);
  const IniFile ini(path);
  EXPECT_FALSE(ini.sectionExists("URLs"));
  EXPECT_TRUE(loadSettings(path).URLs.empty());
}

TEST(StoreSettings, FailsLoudlyWhenTheFileCannotBeWritten) {
  test::TempDir dir;
  EXPECT_THROW(storeSettings(edited(), dir.file("missing/ravelin.ini")), platform::FileError);
  // A file that exists but cannot be read is not replaced by one holding only our keys.
  const std::string blocked = dir.file("blocked.ini");
  std::filesystem::create_directory(blocked);
  EXPECT_THROW(storeSettings(edited(), blocked), platform::FileError);
  EXPECT_TRUE(std::filesystem::is_directory(blocked));
}

TEST(StoreVrfWarning, WritesThatKeyAlone) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  test::WriteFile(path, "[verify]\nVrfTimeout=9\nVrfWarning=1\n[general]\nLOG=1\n");
  storeVrfWarning(false, path);
  EXPECT_EQ(test::ReadFile(path), "[verify]\nVrfTimeout=9\nVrfWarning=0\n[general]\nLOG=1\n");
  storeVrfWarning(true, path);
  EXPECT_EQ(test::ReadFile(path), "[verify]\nVrfTimeout=9\nVrfWarning=1\n[general]\nLOG=1\n");

  const std::string fresh = dir.file("fresh.ini");
  storeVrfWarning(false, fresh);
  EXPECT_EQ(test::ReadFile(fresh), test::SystemLines("[verify]\nVrfWarning=0\n"));
  EXPECT_FALSE(loadSettings(fresh).VrfWarning);
}

}  // namespace

// The main window's section keeps the rest of the file; values that make no sense are
// dropped on reading.
TEST(WindowState, RoundTripAndNonsense) {
  test::TempDir dir;
  const std::string ini = dir.file("ravelin.ini");
  test::WriteFile(ini, "[general]\nLOG=0\n");
  app::WindowState state;
  state.geometry = app::WindowState::Geometry{-5, 10, 800, 600};
  state.maximized = true;
  state.columnWidths = {130, 50, 150, 120, 50, 60, 60, 60, 200};
  state.sortColumn = 2;
  state.sortDescending = true;
  app::storeWindowState(state, ini);
  EXPECT_EQ(app::loadWindowState(ini), state);
  EXPECT_EQ(test::ReadFile(ini).rfind("[general]\nLOG=0\n", 0), 0u);

  test::WriteFile(ini,
                  "[window]\nWidth=0\nHeight=600\nLeft=1\nTop=1\nColumns=1,2,x\nSortColumn=9\n");
  EXPECT_EQ(app::loadWindowState(ini), app::WindowState{});
}

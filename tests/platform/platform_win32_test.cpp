// The Windows side of the platform layer, run under wine: files with names outside any code
// page, replacing a file that a reader holds open, processes, and the select-based loop.
// winsock2.h brings windows.h, and must come before it.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "app/startup.h"
#include "net/async_socket.h"
#include "net/net_errors.h"
#include "platform/console.h"
#include "platform/event_loop.h"
#include "platform/file_io.h"
#include "platform/md5.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/text.h"
#include "platform/user_folders.h"
#include "platform/wide_text.h"
#include "runtime/log.h"

using namespace ravelin;
using namespace ravelin::platform;

namespace {

std::size_t entriesIn(const std::string& dir) {
  const std::filesystem::path p(wideFromUtf8(dir));
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(p), {}));
}

void writeOut(const std::string& text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written,
            nullptr);
}

// The test program started as a child by the process tests: prints its arguments in
// brackets and RAVELIN_CHILD, copies its input to its output, and exits with 7.
int childMain(const std::vector<std::string>& args) {
  for (std::size_t i = 1; i < args.size(); ++i) writeOut("[" + args[i] + "]\n");
  const wchar_t* env = _wgetenv(L"RAVELIN_CHILD");
  writeOut("env " + (env ? utf8FromWide(env) : std::string()) + "\n");
  char buf[256];
  DWORD n = 0;
  while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buf, sizeof buf, &n, nullptr) && n > 0)
    writeOut(std::string(buf, n));
  return 7;
}

}  // namespace

TEST(Win32Files, ReplaceAndBackupBesideAReaderOfTheOldFile) {
  PrivateDirectory dir("ravelin-test");
  const std::string target = dir.path() + "\\Sérveur список.met", backup = target + ".BAK";
  writeFileAtomically(target, "old");
  const HANDLE reader = CreateFileW(wideFromUtf8(target).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  makeBackup(target, backup);
  writeFileAtomically(target, "new");
  EXPECT_EQ(readWholeFile(target), "new");
  EXPECT_EQ(readWholeFile(backup), "old");
  char buf[8] = {};
  DWORD n = 0;
  EXPECT_TRUE(ReadFile(reader, buf, sizeof buf, &n, nullptr));
  EXPECT_EQ(std::string(buf, n), "old");
  CloseHandle(reader);

  // The C run-time's fopen does not let others delete or rename the file it reads: the
  // replace fails, and the file and its folder stay as they were.
  FILE* f = _wfopen(wideFromUtf8(target).c_str(), L"rb");
  ASSERT_NE(f, nullptr);
  EXPECT_THROW(writeFileAtomically(target, "newer"), FileError);
  std::fclose(f);
  EXPECT_EQ(readWholeFile(target), "new");
  EXPECT_EQ(entriesIn(dir.path()), 2u);
}

TEST(Win32Files, NamesOutsideEveryCodePage) {
  PrivateDirectory dir("ravelin-ü");
  const std::string sub = dir.makeSubdirectory("Ordner ß");
  const std::string file = dir.writeFile("Ordner ß\\データ.txt", "bytes");
  EXPECT_TRUE(fileExists(file));
  EXPECT_FALSE(fileExists(sub));
  appendUnderLock(file, sub + "\\lock ü", " more", 1000);
  EXPECT_EQ(readWholeFile(file), "bytes more");
  const std::string moved = dir.path() + "\\Папка";
  movePath(sub, moved);
  EXPECT_FALSE(fileExists(file));
  EXPECT_EQ(readWholeFile(moved + "\\データ.txt"), "bytes more");
  // Names read from a folder come back as the same UTF-8.
  std::vector<std::string> listed;
  for (const auto& entry : std::filesystem::directory_iterator(pathFromUtf8(moved)))
    listed.push_back(utf8FromPath(entry.path().filename()));
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{"lock ü", "データ.txt"}));
  runtime::Log log;
  log.loggingActive = true;
  log.logFileName = moved + "\\журнал.log";
  log.writeLog("one");
  log.writeLog("two");
  const std::string lines = readWholeFile(log.logFileName);
  EXPECT_NE(lines.find(" - one\n"), std::string::npos) << lines;
  EXPECT_TRUE(lines.ends_with(" - two\n")) << lines;
  EXPECT_THROW(movePath(dir.path() + "\\nothing", moved), FileError);
  try {
    readWholeFile(dir.path() + "\\absent");
    ADD_FAILURE() << "read a missing file";
  } catch (const FileError& e) {
    EXPECT_FALSE(e.reason().empty());
    EXPECT_NE(std::string(e.what()).find("\\absent\": "), std::string::npos) << e.what();
  }
}

TEST(Win32Folders, SettingsInAppDataAndStateInLocalAppData) {
  const auto normal = [](const std::string& path) {
    return utf8FromPath(pathFromUtf8(path).lexically_normal());
  };
  const std::string appData = userConfigBase(), localAppData = userStateBase();
  ASSERT_FALSE(appData.empty());
  ASSERT_FALSE(localAppData.empty());
  // The tests' folder holds no ravelin.ini.
  const app::FilePlaces places = app::locateFiles(app::currentStartupEnvironment());
  EXPECT_EQ(places.iniFile, normal(appData + "\\Ravelin\\ravelin.ini"));
  EXPECT_EQ(places.logDir, normal(localAppData + "\\Ravelin\\log"));
  EXPECT_TRUE(places.separateState);
}

TEST(Win32Md5, DigestThroughCng) {
  const auto hex = [](std::string_view bytes) {
    std::string out;
    for (const unsigned char b : md5(bytes))
      out += "0123456789abcdef"[b >> 4], out += "0123456789abcdef"[b & 15];
    return out;
  };
  EXPECT_EQ(hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(hex("secret"), "5ebe2294ecd0e0f08eab7690d2a6ee69");
}

TEST(Win32Processes, ListStartQuoteAndPipe) {
  const std::string self = executablePath();
  ASSERT_FALSE(self.empty());
  EXPECT_TRUE(isProcessRunning(self));
  EXPECT_TRUE(isProcessRunning(lowerAscii(self)));
  EXPECT_FALSE(isProcessRunning(self + ".not"));

  const std::vector<std::string> args = {
      "two words", "quote \" inside", "trailing\\", "back\\\\ \\\" both", "", "ünï список"};
  std::vector<std::string> childArgs = {"--child"};
  childArgs.insert(childArgs.end(), args.begin(), args.end());
  PipedProcess child(self, childArgs, environmentWith({"RAVELIN_CHILD=yes"}));
  ASSERT_TRUE(child.started()) << child.startError();
  EXPECT_TRUE(child.write("ping\n"));
  child.closeInput();
  std::string out;
  while (child.read(out, 10000) == PipedProcess::ReadResult::Data) {
  }
  EXPECT_EQ(child.finish(10000), 7);
  std::string expected;
  for (const std::string& a : args) expected += "[" + a + "]\n";
  EXPECT_EQ(out, expected + "env yes\nping\n");

  const ProgramResult r = runProgram(self, {"--child", "x"}, environmentWith({}), 10000);
  EXPECT_EQ(r.exitStatus, 7);
  EXPECT_EQ(r.output, "[x]\nenv \n");
  EXPECT_FALSE(PipedProcess(self + ".not", {}, {}).started());
  EXPECT_TRUE(spawnDetached(self, {"--child-exit"}, false));
  EXPECT_FALSE(spawnDetached("ravelin-no-such-program.exe", {}, true));
  EXPECT_NE(findOnPath("cmd"), "");
}

TEST(Win32EventLoop, WakeUpsDataAndARefusedConnect) {
  EventLoop loop;
  bool posted = false;
  const ULONGLONG start = GetTickCount64();
  std::thread poster([&] {
    Sleep(50);
    loop.post([&] { posted = true; });
  });
  while (!posted && GetTickCount64() - start < 10000) loop.waitAndProcess(10000);
  poster.join();
  EXPECT_TRUE(posted);
  EXPECT_LT(GetTickCount64() - start, 5000u);

  const SOCKET listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int atLen = sizeof at;
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
  ASSERT_EQ(listen(listener, 1), 0);
  getsockname(listener, reinterpret_cast<sockaddr*>(&at), &atLen);
  const std::string port = std::to_string(ntohs(at.sin_port));

  net::AsyncSocket client(loop);
  int connected = -1, closed = -1;
  std::string received;
  client.onSessionConnected = [&](net::AsyncSocket&, std::uint16_t e) { connected = e; };
  client.onDataAvailable = [&](net::AsyncSocket& s, std::uint16_t) { received += s.receiveStr(); };
  client.onSessionClosed = [&](net::AsyncSocket&, std::uint16_t e) { closed = e; };
  client.setAddr("127.0.0.1");
  client.setPort(port);
  client.setProto(net::SocketProto::Tcp);
  client.connect();
  const auto runUntil = [&](const std::function<bool()>& done) {
    const ULONGLONG begin = GetTickCount64();
    while (!done() && GetTickCount64() - begin < 10000) loop.waitAndProcess(100);
  };
  runUntil([&] { return connected != -1; });
  EXPECT_EQ(connected, 0);
  const SOCKET peer = accept(listener, nullptr, nullptr);
  ASSERT_NE(peer, INVALID_SOCKET);
  send(peer, "hello", 5, 0);
  runUntil([&] { return received == "hello"; });
  EXPECT_EQ(received, "hello");
  closesocket(peer);
  runUntil([&] { return closed != -1; });
  EXPECT_EQ(closed, 0);

  // Nobody listens there any more: select reports the failure in its exception set.
  closesocket(listener);
  connected = -1;
  client.connect();
  runUntil([&] { return connected != -1; });
  EXPECT_EQ(connected, net::wsaeConnRefused);
}

// The process tests start this program again as their child (--child, --child-exit).
int main(int argc, char** argv) {
  const std::vector<std::string> args = programArguments(argc, argv);
  if (!args.empty() && args[0] == "--child") return childMain(args);
  if (!args.empty() && args[0] == "--child-exit") return 0;
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

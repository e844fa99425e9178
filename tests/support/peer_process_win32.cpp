#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

#include "platform/process.h"
#include "support/peer_process.h"
#include "support/test_support.h"

// Under wine a Windows program starts a Linux program by its Unix path, but gets no process
// handle that works: tests/peers/supervise.sh watches it instead and is told through files.

namespace test {

namespace {

// A folder for one supervised program, on the Unix side of wine's drive mapping.
std::string SupervisorFolder() {
  static int counter = 0;
  std::random_device rd;
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() /
      ("ravelin-peer-" + std::to_string(rd()) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(dir);
  return dir.string();
}

bool Supervise(const std::string& dir, const std::vector<std::string>& argv) {
  std::vector<std::string> args = {PeerScript("supervise.sh"), UnixPath(dir)};
  args.insert(args.end(), argv.begin(), argv.end());
  return platform::spawnDetached("/bin/sh", args, false);
}

// Waits at most ms for a file to hold a whole line; its text, or empty.
std::string WaitForLine(const std::string& file, int ms) {
  for (int waited = 0; waited <= ms; waited += 20) {
    const std::string text = std::filesystem::exists(file) ? ReadFile(file) : "";
    if (text.find('\n') != std::string::npos) return text.substr(0, text.find('\n'));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return {};
}

void Remove(const std::string& dir) {
  std::error_code e;
  std::filesystem::remove_all(dir, e);
}

}  // namespace

bool RunProgram(const std::vector<std::string>& argv) {
  const std::string dir = SupervisorFolder();
  const bool ok = Supervise(dir, argv) && WaitForLine(dir + "\\status", 60000) == "0";
  Remove(dir);
  return ok;
}

std::string UnixPath(const std::string& path) {
  // wine's own export (kernel32) for the reverse of its drive mapping.
  using ToUnix = char*(CDECL*)(const wchar_t*);
  static const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) return path;
  const std::wstring wide = std::filesystem::path(path).wstring();
  char* unix = toUnix(wide.c_str());
  if (!unix) return path;
  std::string result(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

PeerProcess::PeerProcess(const std::vector<std::string>& argv, bool readPort) {
  dir_ = SupervisorFolder();
  running_ = Supervise(dir_, argv);
  if (running_ && readPort) port_ = std::atoi(WaitForLine(dir_ + "\\out", 10000).c_str());
}

PeerProcess::~PeerProcess() {
  if (running_) {
    WriteFile(dir_ + "\\stop", "");
    WaitForLine(dir_ + "\\status", 5000);
  }
  Remove(dir_);
}

}  // namespace test

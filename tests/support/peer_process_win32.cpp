#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/process.h"
#include "support/peer_process.h"
#include "support/test_support.h"

// Under wine a Windows program starts a Linux program by its Unix path, but gets no process
// handle that works: tests/peers/supervise.sh watches it instead and is told through files.

namespace test {

namespace {

// Scratch files go to the Unix /tmp, so that the peers read them by plain Unix names: a name
// inside the wine prefix passes through "dosdevices/c:", and a colon is more than some
// peers' configuration files can take (danted's).
[[maybe_unused]] const bool kTempInUnixTmp = [] {
  using ToDos = wchar_t*(CDECL*)(const char*);
  const auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  wchar_t* tmp = toDos ? toDos("/tmp") : nullptr;
  if (!tmp) return false;
  SetEnvironmentVariableW(L"TMP", tmp);
  SetEnvironmentVariableW(L"TEMP", tmp);
  HeapFree(GetProcessHeap(), 0, tmp);
  return true;
}();

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

}  // namespace

bool RunProgram(const std::vector<std::string>& argv) {
  const TempDir dir;
  return Supervise(dir.path().string(), argv) && WaitForLine(dir.file("status"), 60000) == "0";
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
  folder_ = std::make_unique<TempDir>();
  running_ = Supervise(folder_->path().string(), argv);
  if (running_ && readPort) port_ = std::atoi(WaitForLine(folder_->file("out"), 10000).c_str());
}

PeerProcess::~PeerProcess() {
  if (running_) {
    WriteFile(folder_->file("stop"), "");
    WaitForLine(folder_->file("status"), 5000);
  }
}

}  // namespace test

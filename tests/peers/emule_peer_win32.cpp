#include "peers/emule_peer.h"

#include <windows.h>

#include <filesystem>

#include "client/emule_bridge.h"
#include "platform/error_text.h"
#include "platform/user_folders.h"
#include "platform/wide_text.h"

using namespace ravelin::platform;

namespace test {

EmulePeer::EmulePeer(const std::string& linksFile, bool hang) {
  const std::wstring program =
      (std::filesystem::path(wideFromUtf8(executablePath())).parent_path() / L"fake_emule.exe")
          .wstring();
  std::wstring line = L"fake_emule \"" + wideFromUtf8(linksFile) + L"\"";
  if (hang) line += L" --hang";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    problem_ = "fake_emule.exe: " + errorText(static_cast<int>(GetLastError()));
    return;
  }
  process_ = reinterpret_cast<std::intptr_t>(info.hProcess);
  thread_ = reinterpret_cast<std::intptr_t>(info.hThread);
  for (int waited = 0; waited < 10000; waited += 50, Sleep(50)) {
    if (findAnsweringWindow(ravelin::client::kEmuleWindowMessage, 1000)) return;
    DWORD code = 0;
    if (GetExitCodeProcess(info.hProcess, &code) && code != STILL_ACTIVE) {
      problem_ = "fake_emule.exe ended with " + std::to_string(code) +
                 (code == 2 ? " (it could make no window: is there an X display?)" : "");
      return;
    }
  }
  problem_ = "the window of fake_emule.exe did not answer within 10 s";
}

EmulePeer::~EmulePeer() {
  if (!process_) return;
  const auto process = reinterpret_cast<HANDLE>(process_);
  TerminateProcess(process, 0);
  WaitForSingleObject(process, 5000);
  CloseHandle(reinterpret_cast<HANDLE>(thread_));
  CloseHandle(process);
}

}  // namespace test

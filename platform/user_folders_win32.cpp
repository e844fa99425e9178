#include "platform/user_folders.h"

#include <windows.h>

#include <cstdlib>
#include <vector>

#include "platform/wide_text.h"

namespace ravelin::platform {

std::string executablePath() {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) return utf8FromWide(std::wstring_view(buf.data(), n));
    buf.resize(buf.size() * 2);
  }
}

namespace {
std::string environmentValue(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value ? utf8FromWide(value) : "";
}
}  // namespace

std::string userConfigBase() {
  return environmentValue(L"APPDATA");
}

std::string userStateBase() {
  return environmentValue(L"LOCALAPPDATA");
}

std::string sharedDataBase() {
  return environmentValue(L"ProgramData");
}

std::string homeDirectory() {
  return environmentValue(L"USERPROFILE");
}

}  // namespace ravelin::platform

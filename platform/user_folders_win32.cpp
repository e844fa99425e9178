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

std::string homeDirectory() {
  const wchar_t* profile = _wgetenv(L"USERPROFILE");
  if (!profile || !*profile) return {};
  return utf8FromWide(profile);
}

}  // namespace ravelin::platform

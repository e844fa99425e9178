#include "platform/error_text.h"

#include <windows.h>

#include "platform/wide_text.h"

namespace ravelin::platform {

std::string errorText(int systemError) {
  const DWORD err = static_cast<DWORD>(systemError);
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, err, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string reason =
      n ? utf8FromWide(std::wstring_view(text, n)) : "error " + std::to_string(err);
  LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                             reason.back() == ' ' || reason.back() == '.'))
    reason.pop_back();
  return reason;
}

}  // namespace ravelin::platform

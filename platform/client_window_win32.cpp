// The search goes to each top-level window in turn with SendMessageTimeout rather than
// one HWND_BROADCAST: a broadcast reports no answer, and one hung window would hold up the
// whole search.
#include <windows.h>

#include "platform/client_window.h"
#include "platform/error_text.h"
#include "platform/wide_text.h"

namespace ravelin::platform {

namespace {

constexpr UINT kSendFlags = SMTO_ABORTIFHUNG | SMTO_BLOCK;

struct Search {
  UINT message;
  UINT answerMs;
  HWND found = nullptr;
};

BOOL CALLBACK askWindow(HWND window, LPARAM param) {
  Search& search = *reinterpret_cast<Search*>(param);
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutW(window, search.message, 0, 0, kSendFlags, search.answerMs, &answer) &&
      answer == search.message) {
    search.found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

std::optional<ClientWindow> findAnsweringWindow(const std::string& messageName,
                                                std::uint32_t answerMs) {
  Search search{RegisterWindowMessageW(wideFromUtf8(messageName).c_str()), answerMs};
  if (search.message == 0) return std::nullopt;
  EnumWindows(askWindow, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return std::nullopt;
  return ClientWindow{reinterpret_cast<std::intptr_t>(search.found)};
}

std::optional<std::string> sendTextToWindow(ClientWindow window, std::uintptr_t kind,
                                            const std::string& text, std::uint32_t ms) {
  std::wstring wide = wideFromUtf8(text);
  COPYDATASTRUCT copy{};
  copy.dwData = kind;
  copy.cbData = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));  // with the NUL
  copy.lpData = wide.data();
  DWORD_PTR result = 0;
  SetLastError(0);
  if (SendMessageTimeoutW(reinterpret_cast<HWND>(window.handle), WM_COPYDATA, 0,
                          reinterpret_cast<LPARAM>(&copy), kSendFlags, ms, &result))
    return std::nullopt;
  // Some systems time out without setting an error.
  const DWORD error = GetLastError();
  if (error == ERROR_TIMEOUT || error == 0)
    return "the window did not take it within " + std::to_string(ms) + " ms";
  return errorText(static_cast<int>(error));
}

}  // namespace ravelin::platform

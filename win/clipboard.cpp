#include "win/clipboard.h"

#include <cstring>

#include "platform/wide_text.h"

namespace ravelin::win {

namespace {

// Open for as long as the object lives. Another program may hold it for a moment.
class ClipboardOpen {
 public:
  explicit ClipboardOpen(HWND owner) {
    for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
      open_ = ::OpenClipboard(owner);
      if (!open_) Sleep(10);
    }
  }
  ~ClipboardOpen() {
    if (open_) CloseClipboard();
  }
  ClipboardOpen(const ClipboardOpen&) = delete;
  ClipboardOpen& operator=(const ClipboardOpen&) = delete;
  explicit operator bool() const { return open_; }

 private:
  bool open_ = false;
};

}  // namespace

std::optional<std::string> clipboardText(HWND owner) {
  ClipboardOpen clipboard(owner);
  if (!clipboard) return std::nullopt;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) return std::nullopt;
  const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
  if (!text) return std::nullopt;
  // The text ends at its terminator or at the end of its memory, whichever comes first.
  const size_t room = GlobalSize(data) / sizeof(wchar_t);
  const std::string utf8 = platform::utf8FromWide(std::wstring_view(text, wcsnlen(text, room)));
  GlobalUnlock(data);
  return utf8;
}

bool setClipboardText(HWND owner, const std::string& text) {
  const std::wstring wide = platform::wideFromUtf8(text);
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!data) return false;
  std::memcpy(GlobalLock(data), wide.c_str(), bytes);
  GlobalUnlock(data);
  ClipboardOpen clipboard(owner);
  // Once SetClipboardData took it, the memory is the system's.
  if (clipboard && EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, data)) return true;
  GlobalFree(data);
  return false;
}

}  // namespace ravelin::win

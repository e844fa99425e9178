#include "platform/ansi_code_page.h"

#include <windows.h>

#include "platform/wide_text.h"

namespace ravelin::platform {

namespace {

// GetACP() answers 65001 for a program whose manifest asks for UTF-8; text that editors
// saved in the code page follows the system's setting, which the locale still holds.
UINT systemAnsiCodePage() {
  DWORD page = 0;
  if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                     reinterpret_cast<LPWSTR>(&page), sizeof(page) / sizeof(wchar_t)) == 0 ||
      page == 0 || page == CP_UTF8)
    return 1252;  // what Western systems use, and what defines every byte
  return page;
}

}  // namespace

std::string utf8FromAnsiCodePage(std::string_view bytes) {
  if (bytes.empty()) return {};
  const UINT page = systemAnsiCodePage();
  const int size = static_cast<int>(bytes.size());
  const int n = MultiByteToWideChar(page, 0, bytes.data(), size, nullptr, 0);
  if (n <= 0) return std::string(bytes);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(page, 0, bytes.data(), size, wide.data(), n);
  return utf8FromWide(wide);
}

}  // namespace ravelin::platform

#include "win/parent_console.h"

#include <windows.h>

#include "platform/wide_text.h"

namespace ravelin::win {

namespace {

bool write(HANDLE out, const std::string& text) {
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(out, &mode)) {
    const std::wstring wide = platform::wideFromUtf8(text);
    return WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  }
  return WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

bool usable(HANDLE handle) {
  return handle && handle != INVALID_HANDLE_VALUE;
}

}  // namespace

bool writeToParentConsole(const std::string& text, bool error) {
  const DWORD which = error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
  HANDLE out = GetStdHandle(which);
  if (usable(out)) return write(out, text);
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
  out = GetStdHandle(which);
  if (usable(out)) return write(out, text);
  // A console attached after the start need not have set the standard handles.
  out = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
  if (!usable(out)) return false;
  const bool written = write(out, text);
  CloseHandle(out);
  return written;
}

}  // namespace ravelin::win

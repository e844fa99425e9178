// Text in the system's code page, and the console's escape sequences, under wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/ansi_code_page.h"
#include "platform/console.h"
#include "platform/text_encoding.h"

using namespace ravelin::platform;

namespace {

TEST(Win32Text, UnmarkedTextThatIsNotUtf8IsReadInTheSystemCodePage) {
  // Wine's default locale sets the system to Windows-1252.
  EXPECT_EQ(utf8FromAnsiCodePage("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
}

TEST(Win32Console, EscapesAreSwitchedOnInTheConsole) {
  const HANDLE before = GetStdHandle(STD_ERROR_HANDLE);
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  const HANDLE console =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(console, INVALID_HANDLE_VALUE);
  DWORD mode = 0;
  ASSERT_TRUE(GetConsoleMode(console, &mode));
  SetConsoleMode(console, mode & ~DWORD{ENABLE_VIRTUAL_TERMINAL_PROCESSING});
  SetStdHandle(STD_ERROR_HANDLE, console);
  const bool enabled = enableTerminalEscapes();
  GetConsoleMode(console, &mode);
  SetStdHandle(STD_ERROR_HANDLE, before);
  CloseHandle(console);
  FreeConsole();
  EXPECT_EQ(enabled, (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0);
  EXPECT_TRUE(enabled);
}

}  // namespace

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
  // AllocConsole points all three standard handles at the new console.
  const DWORD kinds[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  HANDLE before[3];
  for (int i = 0; i < 3; ++i) before[i] = GetStdHandle(kinds[i]);
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
  for (int i = 0; i < 3; ++i) SetStdHandle(kinds[i], before[i]);
  CloseHandle(console);
  FreeConsole();
  EXPECT_EQ(enabled, (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0);
  EXPECT_TRUE(enabled);
}

}  // namespace

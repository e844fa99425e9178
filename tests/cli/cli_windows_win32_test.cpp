// ravelin-cli.exe's resources as the loader reads them, and its console, under wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/console.h"
#include "platform/wide_text.h"

using namespace ravelin::platform;

namespace {

TEST(CliWindows, VersionManifestAndIcon) {
  const std::wstring cli = wideFromUtf8(RAVELIN_CLI_EXE);
  std::string info(GetFileVersionInfoSizeW(cli.c_str(), nullptr), '\0');
  ASSERT_TRUE(GetFileVersionInfoW(cli.c_str(), 0, info.size(), info.data()));
  wchar_t* version = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                             reinterpret_cast<void**>(&version), &length));
  EXPECT_EQ(utf8FromWide(version), RAVELIN_VERSION);

  const HMODULE exe = LoadLibraryExW(cli.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  const HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(found, nullptr);
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(exe, found))),
                             SizeofResource(exe, found));
  for (const char* part : {">UTF-8</activeCodePage>", ">true</longPathAware>", "\"asInvoker\""})
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  // The icon group holds the four sizes taken from data/icons.
  const HRSRC icons = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));
  ASSERT_NE(icons, nullptr);
  EXPECT_EQ(static_cast<const WORD*>(LockResource(LoadResource(exe, icons)))[2], 4);
  FreeLibrary(exe);
}

TEST(CliWindows, TheConsoleIsSwitchedToEscapes) {
  // AllocConsole points the standard handles at the new console; they are given back.
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE), err = GetStdHandle(STD_ERROR_HANDLE);
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  SetConsoleMode(console, ENABLE_PROCESSED_OUTPUT);
  const bool enabled = enableTerminalEscapes();
  GetConsoleMode(console, &mode);
  FreeConsole();
  SetStdHandle(STD_OUTPUT_HANDLE, out);
  SetStdHandle(STD_ERROR_HANDLE, err);
  EXPECT_TRUE(enabled);
  EXPECT_TRUE(mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

}  // namespace

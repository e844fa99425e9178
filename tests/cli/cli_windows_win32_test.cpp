// ravelin-cli.exe's resources as the loader reads them, and its console, under wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/console.h"
#include "platform/wide_text.h"

using namespace ravelin::platform;

TEST(CliWindows, VersionManifestAndIcon) {
  const std::wstring cli = wideFromUtf8(RAVELIN_CLI_EXE);
  std::string info(GetFileVersionInfoSizeW(cli.c_str(), nullptr), '\0');
  wchar_t* version = nullptr;
  UINT length = 0;
  ASSERT_TRUE(GetFileVersionInfoW(cli.c_str(), 0, info.size(), info.data()) &&
              VerQueryValueW(info.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                             reinterpret_cast<void**>(&version), &length));
  EXPECT_EQ(utf8FromWide(version), RAVELIN_VERSION);
  const HMODULE exe = LoadLibraryExW(cli.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  const auto resource = [&](int type) {
    const HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(type));
    return std::string(
        found ? static_cast<const char*>(LockResource(LoadResource(exe, found))) : "",
        found ? SizeofResource(exe, found) : 0);
  };
  const std::string manifest = resource(24);
  for (const char* part : {">UTF-8</activeCodePage>", ">true</longPathAware>", "\"asInvoker\""})
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  EXPECT_EQ(resource(14).substr(4, 2), std::string("\4\0", 2));  // the four sizes of data/icons
  FreeLibrary(exe);
}

TEST(CliWindows, TheConsoleIsSwitchedToEscapes) {
  // AllocConsole points the standard handles at the new console; they are given back.
  const DWORD kinds[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  HANDLE saved[3];
  for (int i = 0; i < 3; ++i) saved[i] = GetStdHandle(kinds[i]);
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  DWORD mode = 0;
  SetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), ENABLE_PROCESSED_OUTPUT);
  const bool enabled = enableTerminalEscapes();
  GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode);
  FreeConsole();
  for (int i = 0; i < 3; ++i) SetStdHandle(kinds[i], saved[i]);
  EXPECT_TRUE(enabled && (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING));
}

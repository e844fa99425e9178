// ravelin-cli.exe's resources as Explorer and the loader read them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/wide_text.h"

using namespace ravelin::platform;

namespace {

const std::wstring kCli = wideFromUtf8(RAVELIN_CLI_EXE);

TEST(CliResources, VersionOfTheProgram) {
  const DWORD size = GetFileVersionInfoSizeW(kCli.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::string info(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoW(kCli.c_str(), 0, size, info.data()));
  wchar_t* text = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                             reinterpret_cast<void**>(&text), &length));
  EXPECT_EQ(utf8FromWide(text), RAVELIN_VERSION);
  VS_FIXEDFILEINFO* fixed = nullptr;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                std::to_string(LOWORD(fixed->dwFileVersionMS)),
            RAVELIN_VERSION);
}

TEST(CliResources, ManifestAndIcon) {
  const HMODULE cli = LoadLibraryExW(kCli.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(cli, nullptr);
  const HRSRC found = FindResourceW(cli, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(found, nullptr);
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(cli, found))),
                             SizeofResource(cli, found));
  for (const char* part : {">UTF-8</activeCodePage>", ">true</longPathAware>", "\"asInvoker\""})
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  // The group names the four sizes of data/icons that Explorer picks from.
  const HRSRC group = FindResourceW(cli, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));
  ASSERT_NE(group, nullptr);
  const auto* dir = static_cast<const WORD*>(LockResource(LoadResource(cli, group)));
  EXPECT_EQ(dir[2], 4);
  FreeLibrary(cli);
}

}  // namespace

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/process.h"
#include "platform/registry.h"
#include "serverlist/met_file.h"
#include "support/test_support.h"
#include "win/window_picture.h"

namespace {

using ravelin::platform::runProgram;

const std::vector<std::string> kEnvironment = ravelin::platform::environmentWith({});

// The program's main window once it is shown (bounded: 30 s); none after that.
HWND shownWindow() {
  for (int i = 0; i < 600; ++i) {
    HWND found = FindWindowW(L"RavelinMainWindow", nullptr);
    if (found && IsWindowVisible(found)) return found;
    Sleep(50);
  }
  return nullptr;
}

// Into dir: a ravelin.ini that runs scripts at once, the sample list, and task.rvs, which
// loads it, keeps the servers with more than 1000 users, saves them to big.met and ends with
// CloseUtils.
void writeFilterTask(const test::TempDir& dir) {
  test::WriteFile(dir.file("ravelin.ini"),
                  "[general]\r\nNoRegCheck=1\r\n[script]\r\nScrExecOrEdit=1\r\n");
  std::filesystem::copy_file(RAVELIN_SAMPLE_MET, dir.file("sample.met"));
  test::WriteFile(dir.file("task.rvs"),
                  "RefreshCustomMET[sample.met]\r\nFilter[Users>1000]\r\n"
                  "SaveCustomMET[big.met]\r\nCloseUtils\r\n");
}

// The number of servers in a saved MET file; 0 when it holds no list.
std::size_t savedServers(const std::string& file) {
  serverlist::ServerList saved;
  test::RecordingProgressBar bar;
  test::TestApp app;
  return serverlist::readServersFromMet(saved, file, bar, app.ctx).gaveList() ? saved.size() : 0;
}

// The command line is answered where the program was started from.
TEST(RavelinExeTest, AnswersItsCommandLineOnTheConsoleItWasStartedFrom) {
  const auto version = runProgram(RAVELIN_EXE, {"--version"}, kEnvironment, 30000);
  EXPECT_EQ(version.exitStatus, 0);
  EXPECT_EQ(version.output, "ravelin " RAVELIN_VERSION "\r\n");
  const auto help = runProgram(RAVELIN_EXE, {"--help"}, kEnvironment, 30000);
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_NE(
      help.output.find("Usage: ravelin.exe [--ini FILE] [SCRIPT | --edit SCRIPT | --run SCRIPT]"),
      std::string::npos);
  const auto wrong = runProgram(RAVELIN_EXE, {"--ini"}, kEnvironment, 30000);
  EXPECT_EQ(wrong.exitStatus, 2);
  EXPECT_NE(wrong.output.find("Usage:"), std::string::npos) << wrong.output;
}

// The program shows its window with the list of its start, empty, and ends when the user
// closes it.
TEST(RavelinExeTest, ShowsItsMainWindowAndEndsWhenItIsClosed) {
  test::TempDir dir;
  // NoRegCheck: no question about the association of script files at the first start.
  test::WriteFile(dir.file("ravelin.ini"), "[general]\r\nLOG=1\r\nNoRegCheck=1\r\n");
  ravelin::platform::ProgramResult result;
  std::thread run([&] {
    result = runProgram(RAVELIN_EXE, {"--ini", dir.file("ravelin.ini")}, kEnvironment, 60000);
  });
  HWND window = shownWindow();
  EXPECT_NE(window, nullptr) << "no window within 30 s";
  wchar_t title[64] = L"";
  GetWindowTextW(window, title, 64);
  EXPECT_EQ(std::wstring(title), L"Ravelin " RAVELIN_VERSION);
  HWND list = FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr);
  EXPECT_EQ(ListView_GetItemCount(list), 0);
  EXPECT_TRUE(ListView_GetExtendedListViewStyle(list) & LVS_EX_CHECKBOXES);
  if (const char* folder = std::getenv("RAVELIN_SCREENSHOT_DIR"); folder && window) {
    Sleep(500);  // its first paint, in another process
    test::saveWindowPicture(window, std::string(folder) + "/ravelin-exe-" +
                                        std::to_string(GetDpiForSystem()) + "dpi.png");
  }
  PostMessageW(window, WM_CLOSE, 0, 0);
  run.join();
  EXPECT_EQ(result.exitStatus, 0);
  // With logging on in the ravelin.ini named, the run's log lies beside it.
  EXPECT_FALSE(std::filesystem::is_empty(dir.file("log")));
}

// A script named on the command line runs once the window is shown, as ScrExecOrEdit says:
// it loads, filters and saves the list, and CloseUtils' countdown, run out, ends the program
// without a question about the list.
TEST(RavelinExeTest, RunsTheScriptOfItsCommandLineToItsCloseUtils) {
  test::TempDir dir;
  writeFilterTask(dir);
  ravelin::platform::ProgramResult result;
  std::thread run([&] {
    result = runProgram(RAVELIN_EXE, {"--ini", dir.file("ravelin.ini"), dir.file("task.rvs")},
                        kEnvironment, 60000);
  });
  HWND window = shownWindow();
  EXPECT_NE(window, nullptr);
  HWND countdown = nullptr;
  for (int i = 0; i < 600 && !countdown; ++i, Sleep(50))
    countdown = FindWindowW(L"#32770", L"Ravelin: CLOSE Ravelin");
  EXPECT_NE(countdown, nullptr) << "no countdown within 30 s";
  run.join();
  EXPECT_EQ(result.exitStatus, 0) << result.output;
  // The checked servers: three of the sample's four have more than 1000 users.
  EXPECT_EQ(savedServers(dir.file("big.met")), 3u);
}

// A second start with the same ravelin.ini, named in another case, hands its script to the
// running program and ends at once; the running one runs it to its CloseUtils.
TEST(RavelinExeTest, HandsTheScriptOfASecondStartToTheRunningProgram) {
  test::TempDir dir;
  writeFilterTask(dir);
  ravelin::platform::ProgramResult first;
  std::thread run([&] {
    first = runProgram(RAVELIN_EXE, {"--ini", dir.file("ravelin.ini")}, kEnvironment, 60000);
  });
  HWND window = shownWindow();
  EXPECT_NE(window, nullptr);
  const auto second = runProgram(
      RAVELIN_EXE, {"--ini", dir.file("RAVELIN.INI"), dir.file("task.rvs")}, kEnvironment, 30000);
  EXPECT_EQ(second.exitStatus, 0) << second.output;
  run.join();
  EXPECT_EQ(first.exitStatus, 0) << first.output;
  EXPECT_EQ(savedServers(dir.file("big.met")), 3u);
}

// --edit opens the script in the editor although ScrExecOrEdit says to run it; a second
// start's --run hands it over to be run, to its CloseUtils.
TEST(RavelinExeTest, EditsAndRunsWhatItsEditAndRunVerbsSay) {
  test::TempDir dir;
  writeFilterTask(dir);
  ravelin::platform::ProgramResult first;
  std::thread run([&] {
    first =
        runProgram(RAVELIN_EXE, {"--ini", dir.file("ravelin.ini"), "--edit", dir.file("task.rvs")},
                   kEnvironment, 60000);
  });
  HWND editor = nullptr;
  for (int i = 0; i < 600 && !editor; ++i, Sleep(50)) {
    editor = FindWindowW(L"RavelinScriptEditor", nullptr);
    if (editor && !IsWindowVisible(editor)) editor = nullptr;
  }
  ASSERT_NE(editor, nullptr) << "no script editor within 30 s";
  EXPECT_NE(FindWindowExW(editor, nullptr, L"RICHEDIT50W", nullptr), nullptr);
  EXPECT_FALSE(std::filesystem::exists(dir.file("big.met")));
  const auto second =
      runProgram(RAVELIN_EXE, {"--ini", dir.file("ravelin.ini"), "--run", dir.file("task.rvs")},
                 kEnvironment, 30000);
  EXPECT_EQ(second.exitStatus, 0) << second.output;
  run.join();
  EXPECT_EQ(first.exitStatus, 0) << first.output;
  EXPECT_EQ(savedServers(dir.file("big.met")), 3u);
}

// The first start asks to associate script files; Yes points them at this ravelin.exe in
// the user's registry, and the next start asks nothing.
TEST(RavelinExeTest, AssociatesScriptFilesWhenTheUserSaysYes) {
  using ravelin::platform::currentUserString;
  const std::string type = "Software\\Classes\\rvsfile", command = type + "\\shell\\open\\command";
  ravelin::platform::deleteCurrentUserKey(type);
  test::TempDir dir;
  test::WriteFile(dir.file("ravelin.ini"), "");
  for (const bool first : {true, false}) {
    int status = -1;
    std::thread run([&] {
      status = runProgram(RAVELIN_EXE, {"--ini", dir.file("ravelin.ini")}, kEnvironment, 60000)
                   .exitStatus;
    });
    HWND window = shownWindow(), question = nullptr;
    for (int i = 0; i < (first ? 600 : 40) && !question; ++i, Sleep(50))
      question = FindWindowW(L"#32770", nullptr);
    EXPECT_EQ(question != nullptr, first);
    if (question) PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    for (int i = 0; i < 100 && !currentUserString(command, ""); ++i) Sleep(50);
    PostMessageW(window, WM_CLOSE, 0, 0);
    run.join();
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(currentUserString(command, "").value_or("").ends_with("\\ravelin.exe\" \"%1\""));
  }
  ravelin::platform::deleteCurrentUserKey(type);
  ravelin::platform::deleteCurrentUserKey("Software\\Classes\\.rvs");
}

}  // namespace

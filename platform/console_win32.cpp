#include "platform/console.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <atomic>

#include "platform/wide_text.h"

namespace ravelin::platform {

namespace {

// The exit status of the request that came; 0 while none came.
std::atomic<int> g_status{0};

// Runs on a thread of its own that the system starts. Returning TRUE keeps the program
// running; a second request, or a console that is closing (which ends the program once the
// handler returns, whatever it answers), is left to the system's default action.
BOOL WINAPI onConsoleEvent(DWORD event) {
  const int status = event == CTRL_C_EVENT ? 130 : 143;
  int none = 0;
  if (!g_status.compare_exchange_strong(none, status)) return FALSE;
  return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
}

}  // namespace

std::vector<std::string> programArguments(int, char**) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide && i < count; ++i) args.push_back(utf8FromWide(wide[i]));
  LocalFree(wide);
  return args;
}

void useUtf8Console() {
  SetConsoleOutputCP(CP_UTF8);
}

bool standardErrorIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

bool enableTerminalEscapes() {
  const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(console, &mode)) return false;
  if (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) return true;
  return SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

// Windows has no systemd journal.
bool standardErrorIsJournal() {
  return false;
}

void catchInterrupts() {
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

bool interruptRequested() {
  return g_status.load() != 0;
}

int interruptExitStatus() {
  const int status = g_status.load();
  return status != 0 ? status : 130;
}

}  // namespace ravelin::platform

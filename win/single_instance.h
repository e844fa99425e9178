#pragma once
// One desktop program per ravelin.ini: the first start holds a named mutex made from the
// ini's full path and marks its main window with the same digest; a later start with that
// ravelin.ini hands its script to that window (WM_COPYDATA) and ends, so that two programs
// never write one ravelin.ini. Other --ini files have instances of their own.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "win/handles.h"

namespace ravelin::win {

enum class HandOver {
  NoneRunning,  // no program holds the ini: this one serves the user
  Taken,        // the running program took the script
  NoAnswer,     // a program holds the ini but did not take it
};

// The instance of the programs that use one ravelin.ini.
class Instance {
 public:
  // iniFile: the ini's path; compared in full and without regard to case, as Windows
  // compares paths.
  explicit Instance(const std::string& iniFile);

  // Claims the ini for this program, or hands script (desk::handOverText's form: an
  // absolute path, --edit or --run before it; empty only brings the window forward) to the
  // program that holds it. Waits at most waitMs for that program's window and its answer.
  HandOver claimOrHandOver(const std::string& script, DWORD waitMs = 10000);

  // Marks the window of the program that holds the ini, where later starts look for it.
  void markWindow(HWND window) const;

  // The script a later start handed over in this WM_COPYDATA message; nothing when the
  // message is no hand-over.
  static std::optional<std::string> handedScript(LPARAM copyData);

 private:
  bool tryClaim();
  HWND findWindow() const;

  std::uint64_t digest_ = 0;
  std::wstring mutexName_;
  KernelHandle mutex_;
};

}  // namespace ravelin::win

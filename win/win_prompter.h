#pragma once
#include <windows.h>

#include "runtime/prompter.h"

namespace ravelin::win {

// The window a new box belongs to: the active window of this thread when it is an enabled
// top-level window (a modal dialog, the filter window, the script editor), else the main
// window, so that no question opens behind a window that stays on top.
HWND frontWindow(HWND mainWindow);

// The program's message boxes, as the system draws them, over the window in front.
class WinPrompter : public runtime::Prompter {
 public:
  explicit WinPrompter(HWND mainWindow = nullptr) : mainWindow_(mainWindow) {}
  void setMainWindow(HWND mainWindow) { mainWindow_ = mainWindow; }

  runtime::MsgResult message(const std::string& title, const std::string& text,
                             runtime::MsgIcon icon, runtime::MsgButtons buttons) override;

 private:
  HWND mainWindow_;
};

}  // namespace ravelin::win

#pragma once
#include <windows.h>

#include "runtime/progress_bar.h"

namespace ravelin::win {

// Draws the core's bar on a progress bar control (msctls_progress32): its range, step and
// position; whether it is shown is the owner's matter.
void drawProgress(HWND control, const runtime::ProgressBar& bar);

// A core progress bar drawn by a progress bar control of a window, which shows it always
// (the bars of the update and verify windows).
class ProgressControl : public runtime::ProgressBar {
 public:
  void attach(HWND control) {
    control_ = control;
    changed();
  }

 protected:
  void changed() override {
    if (control_) drawProgress(control_, *this);
  }

 private:
  HWND control_ = nullptr;
};

}  // namespace ravelin::win

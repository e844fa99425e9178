#include "win/progress_control.h"

#include <commctrl.h>

namespace ravelin::win {

void drawProgress(HWND control, const runtime::ProgressBar& bar) {
  // The range first: the control clamps a position outside its range.
  SendMessageW(control, PBM_SETRANGE32, static_cast<WPARAM>(bar.min()), bar.max());
  SendMessageW(control, PBM_SETSTEP, static_cast<WPARAM>(bar.step()), 0);
  SendMessageW(control, PBM_SETPOS, static_cast<WPARAM>(bar.position()), 0);
}

}  // namespace ravelin::win

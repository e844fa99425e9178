#include "win/common_controls.h"

#include <windows.h>

#include <commctrl.h>

namespace ravelin::win {

void initCommonControls() {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS |
                                          ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
  InitCommonControlsEx(&controls);
}

}  // namespace ravelin::win

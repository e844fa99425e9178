#pragma once
#include <windows.h>

#include "app/window_state.h"

namespace ravelin::win {

// The main window's place as ravelin.ini keeps it: the normal (not maximized) place and
// size in the screen's pixels, whether it is maximized, and the list's column widths at
// 96 DPI, so that they mean the same on a screen of another scale. The sort is the list's.
void readPlace(HWND frame, HWND list, app::WindowState& state);

// Puts the window where state says, fitted to the screen: a place on a screen that is no
// longer there keeps only its size, and a size kept on a larger screen, or at a smaller
// scale, is cut to the work area, so that the status bar stays within reach. A maximized
// state shows the window maximized.
void restorePlace(HWND frame, HWND list, const app::WindowState& state);

}  // namespace ravelin::win

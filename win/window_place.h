#pragma once
#include <windows.h>

#include "desk/views.h"

namespace ravelin::win {

// The window's normal (not maximized) place and size in the screen's pixels.
desk::WindowPlace normalPlace(HWND window);

// Puts the window at place, fitted to the work area of the screen it lies on, so that the
// status bar stays within reach; a place on a screen that is no longer there keeps only its
// size, at the corner of the primary screen's work area.
void placeFitted(HWND window, const desk::WindowPlace& place);

// Puts the window in the middle of owner, fitted to the screen as above.
void centreOver(HWND window, HWND owner);

}  // namespace ravelin::win

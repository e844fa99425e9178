#pragma once
#include <windows.h>

#include "win/handles.h"

namespace ravelin::win {

// Pixel sizes are written for 96 dots per inch (100 %) and scaled to a window's DPI.
inline constexpr UINT kDefaultDpi = 96;

UINT windowDpi(HWND window);
inline int scaled(int pixels96, UINT dpi) {
  return MulDiv(pixels96, static_cast<int>(dpi), static_cast<int>(kDefaultDpi));
}

// The font of the system's message boxes and dialogs (Segoe UI 9 pt on today's Windows),
// at dpi.
FontHandle messageFont(UINT dpi);

// The program's icon (the first of its resources) in the size the system shows at dpi:
// small for the title bar, large for Alt+Tab.
IconHandle programIcon(UINT dpi, bool small);

// Sets font on window and every child of it.
void setFontOfTree(HWND window, HFONT font);

}  // namespace ravelin::win

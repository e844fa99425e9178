#pragma once
#include <windows.h>

#include <string>

namespace test {

// Draws window as it is on screen (PrintWindow; under wine a copy of the screen) and
// writes it to path as a PNG picture.
// Throws std::runtime_error when that fails.
void saveWindowPicture(HWND window, const std::string& path);

}  // namespace test

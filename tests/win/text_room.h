#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace test {

// The captions of window and its descendants (labels, buttons, check boxes, group boxes)
// that the system would draw cut off in their control's font and size: one line each,
// "text" (class, needed x height in a width x height control). Empty when all fit.
std::vector<std::string> textsWithoutRoom(HWND window);

}  // namespace test

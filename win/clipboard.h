#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace ravelin::win {

// The system's clipboard as Unicode text, in and out as UTF-8; owner is the window that
// holds it open meanwhile.

// The clipboard's text; none when it holds no text or another program keeps it open.
std::optional<std::string> clipboardText(HWND owner);
// Puts text on the clipboard in place of what it held; false when that failed.
bool setClipboardText(HWND owner, const std::string& text);

}  // namespace ravelin::win

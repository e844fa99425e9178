#pragma once
// Driving the program's windows by their messages, as a user's clicks and keys arrive.
#include <windows.h>

#include <commctrl.h>

#include <string>

namespace test {

// Runs the messages that are waiting, those that they post included (bounded).
inline void pumpMessages() {
  MSG msg;
  for (int i = 0; i < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// A left click at point (client coordinates). The release waits in the queue, so that a
// control that watches for a drag after the press finds it.
inline void click(HWND window, POINT point) {
  PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
  pumpMessages();
}

inline void pressKey(HWND window, WPARAM key) {
  SendMessageW(window, WM_KEYDOWN, key, 1);
  SendMessageW(window, WM_KEYUP, key, 1 | (3u << 30));
  pumpMessages();
}

inline std::wstring cellText(HWND list, int row, int column) {
  wchar_t text[512] = L"";
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 512;
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return text;
}

}  // namespace test

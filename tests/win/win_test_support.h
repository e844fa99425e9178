#pragma once
// Driving the program's windows by their messages, as a user's clicks and keys arrive.
#include <windows.h>

#include <commctrl.h>

#include <string>

namespace test {

inline void initCommonControls() {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                          ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
}

// Runs the messages that are waiting, those that they post included (bounded).
inline void pumpMessages() {
  MSG msg;
  for (int i = 0; i < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// A click of the left button at point (client coordinates of window). The release waits
// in the queue, so that a control that watches for a drag after the press finds it.
inline void click(HWND window, POINT point) {
  const LPARAM at = MAKELPARAM(point.x, point.y);
  PostMessageW(window, WM_LBUTTONUP, 0, at);
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
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

inline int itemCount(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

// The check box a row shows: 1 unchecked, 2 checked.
inline int checkBox(HWND list, int row) {
  return static_cast<int>(SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row),
                                       LVIS_STATEIMAGEMASK) >> 12);
}

}  // namespace test

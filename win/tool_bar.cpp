#include "win/tool_bar.h"

#include <commctrl.h>

#include "win/handles.h"

namespace ravelin::win {

ToolBar::ToolBar(HWND parent, int id, const std::vector<Button>& buttons) {
  bar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                         WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_TOP | CCS_NODIVIDER, 0, 0, 0,
                         0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         programInstance(), nullptr);
  SendMessageW(bar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(bar_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  std::vector<TBBUTTON> specs;
  for (const Button& button : buttons) {
    if (!specs.empty()) specs.push_back({0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0});
    TBBUTTON spec{};
    spec.iBitmap = button.picture;
    spec.idCommand = button.commandId;
    spec.fsState = TBSTATE_ENABLED;
    spec.fsStyle = BTNS_DROPDOWN | BTNS_AUTOSIZE;
    spec.iString = reinterpret_cast<INT_PTR>(button.caption.c_str());
    specs.push_back(spec);
  }
  SendMessageW(bar_, TB_ADDBUTTONSW, specs.size(), reinterpret_cast<LPARAM>(specs.data()));
}

RECT ToolBar::buttonRect(int commandId) const {
  RECT rect{};
  SendMessageW(bar_, TB_GETRECT, static_cast<WPARAM>(commandId), reinterpret_cast<LPARAM>(&rect));
  MapWindowPoints(bar_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

int ToolBar::layout(UINT dpi) {
  if (dpi != pictureDpi_) {
    // The standard set comes at 16 and 24 pixels: the larger from 120 DPI on. The pictures
    // of the old size go with their list.
    const int size = dpi >= 120 ? 24 : 16;
    const auto old = reinterpret_cast<HIMAGELIST>(SendMessageW(bar_, TB_SETIMAGELIST, 0, 0));
    if (old) ImageList_Destroy(old);
    SendMessageW(bar_, TB_SETBITMAPSIZE, 0, MAKELONG(size, size));
    SendMessageW(bar_, TB_LOADIMAGES, dpi >= 120 ? IDB_STD_LARGE_COLOR : IDB_STD_SMALL_COLOR,
                 reinterpret_cast<LPARAM>(HINST_COMMCTRL));
    pictureDpi_ = dpi;
  }
  SendMessageW(bar_, TB_AUTOSIZE, 0, 0);
  RECT rect{};
  GetWindowRect(bar_, &rect);
  return rect.bottom - rect.top;
}

}  // namespace ravelin::win

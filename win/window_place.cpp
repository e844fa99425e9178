#include "win/window_place.h"

#include <commctrl.h>

#include <algorithm>

#include "win/dpi.h"

namespace ravelin::win {

namespace {

RECT fittedToScreen(const app::WindowState::Geometry& place) {
  RECT rect{place.left, place.top, place.left + place.width, place.top + place.height};
  HMONITOR screen = MonitorFromRect(&rect, MONITOR_DEFAULTTONULL);
  const bool known = screen != nullptr;
  if (!known) screen = MonitorFromRect(&rect, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(screen, &info);
  const RECT& work = info.rcWork;
  const LONG width = std::min<LONG>(place.width, work.right - work.left);
  const LONG height = std::min<LONG>(place.height, work.bottom - work.top);
  // A place on a screen that is gone: the size alone, at the work area's corner.
  const LONG left = known ? std::clamp<LONG>(place.left, work.left, work.right - width) : work.left;
  const LONG top = known ? std::clamp<LONG>(place.top, work.top, work.bottom - height) : work.top;
  return {left, top, left + width, top + height};
}

}  // namespace

void readPlace(HWND frame, HWND list, app::WindowState& state) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(frame, &placement);
  // The normal place is in work-area coordinates for a window without WS_EX_TOOLWINDOW;
  // the screen's are what MonitorFromRect takes back.
  const RECT& normal = placement.rcNormalPosition;
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromWindow(frame, MONITOR_DEFAULTTOPRIMARY), &info);
  const LONG dx = info.rcWork.left - info.rcMonitor.left;
  const LONG dy = info.rcWork.top - info.rcMonitor.top;
  state.geometry = app::WindowState::Geometry{
      normal.left + dx, normal.top + dy, normal.right - normal.left, normal.bottom - normal.top};
  state.maximized = placement.showCmd == SW_SHOWMAXIMIZED || IsZoomed(frame);
  const UINT dpi = windowDpi(frame);
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  const auto columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  state.columnWidths.clear();
  for (int column = 0; column < columns; ++column) {
    const auto width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
    state.columnWidths.push_back(
        MulDiv(width, static_cast<int>(kDefaultDpi), static_cast<int>(dpi)));
  }
}

void restorePlace(HWND frame, HWND list, const app::WindowState& state) {
  if (state.geometry) {
    const RECT place = fittedToScreen(*state.geometry);
    // Moved first, so that the window takes the DPI of its screen before its size is set.
    SetWindowPos(frame, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (state.maximized) ShowWindow(frame, SW_MAXIMIZE);
  const UINT dpi = windowDpi(frame);
  for (size_t column = 0; column < state.columnWidths.size(); ++column)
    SendMessageW(list, LVM_SETCOLUMNWIDTH, column, scaled(state.columnWidths[column], dpi));
}

}  // namespace ravelin::win

#include "win/window_place.h"

namespace ravelin::win {

namespace {

desk::WindowPlace placeOf(const RECT& rect) {
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

desk::WindowPlace normalPlace(HWND window) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(window, &placement);
  // The normal place is in work-area coordinates for a window without WS_EX_TOOLWINDOW;
  // the screen's are what MonitorFromRect takes back.
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info);
  desk::WindowPlace place = placeOf(placement.rcNormalPosition);
  place.left += info.rcWork.left - info.rcMonitor.left;
  place.top += info.rcWork.top - info.rcMonitor.top;
  return place;
}

void placeFitted(HWND window, const desk::WindowPlace& kept) {
  RECT rect{kept.left, kept.top, kept.left + kept.width, kept.top + kept.height};
  HMONITOR screen = MonitorFromRect(&rect, MONITOR_DEFAULTTONULL);
  const bool known = screen != nullptr;
  if (!known) screen = MonitorFromRect(&rect, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(screen, &info);
  const desk::WindowPlace work = placeOf(info.rcWork);
  desk::WindowPlace place = kept;
  if (!known) {
    place.left = work.left;
    place.top = work.top;
  }
  place = desk::fitIntoScreen(place, work);
  // Moved first, so that the window takes the DPI of its screen before its size is set.
  SetWindowPos(window, nullptr, place.left, place.top, place.width, place.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void centreOver(HWND window, HWND owner) {
  RECT outer{}, own{};
  GetWindowRect(owner, &outer);
  GetWindowRect(window, &own);
  const int width = own.right - own.left, height = own.bottom - own.top;
  placeFitted(window, {(outer.left + outer.right - width) / 2,
                       (outer.top + outer.bottom - height) / 2, width, height});
}

}  // namespace ravelin::win

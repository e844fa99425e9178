#include "win/handles.h"

#include <system_error>

namespace ravelin::win {

HINSTANCE programInstance() {
  return GetModuleHandleW(nullptr);
}

WindowClass::WindowClass(const wchar_t* name, WNDPROC proc, UINT style) : name_(name) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = programInstance();
  // The first icon of the program's resources.
  wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  if (!RegisterClassExW(&wc))
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                            "RegisterClassEx");
}

WindowClass::~WindowClass() {
  UnregisterClassW(name_, programInstance());
}

}  // namespace ravelin::win

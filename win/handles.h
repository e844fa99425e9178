#pragma once
// Owners of the system's handles: each gives its handle back to the system when it goes.
#include <windows.h>

#include <utility>

namespace ravelin::win {

template <typename Handle, void (*Free)(Handle)>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle handle) : handle_(handle) {}
  ~Owned() { reset(); }
  Owned(Owned&& other) noexcept : handle_(other.release()) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  Handle release() { return std::exchange(handle_, nullptr); }
  void reset(Handle handle = nullptr) {
    if (handle_) Free(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

namespace detail {
inline void destroyWindow(HWND window) {
  DestroyWindow(window);
}
template <typename GdiObject>
void deleteGdiObject(GdiObject object) {
  DeleteObject(object);
}
inline void destroyMenu(HMENU menu) {
  DestroyMenu(menu);
}
inline void deleteDc(HDC dc) {
  DeleteDC(dc);
}
inline void destroyIcon(HICON icon) {
  DestroyIcon(icon);
}
inline void destroyAccelerators(HACCEL table) {
  DestroyAcceleratorTable(table);
}
inline void closeKernelObject(HANDLE object) {
  CloseHandle(object);
}
}  // namespace detail

using WindowHandle = Owned<HWND, detail::destroyWindow>;
using FontHandle = Owned<HFONT, detail::deleteGdiObject<HFONT>>;
using BitmapHandle = Owned<HBITMAP, detail::deleteGdiObject<HBITMAP>>;
using BrushHandle = Owned<HBRUSH, detail::deleteGdiObject<HBRUSH>>;
using MenuHandle = Owned<HMENU, detail::destroyMenu>;
using MemoryDcHandle = Owned<HDC, detail::deleteDc>;
using IconHandle = Owned<HICON, detail::destroyIcon>;
using AcceleratorHandle = Owned<HACCEL, detail::destroyAccelerators>;
using KernelHandle = Owned<HANDLE, detail::closeKernelObject>;

// A window class of this program, registered for as long as the object lives (the
// program's windows keep theirs in a static one: registered once, at first use).
class WindowClass {
 public:
  // Registers name with proc and the program's icon; throws std::system_error when the
  // system refuses.
  WindowClass(const wchar_t* name, WNDPROC proc, UINT style = CS_HREDRAW | CS_VREDRAW);
  ~WindowClass();
  WindowClass(const WindowClass&) = delete;
  WindowClass& operator=(const WindowClass&) = delete;

  const wchar_t* name() const { return name_; }

 private:
  const wchar_t* name_;
};

// The module this program's windows and resources belong to.
HINSTANCE programInstance();

// A window's object, stored with it when it is created (CreateWindowEx's last argument
// on WM_NCCREATE) and found again for each message; null before that.
template <typename Object>
Object* windowObject(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* object = static_cast<Object*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    return object;
  }
  return reinterpret_cast<Object*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace ravelin::win

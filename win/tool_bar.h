#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace ravelin::win {

// The main window's toolbar: buttons with a picture of the system's standard set and the
// caption below it, each split in two: the button runs its own command, the arrow beside
// it drops down a menu (TBN_DROPDOWN to the parent). It takes no keyboard focus, so that
// the keys stay with the list.
class ToolBar {
 public:
  struct Button {
    int commandId;
    int picture;  // STD_* of the common controls' standard bitmaps
    std::wstring caption;
  };

  ToolBar(HWND parent, int id, const std::vector<Button>& buttons);
  HWND window() const { return bar_; }
  // The button's rectangle in screen coordinates, where its drop-down menu opens.
  RECT buttonRect(int commandId) const;
  // Places the bar along the parent's top with pictures for dpi; returns its height.
  int layout(UINT dpi);

 private:
  HWND bar_;
  UINT pictureDpi_ = 0;
};

}  // namespace ravelin::win

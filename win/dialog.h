#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "win/dialog_template.h"
#include "win/handles.h"

namespace ravelin::win {

// A dialog of this program from an in-memory template: the system's dialog manager gives
// it the tab order, the mnemonics, Enter for the default button and Escape for IDCANCEL.
// A modal one runs its own loop until end(); a modeless one needs the message loop to
// hand it its keys (isProgramDialog tells which windows those are).
class Dialog {
 public:
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  HWND window() const { return window_; }
  HWND item(int id) const { return GetDlgItem(window_, id); }

  // Shows the dialog modally over owner until end(); returns end()'s result.
  INT_PTR runModal(HWND owner);
  // Creates the dialog modeless over owner, hidden; it lives until this object goes.
  void createModeless(HWND owner);

 protected:
  Dialog() = default;
  // The template the dialog is made from.
  virtual DialogTemplate layout() const = 0;
  // The controls exist: fill them.
  virtual void created() {}
  // A WM_COMMAND of a control (id, notification code).
  virtual void command(int id, int code) = 0;
  // Any other message; an answer ends its handling.
  virtual std::optional<INT_PTR> message(UINT, WPARAM, LPARAM) { return std::nullopt; }
  // Ends a modal dialog with result, or hides a modeless one.
  void end(INT_PTR result);
  // Gives the control the focus as the dialog manager does (a button becomes the default).
  void focusItem(int id);
  void setItemText(int id, const std::string& text);
  std::string itemText(int id) const;

  // The dialog's font in bold, sizePercent of its size.
  FontHandle boldFont(int sizePercent = 100) const;
  // A rectangle in dialog units in the dialog's pixels.
  RECT pixels(RECT units) const;
  // Makes the control as high as its text broken into lines at its width; the controls
  // below it and the dialog's bottom move by as much.
  void growToText(int id);
  // Moves the control to a rectangle in pixels.
  void placeItem(int id, RECT rect);
  // Gives the dialog a client area of that size in pixels; its top left stays.
  void fitClient(int width, int height);
  // Puts the dialog in the middle of its owner (of the screen without one), fitted to the
  // screen.
  void centreOverOwner();
  // Shows the dialog in front of the others with the control's focus.
  void showInFront(int focusId);
  // Takes the close box from the title bar: the window of a long command is closed by the
  // command; Alt+F4 and Escape still come as IDCANCEL.
  void dropCloseBox();

 private:
  static INT_PTR CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  bool modal_ = false;
};

// Whether the window is one of this program's dialogs (their keys go through
// IsDialogMessage).
bool isProgramDialog(HWND window);

}  // namespace ravelin::win

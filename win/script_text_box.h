#pragma once
#include <windows.h>

#include <string>

#include "win/handles.h"

namespace ravelin::win {

// The script's fixed font at dpi, on screen and on paper.
FontHandle scriptFont(UINT dpi);

// The script's text: a plain-text RichEdit control in a fixed font, without word wrap,
// and beside it a gutter with the line numbers, which follows the text as it scrolls.
class ScriptTextBox {
 public:
  ScriptTextBox(HWND parent, int id);
  ScriptTextBox(const ScriptTextBox&) = delete;
  ScriptTextBox& operator=(const ScriptTextBox&) = delete;

  HWND window() const { return edit_; }
  HWND gutter() const { return gutter_; }

  // The font for dpi; the gutter widens with the number of lines.
  void applyDpi(UINT dpi);
  // Places the gutter and the text in the rectangle (parent's client coordinates).
  void place(const RECT& area);
  // A notification of the text (WM_COMMAND's code): the gutter is drawn again.
  void changed(int code);

  // The text, lines separated by "\n".
  std::string text() const;
  void setText(const std::string& text);
  // Appends text as the user's typing (undoable, modified).
  void append(const std::string& text);
  // Puts the caret on line (from 0) at a byte offset into the line.
  void setCaret(size_t line, size_t column);
  // Selects line (from 0) and scrolls it into view.
  void selectLine(size_t line);
  bool modified() const;
  void setModified(bool modified);
  int lineCount() const;

 private:
  static LRESULT CALLBACK gutterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void paintGutter(HDC dc, const RECT& area) const;
  int gutterWidth() const;
  // The digits of the last line's number.
  int lineDigits() const;

  HWND edit_ = nullptr;
  HWND gutter_ = nullptr;
  UINT dpi_ = 96;
  RECT area_{};
  int digits_ = 0;
  FontHandle font_;
};

}  // namespace ravelin::win

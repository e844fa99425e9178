#pragma once
// What the desktop presenters ask of the front end's windows: small interfaces that a
// toolkit's widgets implement. They hold no logic; the presenters decide.
#include <cstddef>
#include <string>
#include <vector>

namespace ravelin::script {
class ScriptDocument;
}

namespace ravelin::desk {

// The server list's view.
class ListView {
 public:
  virtual ~ListView() = default;
  // The selected rows, ascending.
  virtual std::vector<size_t> selectedRows() const = 0;
  // Shows the list's own selection as the view's selection and current row.
  virtual void showListSelection() = 0;
  virtual int columnCount() const = 0;
  virtual int columnWidth(int column) const = 0;
  virtual void setColumnWidth(int column, int width) = 0;
  // The header marks the list's sort column and direction.
  virtual void showSortIndicator() = 0;
};

// The system's clipboard, as text (UTF-8).
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual std::string text() const = 0;
  virtual void setText(const std::string& text) = 0;
};

// The script editor's window.
class ScriptEditor {
 public:
  virtual ~ScriptEditor() = default;
  virtual void open() = 0;
  virtual void openFile(const std::string& path) = 0;
  virtual bool isOpen() const = 0;
  // Asks about unsaved changes; false: the user keeps the editor open.
  virtual bool mayClose() = 0;
  // The program closes: the editor goes without asking again.
  virtual void closeAsked() = 0;
  virtual script::ScriptDocument& document() = 0;
};

// A window's normal (not maximized) place and size, in pixels.
struct WindowPlace {
  int left = 0, top = 0, width = 0, height = 0;
};

// A place moved and shrunk into the room a screen offers, so that all of the window,
// status bar included, can be reached: a size kept on a larger screen or at a smaller
// scale is fitted to this one.
WindowPlace fitIntoScreen(WindowPlace place, const WindowPlace& available);

}  // namespace ravelin::desk

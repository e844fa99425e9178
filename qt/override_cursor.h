#pragma once
#include <QApplication>

namespace ravelin::qt {

// A cursor for the whole application while it lives: the wait cursor of a command that
// reads a file, the arrow over a dialog that waits for the user within such a command.
class OverrideCursor {
 public:
  explicit OverrideCursor(Qt::CursorShape shape) { QApplication::setOverrideCursor(shape); }
  ~OverrideCursor() { QApplication::restoreOverrideCursor(); }
  OverrideCursor(const OverrideCursor&) = delete;
  OverrideCursor& operator=(const OverrideCursor&) = delete;
};

}  // namespace ravelin::qt

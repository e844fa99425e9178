#pragma once
#include <QWidget>

namespace ravelin::qt {

// The window a new box belongs to: the modal window that holds the input, else a visible
// window that stays on top (the script editor, the filter window, a progress window; the
// active one first), else the main window. Which window is active follows the window
// manager's focus events, late: just after a window went away it may still be named, and
// a box made transient for a window on its way out is never mapped, while, modal, it
// takes all input. So it decides only between visible windows that stay on top.
QWidget* frontWindow(QWidget* mainWindow);

// Before a box is shown: while any window of the program stays on top, the box does too,
// since a modal box behind such a window leaves the program looking frozen.
void keepAboveOnTopWindows(QWidget& box);

}  // namespace ravelin::qt

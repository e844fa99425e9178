#pragma once
#include <QHBoxLayout>
#include <QWidget>
#include <initializer_list>

namespace ravelin::qt {

enum class ButtonAlign { Centre, Right };

// A row of buttons, side by side in the given order: centred in the window, or at its
// right edge as in the dialogs with OK and Cancel.
QHBoxLayout* buttonRow(std::initializer_list<QWidget*> buttons, ButtonAlign align);

// Moves window so that its centre lies on the centre of owner; nothing without an owner.
void centreOver(QWidget& window, const QWidget* owner);

}  // namespace ravelin::qt

#include "qt/dialog_layout.h"

namespace ravelin::qt {

QHBoxLayout* buttonRow(std::initializer_list<QWidget*> buttons, ButtonAlign align) {
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  for (QWidget* button : buttons) row->addWidget(button);
  if (align == ButtonAlign::Centre) row->addStretch(1);
  return row;
}

void centreOver(QWidget& window, const QWidget* owner) {
  if (owner) window.move(owner->geometry().center() - window.rect().center());
}

}  // namespace ravelin::qt

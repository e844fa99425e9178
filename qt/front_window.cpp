#include "qt/front_window.h"

#include <QApplication>

namespace ravelin::qt {

namespace {

bool staysOnTop(const QWidget* w) {
  return w->isVisible() && w->isWindow() && w->windowType() != Qt::Popup &&
         w->windowType() != Qt::ToolTip && w->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

}  // namespace

QWidget* frontWindow(QWidget* mainWindow) {
  if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) return modal;
  if (QWidget* active = QApplication::activeWindow(); active && staysOnTop(active)) return active;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (staysOnTop(w)) return w;
  return mainWindow;
}

void keepAboveOnTopWindows(QWidget& box) {
  bool onTop = false;
  for (const QWidget* w : QApplication::topLevelWidgets())
    onTop = onTop || (w != &box && staysOnTop(w));
  if (onTop != box.windowFlags().testFlag(Qt::WindowStaysOnTopHint))
    box.setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
}

}  // namespace ravelin::qt

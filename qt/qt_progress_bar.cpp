#include "qt/qt_progress_bar.h"

namespace ravelin::qt {

void QtProgressBar::changed() {
  if (!bar_) return;
  // A value outside the range is ignored by QProgressBar; the range is set first.
  if (bar_->minimum() != min() || bar_->maximum() != max()) bar_->setRange(min(), max());
  if (bar_->value() != position()) bar_->setValue(position());
  if (followVisibility_ && bar_->isHidden() == visible()) bar_->setVisible(visible());
}

}  // namespace ravelin::qt

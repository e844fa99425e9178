#include "qt/update_window.h"

#include <QVBoxLayout>

#include "qt/field_text.h"
#include "qt/window_metrics.h"
#include "runtime/translate.h"

namespace ravelin::qt {

UpdateWindow::UpdateWindow(QWidget* parent)
    : ProgressWindow(parent, kUpdateCaption), urls_(bar(), false) {
  for (int slot = 0; slot < kSlots; ++slot) {
    auto* frame = new QGroupBox(detailsBox());
    auto* label = new QLabel(frame);
    auto* bar = new QProgressBar(frame);
    bar->setTextVisible(false);
    bar->setFixedHeight(8);
    auto* rows = new QVBoxLayout(frame);
    rows->setContentsMargins(6, 0, 6, 3);
    rows->setSpacing(1);
    rows->addWidget(label);
    rows->addWidget(bar);
    detailsLayout()->addWidget(frame);
    frames_[index(slot)] = frame;
    labels_[index(slot)] = label;
    slotBars_[index(slot)] = std::make_unique<QtProgressBar>(bar, false);
  }
  resetSlots();
  drawDetails();
}

void UpdateWindow::show() {
  resetSlots();
  showCentred();
}

void UpdateWindow::resetSlots() {
  for (int slot = 0; slot < kSlots; ++slot) showIdleSlot(slot);
}

void UpdateWindow::setHeadline(const std::string& text) {
  headlineLabel()->setText(fieldText(text));
}

void UpdateWindow::setDescription(const std::string& text) {
  descriptionLabel()->setText(fieldText(text));
}

void UpdateWindow::setSlotCaption(int slot, const std::string& text) {
  frames_[index(slot)]->setTitle(fieldText(text));
}

void UpdateWindow::setSlotLabel(int slot, const std::string& text) {
  labels_[index(slot)]->setText(fieldText(text));
}

}  // namespace ravelin::qt

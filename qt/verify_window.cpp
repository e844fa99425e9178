#include "qt/verify_window.h"
#include "qt/dialog_layout.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "qt/field_text.h"
#include "qt/ui_text.h"
#include "qt/window_metrics.h"
#include "runtime/translate.h"

namespace ravelin::qt {

namespace {

QColor markColour(verify::SlotMark mark, const QPalette& palette) {
  switch (mark) {
    case verify::SlotMark::Ok:
      return QColor::fromRgb(kOkRgb);
    case verify::SlotMark::Failed:
      return QColor::fromRgb(kFailedRgb);
    case verify::SlotMark::Neutral:
      break;
  }
  return palette.color(QPalette::Button);
}

}  // namespace

VerifyWindow::VerifyWindow(QWidget* parent)
    : ProgressWindow(parent, verify::kVerifyCaption), bar_(bar(), false) {
  for (int slot = 0; slot < verify::kVerifySlotCount; ++slot) {
    auto* line = new QLabel(detailsBox());
    line->setAutoFillBackground(true);
    line->setContentsMargins(3, 0, 3, 0);
    detailsLayout()->addWidget(line);
    lines_[index(slot)] = line;
  }
  resetLines();
  drawDetails();
}

void VerifyWindow::show() {
  resetLines();
  showCentred();
}

void VerifyWindow::resetLines() {
  for (int slot = 0; slot < verify::kVerifySlotCount; ++slot) {
    setSlotMark(slot, verify::SlotMark::Neutral);
    setSlotCaption(slot, _(verify::kThreadNotUsed));
  }
}

void VerifyWindow::setHeadline(const std::string& text) {
  headlineLabel()->setText(fieldText(text));
}

void VerifyWindow::setDescription(const std::string& text) {
  descriptionLabel()->setText(fieldText(text));
}

void VerifyWindow::setSlotMark(int slot, verify::SlotMark mark) {
  QLabel* line = lines_[index(slot)];
  QPalette palette = line->palette();
  palette.setColor(QPalette::Window, markColour(mark, palette));
  // The verdict colours are dark: their text is white.
  palette.setColor(QPalette::WindowText, mark == verify::SlotMark::Neutral
                                             ? QPalette().color(QPalette::WindowText)
                                             : QColor(Qt::white));
  line->setPalette(palette);
}

void VerifyWindow::setSlotCaption(int slot, const std::string& text) {
  lines_[index(slot)]->setText(fieldText(text));
}

VerifyWarningWindow::VerifyWarningWindow(QWidget* parent) : QDialog(parent) {
  setWindowTitle(uiText(verify::kVerifyWarningCaption));
  setWindowModality(Qt::ApplicationModal);
  text_ = new QLabel(this);
  box_ = new QCheckBox(uiText(verify::kVerifyWarningCheckBox), this);
  proceed_ = new QPushButton(uiText(kProceedCaption), this);
  proceed_->setDefault(true);
  cancel_ = new QPushButton(uiText(kCancelCaption), this);
  cancel_->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(box_);
  buttons->addStretch(1);
  buttons->addWidget(proceed_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
  layout->addSpacing(8);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(proceed_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

bool VerifyWarningWindow::showModal(const std::string& text, bool& checked) {
  // The text's lines end in CR LF; a label breaks at LF.
  QString shown = fieldText(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text_->setText(shown);
  box_->setChecked(checked);
  adjustSize();
  centreOver(*this, parentWidget());
  const bool proceed = exec() == QDialog::Accepted;
  checked = box_->isChecked();
  return proceed;
}

}  // namespace ravelin::qt

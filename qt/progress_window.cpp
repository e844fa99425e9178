#include "qt/progress_window.h"
#include "qt/dialog_layout.h"

#include <QCloseEvent>
#include <QHBoxLayout>

#include "qt/ui_text.h"
#include "qt/window_metrics.h"

namespace ravelin::qt {

ProgressWindow::ProgressWindow(QWidget* parent, const char* caption)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint) {
  setWindowTitle(uiText(caption));
  headline_ = new QLabel(this);
  QFont bold = headline_->font();
  bold.setBold(true);
  headline_->setFont(bold);
  description_ = new QLabel(this);
  bar_ = new QProgressBar(this);
  bar_->setTextVisible(false);
  bar_->setRange(0, 100);
  bar_->setValue(0);
  cancel_ = new QPushButton(uiText(kCancelCaption), this);
  cancel_->setAutoDefault(false);
  details_ = new QPushButton(this);
  details_->setDefault(true);
  detailsBox_ = new QGroupBox(uiText(kDetailsGroupCaption), this);
  detailsLayout_ = new QVBoxLayout(detailsBox_);
  detailsLayout_->setSpacing(kDetailsSpacing);
  detailsLayout_->setContentsMargins(6, 4, 6, 4);

  auto* buttons = buttonRow({cancel_, details_}, ButtonAlign::Right);
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(4);
  layout->addWidget(headline_);
  layout->addWidget(description_);
  layout->addWidget(bar_);
  layout->addLayout(buttons);
  layout->addWidget(detailsBox_);

  connect(cancel_, &QPushButton::clicked, this, [this] { progressView().cancel(); });
  connect(details_, &QPushButton::clicked, this, [this] { progressView().toggleDetails(); });
}

void ProgressWindow::showCentred() {
  drawDetails();
  centreOver(*this, parentWidget());
  QDialog::show();
  raise();
  activateWindow();
}

void ProgressWindow::enableMainWindow(bool enabled) {
  if (onMainWindowEnabled) onMainWindowEnabled(enabled);
}

void ProgressWindow::drawDetails() {
  const bool shown = progressView().detailsShown();
  details_->setText(uiText(shown ? kDetailsShownCaption : kDetailsHiddenCaption));
  const int slotCount = progressView().slotCount();
  for (int row = 0; row < detailsLayout_->count(); ++row)
    detailsLayout_->itemAt(row)->widget()->setVisible(row < slotCount);
  detailsBox_->setVisible(shown);
  // The layout leaves out what is hidden, so its height is that of what is shown.
  detailsBox_->updateGeometry();
  layout()->activate();
  setFixedSize(kProgressWindowWidth, layout()->totalSizeHint().height());
}

void ProgressWindow::reject() {
  progressView().cancel();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
  // The run closes the window when it has ended; until then a close is a Cancel.
  event->ignore();
  progressView().cancel();
}

}  // namespace ravelin::qt

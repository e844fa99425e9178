#include "qt/version_check_window.h"
#include "qt/dialog_layout.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "qt/field_text.h"
#include "qt/ui_text.h"
#include "qt/window_metrics.h"

namespace ravelin::qt {

VersionCheckWindow::VersionCheckWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint) {
  setWindowTitle(uiText(kVersionCheckCaption));
  label_ = new QLabel(uiText("Info"), this);
  bar_ = new QProgressBar(this);
  bar_->setRange(0, 100);
  bar_->setTextVisible(false);
  cancel_ = new QPushButton(uiText(kCancelCaption), this);
  cancel_->setDefault(true);

  auto* buttons = buttonRow({cancel_}, ButtonAlign::Centre);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label_);
  layout->addWidget(bar_);
  layout->addSpacing(4);
  layout->addLayout(buttons);
  setFixedWidth(kVersionCheckWidth);

  connect(cancel_, &QPushButton::clicked, this, [this] { cancel(); });
}

void VersionCheckWindow::show() {
  label_->setText(uiText("Info"));
  bar_->setValue(0);
  adjustSize();
  centreOver(*this, parentWidget());
  QDialog::show();
  raise();
}

void VersionCheckWindow::setHeadline(const std::string& text) {
  label_->setText(fieldText(text));
}

}  // namespace ravelin::qt

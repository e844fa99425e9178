#include "qt/transfer_window.h"
#include "qt/dialog_layout.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "qt/field_text.h"
#include "qt/ui_text.h"
#include "qt/window_metrics.h"
#include "runtime/translate.h"

namespace ravelin::qt {

TransferWindow::TransferWindow(runtime::ProgressBar& loadSaveBar, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      loadSaveBar_(loadSaveBar) {
  setWindowTitle(uiText(client::kTransferCaption));
  status_ = new QLabel(this);
  QFont bold = status_->font();
  bold.setBold(true);
  status_->setFont(bold);
  status_->setFixedWidth(kTransferWindowWidth);
  route_ = new QLabel(this);
  // Long routes (a path) wrap; the window grows to their height.
  route_->setWordWrap(true);
  route_->setFixedWidth(kTransferWindowWidth);
  cancel_ = new QPushButton(uiText(kCancelCaption), this);
  cancel_->setDefault(true);
  auto* buttons = buttonRow({cancel_}, ButtonAlign::Centre);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(status_);
  layout->addWidget(route_);
  layout->addSpacing(6);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(cancel_, &QPushButton::clicked, this, [this] { cancel(); });
}

void TransferWindow::show() {
  adjustSize();
  centreOver(*this, parentWidget());
  QDialog::show();
  raise();
  activateWindow();
}

void TransferWindow::setMainWindowEnabled(bool enabled) {
  if (onMainWindowEnabled) onMainWindowEnabled(enabled);
}

void TransferWindow::setHeadline(const std::string& text) {
  status_->setText(fieldText(text));
}

void TransferWindow::setDescription(const std::string& text) {
  route_->setText(uiText(runtime::fillIn(_("Transfer to %s"), {text})));
}

void TransferWindow::closeEvent(QCloseEvent* event) {
  // The hand-over closes the window when it has ended; until then a close is a Cancel.
  event->ignore();
  cancel();
}

}  // namespace ravelin::qt

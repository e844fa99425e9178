#include "qt/countdown_dialog.h"
#include "qt/dialog_layout.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "qt/ui_text.h"
#include "qt/window_metrics.h"

namespace ravelin::qt {

CountdownDialog::CountdownDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint) {
  setWindowTitle(uiText(kCountdownCaption));
  setWindowModality(Qt::ApplicationModal);
  seconds_ = new QLabel(QStringLiteral("5"), this);
  QPalette red = seconds_->palette();
  red.setColor(QPalette::WindowText, QColor(0xFF, 0, 0));
  seconds_->setPalette(red);
  QFont bold = seconds_->font();
  bold.setBold(true);
  seconds_->setFont(bold);
  cancel_ = new QPushButton(uiText(kCancelCaption), this);
  cancel_->setDefault(true);

  auto* line = new QHBoxLayout;
  line->addStretch(1);
  line->addWidget(new QLabel(uiText(kCountdownLead).trimmed(), this));
  line->addWidget(seconds_);
  line->addWidget(new QLabel(uiText(kCountdownTail), this));
  line->addStretch(1);
  auto* buttons = buttonRow({cancel_}, ButtonAlign::Centre);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(line);
  layout->addSpacing(6);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
}

bool CountdownDialog::run(runtime::AppContext& ctx) {
  cancelled_ = false;
  adjustSize();
  centreOver(*this, parentWidget());
  show();
  raise();
  activateWindow();
  // The taskbar entry asks for attention once: the program is about to close by itself.
  QApplication::alert(parentWidget() ? parentWidget()->window() : this, kCountdownAlertMs);
  return client::runCloseCountdown(*this, ctx);
}

void CountdownDialog::showSeconds(int seconds) {
  seconds_->setText(QString::number(seconds));
}

void CountdownDialog::closed() {
  hide();
}

void CountdownDialog::reject() {
  // Cancel, Escape: the countdown sees it at its next look and ends.
  cancelled_ = true;
}

}  // namespace ravelin::qt

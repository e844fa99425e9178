#include "qt/about_box.h"
#include "qt/dialog_layout.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "qt/ui_text.h"
#include "qt/window_metrics.h"

namespace ravelin::qt {

LinkLabel::LinkLabel(const QString& address, QWidget* parent) : QLabel(address, parent) {
  setCursor(Qt::PointingHandCursor);
  setToolTip(address);
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  setColour(kLinkRgb);
}

void LinkLabel::setColour(unsigned rgb) {
  QPalette palette = this->palette();
  palette.setColor(QPalette::WindowText, QColor::fromRgb(static_cast<QRgb>(rgb)));
  setPalette(palette);
}

void LinkLabel::enterEvent(QEnterEvent* event) {
  setColour(kLinkHoverRgb);
  QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
  setColour(kLinkRgb);
  QLabel::leaveEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  QDesktopServices::openUrl(QUrl(text()));
  QLabel::mouseReleaseEvent(event);
}

AboutBox::AboutBox(const AboutFacts& facts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle(QString::fromStdString(desk::aboutCaption(facts)));
  setModal(true);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(16);
  const std::vector<desk::AboutLine> lines = desk::aboutLines(facts);
  for (size_t i = 0; i < lines.size(); ++i) {
    const QString value = QString::fromStdString(lines[i].value);
    QLabel* shown = nullptr;
    if (i == 0) {
      shown = new QLabel(value, this);
      QFont title = shown->font();
      title.setBold(true);
      title.setPointSizeF(title.pointSizeF() * 1.4);
      shown->setFont(title);
    } else if (lines[i].link) {
      shown = link_ = new LinkLabel(value, this);
    } else {
      shown = new QLabel(value, this);
      shown->setWordWrap(true);
    }
    auto* name = new QLabel(QString::fromStdString(lines[i].caption), this);
    grid->addWidget(name, static_cast<int>(i), 0);
    grid->addWidget(shown, static_cast<int>(i), 1);
    rows_.emplace_back(name, shown);
  }
  grid->setColumnStretch(1, 1);

  auto* close = new QPushButton(uiText(kCloseCaption), this);
  close->setDefault(true);
  auto* buttons = buttonRow({close}, ButtonAlign::Centre);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addSpacing(12);
  layout->addLayout(buttons);
  layout->setContentsMargins(24, 18, 24, 14);
  setMinimumWidth(kAboutBoxMinWidth);

  connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

QStringList AboutBox::lines() const {
  QStringList lines;
  for (const auto& [name, value] : rows_) lines << name->text() + QLatin1Char(' ') + value->text();
  return lines;
}

}  // namespace ravelin::qt

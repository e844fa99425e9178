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

// The build names them (CMake cache variables RAVELIN_LICENSE and RAVELIN_HOMEPAGE).
#ifndef RAVELIN_LICENSE
#define RAVELIN_LICENSE ""
#endif
#ifndef RAVELIN_HOMEPAGE
#define RAVELIN_HOMEPAGE ""
#endif

namespace ravelin::qt {

AboutFacts builtAboutFacts() {
  return {RAVELIN_VERSION, RAVELIN_LICENSE, RAVELIN_HOMEPAGE};
}

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
  const QString version = QString::fromStdString(facts.version);
  setWindowTitle(uiText(kAboutBoxCaption) + version);
  setModal(true);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(16);
  const auto add = [&](const char* caption, QLabel* value) {
    auto* name = new QLabel(uiText(caption), this);
    const int row = grid->rowCount();
    grid->addWidget(name, row, 0);
    grid->addWidget(value, row, 1);
    rows_.emplace_back(name, value);
  };
  QLabel* product = new QLabel(QStringLiteral("Ravelin"), this);
  QFont title = product->font();
  title.setBold(true);
  title.setPointSizeF(title.pointSizeF() * 1.4);
  product->setFont(title);
  add(N_("Product Name:"), product);
  add(N_("Version:"), new QLabel(QStringLiteral("v") + version, this));
  if (!facts.licence.empty()) {
    auto* licence = new QLabel(QString::fromStdString(facts.licence), this);
    licence->setWordWrap(true);
    add(N_("Licence:"), licence);
  }
  if (!facts.homepage.empty()) {
    link_ = new LinkLabel(QString::fromStdString(facts.homepage), this);
    add(N_("Web site:"), link_);
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

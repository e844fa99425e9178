#include "qt/filter_window.h"
#include "qt/dialog_layout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "qt/ui_text.h"
#include "qt/window_metrics.h"
#include "serverlist/server_filter.h"

namespace ravelin::qt {

using namespace serverlist;

FilterWindow::FilterWindow(ServerList& list, runtime::AppContext& ctx, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      presenter_(list, ctx, *this) {
  setWindowTitle(uiText(kFilterWindowCaption));
  setModal(false);

  property_ = new QComboBox(this);
  for (const FilterProperty& p : kFilterProperties) property_->addItem(uiText(p.windowItem));
  operator_ = new QComboBox(this);
  for (const FilterOperator& o : kFilterOperators) operator_->addItem(uiText(o.windowItem));
  value_ = new QLineEdit(this);
  filter_ = new QPushButton(uiText(kFilterCaption), this);
  cancel_ = new QPushButton(uiText(kCancelCaption), this);
  filter_->setDefault(true);
  filter_->setAutoDefault(true);
  cancel_->setAutoDefault(false);

  auto* layout = new QVBoxLayout(this);
  const auto addRow = [&](const char* caption, QWidget* box) {
    auto* label = new QLabel(uiText(caption), this);
    label->setBuddy(box);
    layout->addWidget(label);
    layout->addWidget(box);
  };
  addRow(kFilterPropertyLabel, property_);
  addRow(kFilterOperatorLabel, operator_);
  addRow(kFilterValueLabel, value_);
  layout->addSpacing(8);
  auto* buttons = buttonRow({filter_, cancel_}, ButtonAlign::Right);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  // Wide enough for a wildcard pattern or an address with room to spare.
  value_->setMinimumWidth(240);

  connect(filter_, &QPushButton::clicked, this, [this] { applyFilter(); });
  // Cancel and Escape close the window (QDialog's reject hides it).
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void FilterWindow::showChoices(int property, int op, const std::string& value) {
  property_->setCurrentIndex(property);
  operator_->setCurrentIndex(op);
  value_->setText(QString::fromStdString(value));
  property_->setFocus(Qt::OtherFocusReason);
}

void FilterWindow::showWindow() {
  show();
  raise();
  activateWindow();
}

void FilterWindow::open() {
  presenter_.open();
}

void FilterWindow::applyFilter() {
  presenter_.filter();
}

}  // namespace ravelin::qt

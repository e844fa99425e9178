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
      list_(list),
      ctx_(ctx) {
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

void FilterWindow::resetChoices() {
  property_->setCurrentIndex(0);
  operator_->setCurrentIndex(0);
  value_->clear();
  property_->setFocus(Qt::OtherFocusReason);
}

void FilterWindow::open() {
  resetChoices();
  show();
  raise();
  activateWindow();
  property_->setFocus(Qt::OtherFocusReason);
}

void FilterWindow::applyFilter() {
  const bool oneMore = filterFromWindow(list_, property_->currentIndex(), operator_->currentIndex(),
                                        value_->text().toStdString(), ctx_);
  if (oneMore) {
    resetChoices();
  } else {
    hide();
  }
}

}  // namespace ravelin::qt

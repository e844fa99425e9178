#pragma once
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "desk/filter_presenter.h"
#include "runtime/app_context.h"
#include "serverlist/server_list.h"

namespace ravelin::qt {

// "Ravelin: Filter servers": a window on top of the others that does not block the main
// window. It applies one filter to the checked servers per click on Filter and asks
// whether to set one more.
class FilterWindow : public QDialog, public desk::FilterView {
 public:
  FilterWindow(serverlist::ServerList& list, runtime::AppContext& ctx, QWidget* parent = nullptr);

  // Shows the window with its choices reset (property "IP", operator "greater than", an
  // empty value, the focus on the property list), or brings it forward reset.
  void open() override;
  // The Filter button.
  void applyFilter();

  QComboBox* propertyBox() const { return property_; }
  QComboBox* operatorBox() const { return operator_; }
  QLineEdit* valueBox() const { return value_; }
  QPushButton* filterButton() const { return filter_; }
  QPushButton* cancelButton() const { return cancel_; }

  // desk::FilterView.
  int chosenProperty() const override { return property_->currentIndex(); }
  int chosenOperator() const override { return operator_->currentIndex(); }
  std::string value() const override { return value_->text().toStdString(); }
  void showChoices(int property, int op, const std::string& value) override;
  void showWindow() override;
  void hideWindow() override { hide(); }

 private:
  desk::FilterPresenter presenter_;
  QComboBox* property_;
  QComboBox* operator_;
  QLineEdit* value_;
  QPushButton* filter_;
  QPushButton* cancel_;
};

}  // namespace ravelin::qt

#pragma once
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "runtime/app_context.h"
#include "serverlist/server_list.h"

namespace ravelin::qt {

// "Ravelin: Filter servers": a window on top of the others that does not block the main
// window. It applies one filter to the checked servers per click on Filter and asks
// whether to set one more.
class FilterWindow : public QDialog {
 public:
  FilterWindow(serverlist::ServerList& list, runtime::AppContext& ctx, QWidget* parent = nullptr);

  // Shows the window with its choices reset (property "IP", operator "greater than", an
  // empty value, the focus on the property list), or brings it forward reset.
  void open();
  // The Filter button.
  void applyFilter();

  QComboBox* propertyBox() const { return property_; }
  QComboBox* operatorBox() const { return operator_; }
  QLineEdit* valueBox() const { return value_; }
  QPushButton* filterButton() const { return filter_; }
  QPushButton* cancelButton() const { return cancel_; }

 private:
  void resetChoices();

  serverlist::ServerList& list_;
  runtime::AppContext& ctx_;
  QComboBox* property_;
  QComboBox* operator_;
  QLineEdit* value_;
  QPushButton* filter_;
  QPushButton* cancel_;
};

}  // namespace ravelin::qt

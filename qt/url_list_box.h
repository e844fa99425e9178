#pragma once
#include <QGroupBox>
#include <QTreeWidget>
#include <vector>

#include "runtime/app_context.h"
#include "runtime/url_source.h"

namespace ravelin::qt {

class UrlDialog;

// The URL list of the options dialog: rows of kind name and location, edited through the
// popup menu (add, delete, edit), a double click, the Delete key, dragging a row to
// another place, and a click on a column header, which sorts. The rows live only here
// until the options dialog's OK takes them.
class UrlListBox : public QGroupBox {
 public:
  UrlListBox(runtime::AppContext& ctx, QWidget* parent = nullptr);

  void setRows(const std::vector<runtime::UrlSource>& rows);
  // The rows in their displayed order.
  std::vector<runtime::UrlSource> rows() const;
  // The next header click sorts ascending again.
  void resetSort() { ascendingNext_ = true; }

  void addUrl();
  void editUrl();
  // Asks, then deletes the selected row.
  void deleteUrl();
  void sortBy(int column);
  // Moves the selected row in front of the row at index before (to the end when there is
  // none there).
  void moveSelected(int before);

  QTreeWidget* tree() const { return tree_; }
  UrlDialog* urlDialog() const { return dialog_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int selectedRow() const;
  void setRow(QTreeWidgetItem* item, const runtime::UrlSource& source);
  void showPopup(const QPoint& at);

  runtime::AppContext& ctx_;
  QTreeWidget* tree_;
  UrlDialog* dialog_;
  bool ascendingNext_ = true;
};

}  // namespace ravelin::qt

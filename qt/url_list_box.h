#pragma once
#include <QGroupBox>
#include <QTreeWidget>
#include <vector>

#include "desk/url_list_presenter.h"

namespace ravelin::qt {

class UrlDialog;

// The URL list of the options dialog: rows of kind name and location, edited through the
// popup menu (add, delete, edit), a double click, the Delete key, dragging a row to
// another place, and a click on a column header, which sorts. The rows live only here
// until the options dialog's OK takes them.
class UrlListBox : public QGroupBox, private desk::UrlListView {
 public:
  UrlListBox(runtime::AppContext& ctx, QWidget* parent = nullptr);

  // New rows; the next header click sorts ascending again.
  void setRows(const std::vector<runtime::UrlSource>& rows) { presenter_.setRows(rows); }
  // The rows in their displayed order.
  std::vector<runtime::UrlSource> rows() const { return presenter_.rows(); }

  void addUrl() { presenter_.add(); }
  void editUrl() { presenter_.edit(); }
  // Asks, then deletes the selected row.
  void deleteUrl() { presenter_.remove(); }
  void sortBy(int column) { presenter_.sortBy(column); }
  // Moves the selected row in front of the row at index before (to the end when there is
  // none there).
  void moveSelected(int before) {
    presenter_.moveSelected(before < 0 ? std::nullopt
                                       : std::optional<size_t>(static_cast<size_t>(before)));
  }

  QTreeWidget* tree() const { return tree_; }
  UrlDialog* urlDialog() const { return dialog_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showRows(const std::vector<runtime::UrlSource>& rows,
                std::optional<size_t> selected) override;
  std::optional<size_t> selectedRow() const override;
  std::optional<runtime::UrlSource> askUrl(const runtime::UrlSource* current) override;
  void showPopup(const QPoint& at);

  QTreeWidget* tree_;
  UrlDialog* dialog_;
  desk::UrlListPresenter presenter_;
};

}  // namespace ravelin::qt

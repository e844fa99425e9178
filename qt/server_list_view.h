#pragma once
#include <QTreeView>
#include <functional>
#include <optional>
#include <vector>

#include "desk/views.h"
#include "qt/server_list_model.h"

namespace ravelin::qt {

// The list view of the main window: one row per server, whole-row selection of one row or
// several (Shift, Ctrl, Ctrl+A) whose first row is the list's selected row, sorting by the
// core's column-click rule with the header's arrow, the Delete, Space and Enter keys,
// double click, drag and drop of a row within the list, and the popup menu request.
class ServerListView : public QTreeView, public desk::ListView {
 public:
  ServerListView(ServerListModel& model, QWidget* parent = nullptr);

  ServerListModel& serverModel() { return model_; }

  // What the main window runs for the keys, the double click and the popup menu: Delete
  // deletes the selected rows, Enter and the double click edit the selected row, Space
  // turns the check marks of the selected rows.
  std::function<void()> onDeleteKey;
  std::function<void()> onDoubleClick;
  std::function<void()> onToggleChecks;
  std::function<void(const QPoint& globalPos)> onPopupMenu;

  // Selects the list's selected row alone in the view (or nothing).
  void showListSelection() override;
  // The highlighted rows in list order.
  std::vector<size_t> selectedRows() const override;
  // Draws the header's arrow from the list's sort column and direction, while the list
  // keeps its sort.
  void showSortIndicator() override;
  int columnCount() const override { return model_.columnCount(); }
  int columnWidth(int column) const override { return QTreeView::columnWidth(column); }
  void setColumnWidth(int column, int width) override { QTreeView::setColumnWidth(column, width); }
  // The column widths that fit the contents: the IP column takes "255.255.255.255" beside
  // its check box in the view's font.
  void fitColumnsToFont();

  // The row under a point of the viewport, none below the last row.
  std::optional<size_t> rowAt(const QPoint& viewportPos) const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  ServerListModel& model_;
  bool syncing_ = false;
};

}  // namespace ravelin::qt

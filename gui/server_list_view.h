#pragma once
#include <QTreeView>
#include <functional>
#include <optional>

#include "gui/server_list_model.h"

namespace ravelin::gui {

// The list view of the main window: one row per server, whole-row single selection that
// follows the list's selected row, sorting by the core's column-click rule, the Delete
// key, double click, drag and drop of a row within the list, and the popup menu request.
class ServerListView : public QTreeView {
 public:
  ServerListView(ServerListModel& model, QWidget* parent = nullptr);

  ServerListModel& serverModel() { return model_; }

  // What the main window runs for the key, the double click and the popup menu.
  std::function<void()> onDeleteKey;
  std::function<void()> onDoubleClick;
  std::function<void(const QPoint& globalPos)> onPopupMenu;

  // Selects the list's selected row in the view (or nothing).
  void showListSelection();

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

}  // namespace ravelin::gui

#include "gui/server_list_view.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>

#include "gui/window_metrics.h"
#include "serverlist/list_commands.h"
#include "serverlist/server_sort.h"

namespace ravelin::gui {

ServerListView::ServerListView(ServerListModel& model, QWidget* parent)
    : QTreeView(parent), model_(model) {
  setModel(&model_);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDropIndicatorShown(true);
  setDragDropMode(QAbstractItemView::InternalMove);
  setDefaultDropAction(Qt::MoveAction);
  setContextMenuPolicy(Qt::CustomContextMenu);

  QHeaderView* head = header();
  head->setSectionsClickable(true);
  head->setSectionsMovable(false);
  head->setStretchLastSection(false);
  for (int c = 0; c < static_cast<int>(kColumnWidths.size()); ++c) {
    setColumnWidth(c, kColumnWidths[static_cast<size_t>(c)]);
  }
  // The header's sort is the core's column-click rule, never Qt's own.
  connect(head, &QHeaderView::sectionClicked, this,
          [this](int column) { serverlist::clickColumn(model_.list(), column); });

  // The list's selection follows the view's: the selected row, or none after a click on
  // the empty part of the list.
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection&, const QItemSelection&) {
            if (syncing_) return;
            const QModelIndexList rows = selectionModel()->selectedRows();
            model_.list().select(
                rows.isEmpty() ? std::nullopt
                               : std::optional<size_t>(static_cast<size_t>(rows.first().row())));
          });
  connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    if (onPopupMenu) onPopupMenu(viewport()->mapToGlobal(pos));
  });
  model_.onReset = [this] { showListSelection(); };
}

void ServerListView::showListSelection() {
  syncing_ = true;
  const std::optional<size_t> selected = model_.list().selected();
  if (selected && static_cast<int>(*selected) < model_.rowCount()) {
    const QModelIndex index = model_.index(static_cast<int>(*selected), 0);
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  } else {
    selectionModel()->clearSelection();
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  }
  syncing_ = false;
}

std::optional<size_t> ServerListView::rowAt(const QPoint& viewportPos) const {
  const QModelIndex index = indexAt(viewportPos);
  if (!index.isValid()) return std::nullopt;
  return static_cast<size_t>(index.row());
}

void ServerListView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
    if (serverlist::deleteKeyRunsDelete(model_.list()) && onDeleteKey) onDeleteKey();
    event->accept();
    return;
  }
  QTreeView::keyPressEvent(event);
}

void ServerListView::mouseDoubleClickEvent(QMouseEvent* event) {
  QTreeView::mouseDoubleClickEvent(event);
  if (serverlist::doubleClickRunsEdit(model_.list()) && onDoubleClick) onDoubleClick();
}

void ServerListView::dragEnterEvent(QDragEnterEvent* event) {
  if (model_.draggedRow(event->mimeData())) {
    QTreeView::dragEnterEvent(event);
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void ServerListView::dragMoveEvent(QDragMoveEvent* event) {
  if (model_.draggedRow(event->mimeData())) {
    QTreeView::dragMoveEvent(event);
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void ServerListView::dropEvent(QDropEvent* event) {
  const std::optional<size_t> row = model_.draggedRow(event->mimeData());
  if (!row) {
    event->ignore();
    return;
  }
  // The dragged row goes in front of the row under the drop point, or to the end below
  // the last row. The move is done here; the drag is then reported as not accepted, so
  // that the view does not remove the dragged row once more.
  serverlist::moveServer(model_.list(), *row, rowAt(event->position().toPoint()));
  // The rows' removal and insertion left Qt's highlight wherever Qt chose to put it: the
  // highlighted row is the list's selected one, on which Delete and Edit act.
  showListSelection();
  stopAutoScroll();
  setState(NoState);
  viewport()->update();
  event->ignore();
}

}  // namespace ravelin::gui

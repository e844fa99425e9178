#include "qt/server_list_view.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionHeader>
#include <algorithm>

#include "qt/window_metrics.h"
#include "serverlist/list_commands.h"
#include "serverlist/server_sort.h"

namespace ravelin::qt {

ServerListView::ServerListView(ServerListModel& model, QWidget* parent)
    : QTreeView(parent), model_(model) {
  setModel(&model_);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
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
  head->setStretchLastSection(true);
  head->setSortIndicatorShown(false);
  fitColumnsToFont();
  // The header's sort is the core's column-click rule, never Qt's own; its arrow shows
  // the list's sort.
  connect(head, &QHeaderView::sectionClicked, this, [this](int column) {
    serverlist::clickColumn(model_.list(), column);
    showSortIndicator();
  });

  // The list's selected row follows the view's selection: its first row, or none after a
  // click on the empty part of the list.
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection&, const QItemSelection&) {
            if (syncing_) return;
            const std::vector<size_t> rows = selectedRows();
            model_.list().select(rows.empty() ? std::nullopt : std::optional<size_t>(rows.front()));
          });
  connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    if (onPopupMenu) onPopupMenu(viewport()->mapToGlobal(pos));
  });
  model_.onReset = [this] { showListSelection(); };
}

void ServerListView::showListSelection() {
  const std::optional<size_t> selected = model_.list().selected();
  // Several highlighted rows that begin with the list's selected one stay as they are.
  const std::vector<size_t> rows = selectedRows();
  if (selected && rows.size() > 1 && rows.front() == *selected) return;
  syncing_ = true;
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

std::vector<size_t> ServerListView::selectedRows() const {
  std::vector<size_t> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows())
    rows.push_back(static_cast<size_t>(index.row()));
  std::sort(rows.begin(), rows.end());
  return rows;
}

void ServerListView::showSortIndicator() {
  const serverlist::ServerList& list = model_.list();
  header()->setSortIndicator(list.sortColumn(),
                             list.sortDescending() ? Qt::DescendingOrder : Qt::AscendingOrder);
  header()->setSortIndicatorShown(list.sortKept());
}

void ServerListView::fitColumnsToFont() {
  // At least as wide as the caption, which a translation may make longer.
  for (int c = 0; c < static_cast<int>(kColumnWidths.size()); ++c) {
    QStyleOptionHeader caption;
    caption.initFrom(header());
    caption.section = c;
    caption.text = model()->headerData(c, Qt::Horizontal).toString();
    const QSize fit =
        header()->style()->sizeFromContents(QStyle::CT_HeaderSection, &caption, QSize(), header());
    // With room for the sort arrow, which the header draws beside the caption of the
    // sorted column.
    const int arrow = fit.height() + header()->style()->pixelMetric(QStyle::PM_HeaderMargin);
    setColumnWidth(c, std::max(kColumnWidths[static_cast<size_t>(c)], fit.width() + arrow));
  }
  // The widest address in a cell as the item delegate lays it out: check box and text.
  QStyleOptionViewItem cell;
  initViewItemOption(&cell);
  cell.features |= QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasCheckIndicator;
  cell.checkState = Qt::Checked;
  cell.text = QStringLiteral("255.255.255.255");
  const int ip = style()->sizeFromContents(QStyle::CT_ItemViewItem, &cell, QSize(), this).width();
  setColumnWidth(0, std::max(columnWidth(0), ip + 2));
}

std::optional<size_t> ServerListView::rowAt(const QPoint& viewportPos) const {
  const QModelIndex index = indexAt(viewportPos);
  if (!index.isValid()) return std::nullopt;
  return static_cast<size_t>(index.row());
}

void ServerListView::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() != Qt::NoModifier && event->modifiers() != Qt::KeypadModifier) {
    QTreeView::keyPressEvent(event);
    return;
  }
  const bool selected = serverlist::deleteKeyRunsDelete(model_.list());
  switch (event->key()) {
    case Qt::Key_Delete:
      if (selected && onDeleteKey) onDeleteKey();
      break;
    case Qt::Key_Space:
      if (selected && onToggleChecks) onToggleChecks();
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (serverlist::doubleClickRunsEdit(model_.list()) && onDoubleClick) onDoubleClick();
      break;
    default:
      QTreeView::keyPressEvent(event);
      return;
  }
  event->accept();
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
  // A row moved by hand leaves the sort's order, and with it the arrow.
  showSortIndicator();
  // The rows' removal and insertion left Qt's highlight wherever Qt chose to put it: the
  // highlighted row is the list's selected one, on which Delete and Edit act.
  showListSelection();
  stopAutoScroll();
  setState(NoState);
  viewport()->update();
  event->ignore();
}

}  // namespace ravelin::qt

#include "qt/url_list_box.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QVBoxLayout>

#include "app/options_rules.h"
#include "qt/field_text.h"
#include "qt/ui_text.h"
#include "qt/url_dialog.h"
#include "qt/window_metrics.h"
#include "runtime/translate.h"

namespace ravelin::qt {

UrlListBox::UrlListBox(runtime::AppContext& ctx, QWidget* parent)
    : QGroupBox(uiText(kUrlGroupCaption), parent), presenter_(ctx, *this) {
  tree_ = new QTreeWidget(this);
  tree_->setColumnCount(2);
  tree_->setHeaderLabels({uiText(kUrlColumns[0]), uiText(kUrlColumns[1])});
  for (int c = 0; c < 2; ++c) tree_->setColumnWidth(c, kUrlColumnWidths[static_cast<size_t>(c)]);
  tree_->setRootIsDecorated(false);
  tree_->setUniformRowHeights(true);
  tree_->setAllColumnsShowFocus(true);
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree_->setDragDropMode(QAbstractItemView::InternalMove);
  tree_->setToolTip(uiText(kUrlListHint));
  tree_->setContextMenuPolicy(Qt::CustomContextMenu);
  tree_->header()->setSectionsClickable(true);
  tree_->header()->setSortIndicatorShown(false);
  tree_->installEventFilter(this);
  tree_->viewport()->installEventFilter(this);
  dialog_ = new UrlDialog(this);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tree_);

  connect(tree_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { showPopup(tree_->viewport()->mapToGlobal(at)); });
  connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this] { editUrl(); });
  connect(tree_->header(), &QHeaderView::sectionClicked, this, [this](int c) { sortBy(c); });
}

void UrlListBox::showRows(const std::vector<runtime::UrlSource>& rows,
                          std::optional<size_t> selected) {
  tree_->clear();
  for (const runtime::UrlSource& source : rows) {
    auto* item = new QTreeWidgetItem(tree_);
    item->setText(0, uiText(app::urlKindName(source)));
    item->setText(1, fieldText(source.location));
    // Rows are dropped between rows, never onto one.
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled);
  }
  if (selected) tree_->setCurrentItem(tree_->topLevelItem(static_cast<int>(*selected)));
}

std::optional<size_t> UrlListBox::selectedRow() const {
  const QList<QTreeWidgetItem*> selected = tree_->selectedItems();
  if (selected.isEmpty()) return std::nullopt;
  return static_cast<size_t>(tree_->indexOfTopLevelItem(selected.first()));
}

std::optional<runtime::UrlSource> UrlListBox::askUrl(const runtime::UrlSource* current) {
  if (current)
    dialog_->prepareEdit(*current);
  else
    dialog_->prepareAdd();
  return dialog_->run();
}

void UrlListBox::showPopup(const QPoint& at) {
  QMenu menu(this);
  const bool selected = selectedRow().has_value();
  menu.addAction(uiText(kUrlMenuItems[0]), this, [this] { addUrl(); });
  menu.addAction(uiText(kUrlMenuItems[1]), this, [this] { deleteUrl(); })->setEnabled(selected);
  menu.addAction(uiText(kUrlMenuItems[2]), this, [this] { editUrl(); })->setEnabled(selected);
  menu.exec(at);
}

bool UrlListBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tree_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    deleteUrl();
    return true;
  }
  if (watched == tree_->viewport() && event->type() == QEvent::Drop) {
    auto* drop = static_cast<QDropEvent*>(event);
    if (drop->source() != tree_) return false;
    QTreeWidgetItem* target = tree_->itemAt(drop->position().toPoint());
    moveSelected(target ? tree_->indexOfTopLevelItem(target) : -1);
    // The move is done: the view must not remove the dragged row as well.
    drop->setDropAction(Qt::IgnoreAction);
    drop->accept();
    return true;
  }
  return QGroupBox::eventFilter(watched, event);
}

}  // namespace ravelin::qt

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

namespace {

constexpr int kKindRole = Qt::UserRole;
constexpr int kLocationRole = Qt::UserRole + 1;
constexpr const char* kDeleteQuestion = "Do you really want to delete this URL ?";

}  // namespace

UrlListBox::UrlListBox(runtime::AppContext& ctx, QWidget* parent)
    : QGroupBox(uiText(kUrlGroupCaption), parent), ctx_(ctx) {
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

void UrlListBox::setRow(QTreeWidgetItem* item, const runtime::UrlSource& source) {
  item->setText(0, uiText(app::urlKindName(source)));
  item->setText(1, fieldText(source.location));
  item->setData(0, kKindRole, static_cast<int>(source.kind));
  item->setData(0, kLocationRole,
                QByteArray(source.location.data(), static_cast<qsizetype>(source.location.size())));
  // Rows are dropped between rows, never onto one.
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled);
}

void UrlListBox::setRows(const std::vector<runtime::UrlSource>& rows) {
  tree_->clear();
  for (const runtime::UrlSource& source : rows) setRow(new QTreeWidgetItem(tree_), source);
}

std::vector<runtime::UrlSource> UrlListBox::rows() const {
  std::vector<runtime::UrlSource> rows;
  for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = tree_->topLevelItem(i);
    const QByteArray location = item->data(0, kLocationRole).toByteArray();
    rows.push_back({static_cast<runtime::SourceKind>(item->data(0, kKindRole).toInt()),
                    std::string(location.constData(), static_cast<size_t>(location.size()))});
  }
  return rows;
}

int UrlListBox::selectedRow() const {
  const QList<QTreeWidgetItem*> selected = tree_->selectedItems();
  return selected.isEmpty() ? -1 : tree_->indexOfTopLevelItem(selected.first());
}

void UrlListBox::addUrl() {
  dialog_->prepareAdd();
  const std::optional<runtime::UrlSource> entry = dialog_->run();
  if (!entry) return;
  auto* item = new QTreeWidgetItem(tree_);
  setRow(item, *entry);
  tree_->setCurrentItem(item);
}

void UrlListBox::editUrl() {
  const int row = selectedRow();
  if (row < 0) return;
  dialog_->prepareEdit(rows()[static_cast<size_t>(row)]);
  const std::optional<runtime::UrlSource> entry = dialog_->run();
  if (entry) setRow(tree_->topLevelItem(row), *entry);
}

void UrlListBox::deleteUrl() {
  const int row = selectedRow();
  if (row < 0) return;
  if (ctx_.message(N_("Warning"), kDeleteQuestion, runtime::MsgIcon::Exclamation,
                   runtime::MsgButtons::YesNo, runtime::MsgResult::No) == runtime::MsgResult::Yes)
    delete tree_->takeTopLevelItem(row);
}

void UrlListBox::sortBy(int column) {
  std::vector<runtime::UrlSource> sorted = rows();
  app::sortUrlRows(sorted, column, ascendingNext_);
  ascendingNext_ = !ascendingNext_;
  setRows(sorted);
}

void UrlListBox::moveSelected(int before) {
  const int row = selectedRow();
  if (row < 0 || row == before) return;
  QTreeWidgetItem* item = tree_->takeTopLevelItem(row);
  const int count = tree_->topLevelItemCount();
  tree_->insertTopLevelItem(before < 0 || before > count ? count
                            : before > row               ? before - 1
                                                         : before,
                            item);
  tree_->setCurrentItem(item);
}

void UrlListBox::showPopup(const QPoint& at) {
  QMenu menu(this);
  const bool selected = selectedRow() >= 0;
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

#include "qt/server_list_model.h"

#include <QMimeData>
#include <QTimer>

#include "qt/field_text.h"
#include "qt/ui_text.h"

namespace ravelin::qt {

using serverlist::kColumnCaptions;
using serverlist::kServerFieldCount;

ServerListModel::ServerListModel(serverlist::ServerList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list), shownRows_(static_cast<int>(list.size())) {
  list_.setObserver(this);
}

ServerListModel::~ServerListModel() {
  list_.setObserver(nullptr);
}

int ServerListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownRows_;
}

int ServerListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kServerFieldCount;
}

QVariant ServerListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const auto row = static_cast<size_t>(index.row());
  // While repainting is suspended the list may already hold fewer rows than shown.
  if (row >= list_.size()) return {};
  const serverlist::ServerEntry& entry = list_[row];
  switch (role) {
    case Qt::DisplayRole:
      return fieldText(entry.server.field(index.column()));
    case Qt::CheckStateRole:
      if (index.column() == 0) return entry.checked ? Qt::Checked : Qt::Unchecked;
      break;
    default:
      break;
  }
  return {};
}

QVariant ServerListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
      section < kServerFieldCount) {
    return uiText(kColumnCaptions[static_cast<size_t>(section)]);
  }
  return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ServerListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::ItemIsDropEnabled;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled |
                    Qt::ItemIsDropEnabled | Qt::ItemNeverHasChildren;
  if (index.column() == 0) f |= Qt::ItemIsUserCheckable;
  return f;
}

bool ServerListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole) return false;
  const auto row = static_cast<size_t>(index.row());
  if (row >= list_.size()) return false;
  list_.setChecked(row, value.toInt() == Qt::Checked);
  return true;
}

QStringList ServerListModel::mimeTypes() const {
  return {QString::fromLatin1(kRowMimeType)};
}

QMimeData* ServerListModel::mimeData(const QModelIndexList& indexes) const {
  if (indexes.isEmpty()) return nullptr;
  auto* data = new QMimeData;
  const QString payload =
      QStringLiteral("%1 %2").arg(reinterpret_cast<quintptr>(this)).arg(indexes.first().row());
  data->setData(QString::fromLatin1(kRowMimeType), payload.toLatin1());
  return data;
}

std::optional<size_t> ServerListModel::draggedRow(const QMimeData* data) const {
  if (!data || !data->hasFormat(QString::fromLatin1(kRowMimeType))) return std::nullopt;
  const QList<QByteArray> parts = data->data(QString::fromLatin1(kRowMimeType)).split(' ');
  if (parts.size() != 2) return std::nullopt;
  bool ok = false;
  if (parts[0].toULongLong(&ok) != reinterpret_cast<quintptr>(this) || !ok) return std::nullopt;
  const qlonglong row = parts[1].toLongLong(&ok);
  if (!ok || row < 0 || static_cast<size_t>(row) >= list_.size()) return std::nullopt;
  return static_cast<size_t>(row);
}

void ServerListModel::rowsInserted(size_t first, size_t count) {
  if (suspended_ > 0 || count == 0) return;
  const int from = static_cast<int>(first);
  beginInsertRows(QModelIndex(), from, from + static_cast<int>(count) - 1);
  shownRows_ += static_cast<int>(count);
  endInsertRows();
}

void ServerListModel::rowsRemoved(size_t first, size_t count) {
  if (suspended_ > 0 || count == 0) return;
  const int from = static_cast<int>(first);
  beginRemoveRows(QModelIndex(), from, from + static_cast<int>(count) - 1);
  shownRows_ -= static_cast<int>(count);
  endRemoveRows();
}

void ServerListModel::rowChanged(size_t row) {
  if (suspended_ > 0) return;
  const int r = static_cast<int>(row);
  if (firstChanged_ < 0 || r < firstChanged_) firstChanged_ = r;
  if (r > lastChanged_) lastChanged_ = r;
  scheduleFlush();
}

void ServerListModel::listReset() {
  if (suspended_ > 0) return;
  reset();
}

void ServerListModel::statusChanged() {
  statusPending_ = true;
  // An import recounts after every row; its end (the reset) reports the status once.
  if (suspended_ == 0) scheduleFlush();
}

void ServerListModel::updatesSuspended(bool suspended) {
  if (suspended) {
    ++suspended_;
    return;
  }
  if (suspended_ == 0) return;
  if (--suspended_ == 0) reset();
}

void ServerListModel::reset() {
  beginResetModel();
  shownRows_ = static_cast<int>(list_.size());
  firstChanged_ = lastChanged_ = -1;
  endResetModel();
  if (onReset) onReset();
  if (statusPending_) scheduleFlush();
}

void ServerListModel::scheduleFlush() {
  if (flushScheduled_) return;
  flushScheduled_ = true;
  QTimer::singleShot(0, this, [this] { flushChangedRows(); });
}

void ServerListModel::flushChangedRows() {
  flushScheduled_ = false;
  if (firstChanged_ >= 0 && suspended_ == 0) {
    const int last = std::min(lastChanged_, shownRows_ - 1);
    if (firstChanged_ <= last) {
      emit dataChanged(index(firstChanged_, 0), index(last, kServerFieldCount - 1));
    }
    firstChanged_ = lastChanged_ = -1;
  }
  if (statusPending_) {
    statusPending_ = false;
    if (onStatusChanged) onStatusChanged();
  }
}

}  // namespace ravelin::qt

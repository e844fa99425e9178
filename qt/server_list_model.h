#pragma once
#include <QAbstractTableModel>
#include <functional>
#include <optional>

#include "serverlist/server_list.h"

namespace ravelin::qt {

// The server list as Qt's views see it: a table model over the one ServerList, no copy
// of its rows. Column 0 carries the check mark. The model follows the list through
// ServerListObserver:
//  - a single insert or removal is the same change in the model;
//  - while the list suspends repainting (an import), the model keeps showing the rows it
//    had and ends the suspension with one reset;
//  - a clear, a sort or a move is one reset;
//  - changed rows are gathered and reported as one dataChanged when the event loop next
//    runs, so a bulk change of 100,000 check marks costs one repaint.
class ServerListModel : public QAbstractTableModel, public serverlist::ServerListObserver {
 public:
  static constexpr const char* kRowMimeType = "application/x-ravelin-server-row";

  explicit ServerListModel(serverlist::ServerList& list, QObject* parent = nullptr);
  ~ServerListModel() override;

  serverlist::ServerList& list() { return list_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  // Drag and drop of a row within the list: the payload names the row and this model.
  Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
  Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  // The row a payload drags, when it comes from this model.
  std::optional<size_t> draggedRow(const QMimeData* data) const;

  // Called after the status text changed (at most once per pass of the event loop) and
  // after every reset (the view then selects the list's selected row again).
  std::function<void()> onStatusChanged;
  std::function<void()> onReset;

  // Reports the gathered row changes now.
  void flushChangedRows();

  // ServerListObserver.
  void rowsInserted(size_t first, size_t count) override;
  void rowsRemoved(size_t first, size_t count) override;
  void rowChanged(size_t row) override;
  void listReset() override;
  void statusChanged() override;
  void updatesSuspended(bool suspended) override;

 private:
  void reset();
  void scheduleFlush();

  serverlist::ServerList& list_;
  // The number of rows the views know of; it differs from the list's while repainting is
  // suspended.
  int shownRows_ = 0;
  int suspended_ = 0;
  int firstChanged_ = -1;
  int lastChanged_ = -1;
  bool statusPending_ = false;
  bool flushScheduled_ = false;
};

}  // namespace ravelin::qt

#pragma once
#include <QAbstractTableModel>
#include <functional>
#include <optional>

#include "desk/list_change_batch.h"
#include "serverlist/server_list.h"

namespace ravelin::qt {

// The server list as Qt's views see it: a table model over the one ServerList, no copy
// of its rows. Column 0 carries the check mark. The model shows the list's changes as
// desk::ListChangeBatch gathers them.
class ServerListModel : public QAbstractTableModel, private desk::ListDisplay {
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
  void flushChangedRows() { batch_.flush(); }

 private:
  void showInserted(size_t first, size_t count) override;
  void showRemoved(size_t first, size_t count) override;
  void showChanged(size_t first, size_t last) override;
  void showAll(size_t rows) override;
  void showStatus() override;
  void scheduleFlush() override;

  serverlist::ServerList& list_;
  // The number of rows the views know of.
  int shownRows_ = 0;
  desk::ListChangeBatch batch_;
};

}  // namespace ravelin::qt

#pragma once
// How the server list's changes reach its view: each a view can show cheaply, bulk changes
// gathered into one, an import shown once at its end.
#include <cstddef>

#include "serverlist/server_list.h"

namespace ravelin::desk {

// The view of the list as the batch tells it what changed.
class ListDisplay {
 public:
  virtual ~ListDisplay() = default;
  virtual void showInserted(size_t first, size_t count) = 0;
  virtual void showRemoved(size_t first, size_t count) = 0;
  // The rows first to last (inclusive) show new contents.
  virtual void showChanged(size_t first, size_t last) = 0;
  // Every row anew: the view shows rows rows from now on.
  virtual void showAll(size_t rows) = 0;
  // The list's counts changed (at most once per pass of the event loop).
  virtual void showStatus() = 0;
  // Asks for a call of ListChangeBatch::flush when the event loop next runs.
  virtual void scheduleFlush() = 0;
};

// Follows the list as its observer:
//  - a single insert or removal is the same change in the view;
//  - while the list suspends repainting (an import), the view keeps showing the rows it
//    had and the suspension ends with one showAll;
//  - a clear, a sort or a move is one showAll;
//  - changed rows are gathered and shown with one showChanged when the event loop next
//    runs, so a bulk change of 100,000 check marks costs one repaint.
class ListChangeBatch : public serverlist::ServerListObserver {
 public:
  ListChangeBatch(serverlist::ServerList& list, ListDisplay& display);
  ~ListChangeBatch() override;
  ListChangeBatch(const ListChangeBatch&) = delete;
  ListChangeBatch& operator=(const ListChangeBatch&) = delete;

  // Shows the gathered row changes and the status now.
  void flush();

  void rowsInserted(size_t first, size_t count) override;
  void rowsRemoved(size_t first, size_t count) override;
  void rowChanged(size_t row) override;
  void listReset() override;
  void statusChanged() override;
  void updatesSuspended(bool suspended) override;

 private:
  void showAll();
  void scheduleFlush();

  serverlist::ServerList& list_;
  ListDisplay& display_;
  // The number of rows the view knows of; it differs from the list's while repainting is
  // suspended.
  size_t shownRows_ = 0;
  int suspended_ = 0;
  // The changed rows not shown yet: none while first_ > last_.
  size_t firstChanged_ = 1;
  size_t lastChanged_ = 0;
  bool statusPending_ = false;
  bool flushScheduled_ = false;
};

}  // namespace ravelin::desk

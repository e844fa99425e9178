#include "desk/list_change_batch.h"

#include <algorithm>

namespace ravelin::desk {

ListChangeBatch::ListChangeBatch(serverlist::ServerList& list, ListDisplay& display)
    : list_(list), display_(display), shownRows_(list.size()) {
  list_.setObserver(this);
}

ListChangeBatch::~ListChangeBatch() {
  list_.setObserver(nullptr);
}

void ListChangeBatch::rowsInserted(size_t first, size_t count) {
  if (suspended_ > 0 || count == 0) return;
  shownRows_ += count;
  display_.showInserted(first, count);
}

void ListChangeBatch::rowsRemoved(size_t first, size_t count) {
  if (suspended_ > 0 || count == 0) return;
  shownRows_ -= count;
  display_.showRemoved(first, count);
}

void ListChangeBatch::rowChanged(size_t row) {
  if (suspended_ > 0) return;
  if (firstChanged_ > lastChanged_) {
    firstChanged_ = lastChanged_ = row;
  } else {
    firstChanged_ = std::min(firstChanged_, row);
    lastChanged_ = std::max(lastChanged_, row);
  }
  scheduleFlush();
}

void ListChangeBatch::listReset() {
  if (suspended_ == 0) showAll();
}

void ListChangeBatch::statusChanged() {
  statusPending_ = true;
  // An import recounts after every row; its end (the showAll) reports the status once.
  if (suspended_ == 0) scheduleFlush();
}

void ListChangeBatch::updatesSuspended(bool suspended) {
  if (suspended) {
    ++suspended_;
    return;
  }
  if (suspended_ == 0) return;
  if (--suspended_ == 0) showAll();
}

void ListChangeBatch::showAll() {
  shownRows_ = list_.size();
  firstChanged_ = 1;
  lastChanged_ = 0;
  display_.showAll(shownRows_);
  if (statusPending_) scheduleFlush();
}

void ListChangeBatch::scheduleFlush() {
  if (flushScheduled_) return;
  flushScheduled_ = true;
  display_.scheduleFlush();
}

void ListChangeBatch::flush() {
  flushScheduled_ = false;
  if (firstChanged_ <= lastChanged_ && suspended_ == 0) {
    // Rows removed since their change are no longer shown.
    const size_t last = std::min(lastChanged_, shownRows_ - 1);
    if (shownRows_ > 0 && firstChanged_ <= last) display_.showChanged(firstChanged_, last);
    firstChanged_ = 1;
    lastChanged_ = 0;
  }
  if (statusPending_) {
    statusPending_ = false;
    display_.showStatus();
  }
}

}  // namespace ravelin::desk

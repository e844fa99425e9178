#pragma once
#include "runtime/progress_bar.h"
#include "serverlist/server_list.h"
#include "serverlist/server_sort.h"

namespace ravelin::serverlist {

// A batch of changes to the list. While it lives the status is not counted, so that the
// change notification of every row costs nothing; when it ends, however it ends, counting
// is on again and the status is recounted once.
//
// Batches nest: one that begins while another is running (an event handled while an import
// pumps, say) leaves counting off and recounts nothing; the outermost batch does that, and
// when the batch added rows to a list that keeps its sort, it puts them in their places.
//
// The form with a progress bar is the frame of an import: it also suspends repainting of
// the list while it lives, and hides the import's bar after the recount.
class BatchScope {
 public:
  explicit BatchScope(ServerList& list)
      : list_(list), wasCounting_(list.statusCounting), sizeBefore_(list.size()) {
    list_.statusCounting = false;
  }
  BatchScope(ServerList& list, runtime::ProgressBar& bar)
      : list_(list), bar_(&bar), sizeBefore_(list.size()) {
    list_.beginUpdate();
    wasCounting_ = list_.statusCounting;
    list_.statusCounting = false;
  }
  ~BatchScope() {
    if (bar_) list_.endUpdate();
    if (!ended_ && wasCounting_) {
      if (list_.size() > sizeBefore_) keepSortOrder(list_);
      list_.statusCounting = true;
      list_.recount();
    }
    if (bar_) bar_->hide();
  }
  BatchScope(const BatchScope&) = delete;
  BatchScope& operator=(const BatchScope&) = delete;

  // Ends the counting part of the batch now, recounting while counting is still off: the
  // status keeps its short form, without the checked figures, until the next change of the
  // list. Clearing the whole list ends this way, whether the user said Yes or No.
  void endWithShortStatus() {
    if (ended_) return;
    ended_ = true;
    list_.recount();
    list_.statusCounting = wasCounting_;
  }

 private:
  ServerList& list_;
  runtime::ProgressBar* bar_ = nullptr;
  bool wasCounting_ = true;
  size_t sizeBefore_ = 0;
  bool ended_ = false;
};

// Repainting of the list suspended while it lives (ServerList::beginUpdate and endUpdate).
// The import of an HTML page, which has no progress bar of its own, opens one inside its
// BatchScope, so that its frame acts like BatchScope's import frame without the bar.
class RepaintSuspension {
 public:
  explicit RepaintSuspension(ServerList& list) : list_(list) { list_.beginUpdate(); }
  ~RepaintSuspension() { list_.endUpdate(); }
  RepaintSuspension(const RepaintSuspension&) = delete;
  RepaintSuspension& operator=(const RepaintSuspension&) = delete;

 private:
  ServerList& list_;
};

}  // namespace ravelin::serverlist

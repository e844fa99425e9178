#pragma once
#include "runtime/progress_bar.h"
#include "serverlist/server_list.h"

namespace ravelin::serverlist {

// Placeholder until the batch scope lands: status counting off while it lives.
class BatchScope {
 public:
  explicit BatchScope(ServerList& list) : list_(list) { list_.statusCounting = false; }
  BatchScope(ServerList& list, runtime::ProgressBar& bar) : list_(list), bar_(&bar) {
    list_.beginUpdate();
    list_.statusCounting = false;
  }
  ~BatchScope() {
    if (bar_) list_.endUpdate();
    list_.statusCounting = true;
    list_.recount();
    if (bar_) bar_->hide();
  }
  BatchScope(const BatchScope&) = delete;
  BatchScope& operator=(const BatchScope&) = delete;

 private:
  ServerList& list_;
  runtime::ProgressBar* bar_ = nullptr;
};

}  // namespace ravelin::serverlist

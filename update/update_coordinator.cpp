#include "update/update_coordinator.h"

#include <algorithm>

#include "runtime/ui_thread.h"
#include "serverlist/merge.h"

namespace ravelin::update {

UpdateCoordinator::UpdateCoordinator(serverlist::ServerList& list, runtime::AppContext& ctx,
                                     UpdateView& view, runtime::ProgressBar& loadSaveBar)
    : list_(list), ctx_(ctx), view_(view), loadSaveBar_(loadSaveBar) {}

UpdateCoordinator::~UpdateCoordinator() {
  if (pool_) {
    pool_->live = false;
    terminateWorkers();
  }
  view_.cancelClicked = nullptr;
  view_.detailsClicked = nullptr;
}

void UpdateCoordinator::cancel() {
  if (pool_) pool_->cancel = true;
  view_.setHeadline("Waiting for working threads to close...");
}

void UpdateCoordinator::toggleDetails() {
  const std::string caption = view_.detailsCaption();
  if (caption == "&Details >>")
    view_.setDetails("&Details <<", UpdateView::kHeightWithDetails);
  else if (caption == "&Details <<")
    view_.setDetails("&Details >>", UpdateView::kHeightWithoutDetails);
}

std::shared_ptr<UpdateWorker> UpdateCoordinator::createWorker(int slot) {
  auto worker = std::make_shared<UpdateWorker>(pool_, slot, ctx_);
  pool_->workers[slot] = worker;
  pool_->slotState[slot] = 1;
  return worker;
}

void UpdateCoordinator::terminateWorkers() {
  for (auto& w : pool_->workers)
    if (auto worker = w.lock()) worker->requestTerminate();
}

void UpdateCoordinator::start() {
  if (started_) return;
  started_ = true;
  view_.cancelClicked = [this] { cancel(); };
  view_.detailsClicked = [this] { toggleDetails(); };

  // The pool is made before anything that can fail, so every way out below ends the
  // run cleanly.
  pool_ = std::make_shared<UpdatePool>();
  pool_->ctx = &ctx_;
  pool_->view = &view_;
  pool_->live = true;
  struct Finish {
    UpdateCoordinator& c;
    ~Finish() {
      c.pool_->live = false;
      c.ctx_.state.operationDone = true;
    }
  } finish{*this};

  toggleDetails();
  const std::vector<std::string>& urls = ctx_.settings.URLs;
  const std::size_t n = urls.size();
  ctx_.log.writeLog("Updating from " + std::to_string(n) + " URLs");
  // A pool size outside 1..8 (edited by hand) is taken as the nearest allowed value.
  const int poolSize = std::clamp(ctx_.settings.UpdThreadCount, 1, UpdatePool::kSlots);
  pool_->activeCount = 0;
  pool_->cancel = false;
  pool_->total = 0;
  view_.setHeadline("Updating from " + std::to_string(n) + " URLs...");
  view_.setDesc(std::to_string(pool_->total) + " IPs found!");
  view_.urlsBar().setPosition(0);
  view_.urlsBar().setMax(static_cast<int>(n));
  view_.urlsBar().setStep(1);

  for (std::size_t job = 0; job < n; ++job) {
    while (pool_->activeCount == poolSize && !pool_->cancel) runtime::pauseFunc(*ctx_.ui, 500);
    if (pool_->cancel) {
      terminateWorkers();
      return;
    }
    for (int slot = 0; slot < poolSize; ++slot) {
      // The table only watches its workers; a started worker keeps itself alive.
      std::shared_ptr<UpdateWorker> fresh;
      if (pool_->slotState[slot] == 0) fresh = createWorker(slot);
      if (pool_->slotState[slot] == 1) {
        auto worker = fresh ? fresh : pool_->workers[slot].lock();
        if (!worker) worker = createWorker(slot);
        ++pool_->activeCount;
        worker->job = urls[job];
        worker->timeout = static_cast<std::uint32_t>(std::max(ctx_.settings.UpdTimeout, 0)) * 1000u;
        worker->proxyAddr = ctx_.settings.ProxyAddr;
        worker->proxyPort = ctx_.settings.ProxyPort;
        worker->tlsCaFile = tlsCaFile;
        pool_->slotState[slot] = 2;
        worker->resume();
        break;
      }
    }
  }
  while (pool_->activeCount > 0 && !pool_->cancel) runtime::pauseFunc(*ctx_.ui, 500);
  if (pool_->cancel) {
    terminateWorkers();
    return;
  }

  view_.setHeadline("Adding servers to list...");
  ctx_.processPending();
  serverlist::KeySet keys(list_);
  std::vector<serverlist::Server> results;
  results.swap(pool_->results);
  reported_ = results.size();
  const std::size_t before = list_.size();
  list_.statusCounting = false;
  list_.beginUpdate();
  loadSaveBar_.start(static_cast<int>(results.size()));
  for (serverlist::Server& r : results) {
    loadSaveBar_.stepIt();
    serverlist::mergeServer(list_, keys, std::move(r));
  }
  list_.endUpdate();
  loadSaveBar_.hide();
  list_.statusCounting = true;
  if (!list_.empty()) list_.recount();
  added_ = list_.size() - before;
  // The count is the number of servers this update added.
  ctx_.log.writeLog("Updated successfully and found <" + std::to_string(added_) + "> unique IPs");
}

}  // namespace ravelin::update

#include "update/update_coordinator.h"

#include <algorithm>

#include "runtime/translate.h"
#include "runtime/ui_thread.h"
#include "serverlist/batch_scope.h"
#include "serverlist/list_unpack.h"
#include "serverlist/merge.h"

namespace ravelin::update {

namespace {
// How long a cancelled run waits for its workers to end; they notice within moments.
constexpr std::uint32_t kCancelWaitMs = 10000;
}  // namespace

UpdateCoordinator::UpdateCoordinator(serverlist::ServerList& list, runtime::AppContext& ctx,
                                     UpdateView& view, runtime::ProgressBar& loadSaveBar)
    : list_(list),
      ctx_(ctx),
      view_(view),
      loadSaveBar_(loadSaveBar),
      // A pool size outside 1..8 (edited by hand) is taken as the nearest allowed value.
      poolSize_(std::clamp(ctx.settings.UpdThreadCount, 1, UpdateView::kSlots)) {
  view_.setSlotCount(poolSize_);
}

UpdateCoordinator::~UpdateCoordinator() {
  if (run_) {
    run_->live = false;
    run_->pool.cancel();
  }
  view_.setCancelHandler(nullptr);
}

void UpdateCoordinator::cancel() {
  if (run_) run_->pool.cancel();
  view_.setHeadline(_("Waiting for working threads to close..."));
}

void UpdateCoordinator::waitForWorkers(const std::function<bool()>& done) {
  while (!done() && !run_->pool.cancelled())
    runtime::waitUntil(*ctx_.ui, *ctx_.clock, 500,
                       [&] { return done() || run_->pool.cancelled(); });
}

void UpdateCoordinator::endCancelledRun() {
  outcome_ = UpdateOutcome::Cancelled;
  run_->pool.cancel();
  run_->pool.waitForWorkers(*ctx_.ui, *ctx_.clock, kCancelWaitMs);
}

void UpdateCoordinator::start() {
  if (started_) return;
  started_ = true;
  // The run state is made before anything that can fail, so every way out below ends
  // the run cleanly.
  run_ = std::make_shared<UpdateRun>(ctx_, view_, poolSize_);
  view_.setCancelHandler([this] { cancel(); });
  struct Finish {
    UpdateCoordinator& c;
    ~Finish() {
      c.run_->live = false;
      c.ctx_.state.operationDone = true;
    }
  } finish{*this};
  run();
}

void UpdateCoordinator::run() {
  const std::vector<runtime::UrlSource>& urls = ctx_.settings.URLs;
  const std::size_t n = urls.size();
  ctx_.log.writeLog("Updating from " + std::to_string(n) + " URLs");
  view_.setHeadline(runtime::fillIn(_("Updating from %s URLs..."), {std::to_string(n)}));
  view_.setDescription(runtime::fillIn(_("%s IPs found!"), {std::to_string(run_->total)}));
  view_.urlsBar().setPosition(0);
  view_.urlsBar().setMax(static_cast<int>(n));
  view_.urlsBar().setStep(1);

  runtime::WorkerPool<UpdateWorker>& pool = run_->pool;
  // Read here, on this thread: the workers get copies.
  const net::ProxyEnvironment proxyEnvironment = net::processProxyEnvironment();
  for (std::size_t job = 0; job < n; ++job) {
    waitForWorkers([&] { return !pool.full(); });
    if (pool.cancelled()) return endCancelledRun();
    std::shared_ptr<UpdateWorker> worker = pool.acquire();
    worker->job = urls[job];
    worker->timeout = static_cast<std::uint32_t>(std::max(ctx_.settings.UpdTimeout, 0)) * 1000u;
    worker->proxyAddr = ctx_.settings.ProxyAddr;
    worker->proxyPort = ctx_.settings.ProxyPort;
    worker->proxyEnvironment = proxyEnvironment;
    worker->tlsCaFile = tlsCaFile;
    worker->maxListBytes = serverlist::maxListBytes(ctx_.settings);
    worker->displayPauses = view_.keepsDisplayPauses();
    // The pool only watches its workers; a started worker keeps itself alive.
    worker->resume();
  }
  waitForWorkers([&] { return pool.busyCount() == 0; });
  if (pool.cancelled()) return endCancelledRun();

  view_.setHeadline(_("Adding servers to list..."));
  ctx_.processPending();
  std::vector<serverlist::Server> results;
  results.swap(run_->results);
  reported_ = results.size();
  const std::size_t before = list_.size();
  {
    serverlist::BatchScope batch(list_, loadSaveBar_);
    serverlist::ImportMerge merge(list_, ctx_);
    loadSaveBar_.start(static_cast<int>(results.size()));
    for (serverlist::Server& r : results) {
      loadSaveBar_.stepIt();
      merge.add(std::move(r));
    }
    merge.logBlocked();
  }
  added_ = list_.size() - before;
  if (run_->sourcesFailed > 0 && run_->sourcesRead == 0) {
    outcome_ = UpdateOutcome::NoSourceRead;
    ctx_.log.writeLog(kNoSourceReadText);
    return;
  }
  // The count is the number of servers this update added.
  ctx_.log.writeLog("Updated successfully and found <" + std::to_string(added_) + "> unique IPs");
}

}  // namespace ravelin::update

#pragma once
#include <cstdint>
#include <memory>

#include "runtime/app_context.h"
#include "runtime/worker_pool.h"
#include "serverlist/server_list.h"
#include "verify/verify_view.h"
#include "verify/verify_worker.h"

namespace ravelin::verify {

// The progress text under the headline for the bar's position and maximum: "(17/250)".
std::string progressText(int position, int maximum);

// The verification run of the verify window: walks the list once, unchecks servers whose
// address or port cannot be tested, hands every other one to a pool of up to 20
// VerifyWorker workers (VrfThreadCount, 1 to 20) and waits for them. Runs on the
// user-interface thread; the workers reach the window, the list and the pool only through
// ctx.ui->invoke, which the run serves while it waits, so nothing here needs a lock.
class VerifyCoordinator {
 public:
  VerifyCoordinator(serverlist::ServerList& list, runtime::AppContext& ctx, VerifyView& view);
  ~VerifyCoordinator();
  VerifyCoordinator(const VerifyCoordinator&) = delete;
  VerifyCoordinator& operator=(const VerifyCoordinator&) = delete;

  // Verify every server, or only the checked ones.
  bool verifyAll = false;

  // The run (the window's activation). Sets operationDone on every way out.
  void start();
  // The window's Cancel.
  void cancel();
  // The window was closed.
  void close();

  // Called by a worker, on the user-interface thread, when it has finished.
  void processResults(int slot, bool alive);

  serverlist::ServerList& list() { return list_; }
  runtime::AppContext& ctx() { return ctx_; }
  VerifyView& view() { return view_; }

 private:
  void stepProgress();
  void run();
  void endCancelledRun();

  serverlist::ServerList& list_;
  runtime::AppContext& ctx_;
  VerifyView& view_;
  runtime::WorkerPool<VerifyWorker> pool_;
};

}  // namespace ravelin::verify

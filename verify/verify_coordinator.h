#pragma once
#include <array>
#include <cstdint>
#include <memory>

#include "runtime/app_context.h"
#include "serverlist/server_list.h"
#include "verify/verify_view.h"
#include "verify/verify_worker.h"

namespace ravelin::verify {

// The progress text under the headline for the bar's position and maximum: "(17/250)".
std::string progressText(int position, int maximum);

// The verification run of the verify window: walks the list once, unchecks servers whose
// address or port cannot be tested, hands every other one to a pool of up to 20
// VerifyWorker workers and waits for them. Runs on the user-interface thread; the
// workers reach the window, the list and the pool only through ctx.ui->invoke, which the
// run serves in its 100 ms wait steps, so nothing here needs a lock.
class VerifyCoordinator {
 public:
  VerifyCoordinator(serverlist::ServerList& list, runtime::AppContext& ctx, VerifyView& view);
  ~VerifyCoordinator();
  VerifyCoordinator(const VerifyCoordinator&) = delete;
  VerifyCoordinator& operator=(const VerifyCoordinator&) = delete;

  bool cancelled = false;
  bool verifyAll = false;

  // The run (the window's activation). Sets operationDone on every way out.
  void start();
  void cancel();
  void toggleDetails();
  void close();

  // Called by a worker, on the user-interface thread, when it has finished.
  void processResults(int slot, bool alive);
  std::shared_ptr<VerifyWorker> createWorker(int slot);

  // Pool state.
  std::array<std::shared_ptr<VerifyWorker>, kVerifySlotCount> threads{};
  std::array<std::uint8_t, kVerifySlotCount> slotStates{};
  std::int32_t busyCount = 0;

  serverlist::ServerList& list() { return list_; }
  runtime::AppContext& ctx() { return ctx_; }
  VerifyView& view() { return view_; }

  // VrfThreadCount brought into the pool's range 1..20.
  int threadCount() const;

 private:
  void waitPump(std::uint32_t ms);
  void stepProgress();
  void run();
  void waitForCancelledWorkers();

  serverlist::ServerList& list_;
  runtime::AppContext& ctx_;
  VerifyView& view_;
};

}  // namespace ravelin::verify

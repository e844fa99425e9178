#pragma once
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "runtime/app_context.h"
#include "runtime/translate.h"
#include "runtime/worker_pool.h"
#include "serverlist/server_list.h"
#include "verify/udp_status_query.h"
#include "verify/verify_view.h"
#include "verify/verify_worker.h"

namespace ravelin::verify {

// How a verification ended. NetworkDown: not one of at least kNetworkDownMinTested tested
// servers could be reached, so the run put every tested server's check mark back.
enum class VerifyOutcome { Ended, Cancelled, NetworkDown };

// A run that reaches none of this many tested servers or more blames the network, not
// the servers: with fewer, a run of dead servers is too likely to tell the two apart.
inline constexpr int kNetworkDownMinTested = 5;
inline constexpr const char* kNetworkDownText =
    N_("Verification aborted: no server could be reached, the network seems down");
// Logged once by a run that would query the servers' status over UDP (VrfUdpStatus) while
// a SOCKS proxy is configured: the proxy carries TCP only, so nothing is sent.
inline constexpr const char* kUdpStatusProxyText =
    N_("UDP server status not queried: a SOCKS proxy is configured");

// The progress text under the headline for the bar's position and maximum: "(17/250)".
std::string progressText(int position, int maximum);

// The verification run of the verify window: walks the list once, unchecks servers whose
// address or port cannot be tested, hands every other one to a pool of up to 20
// VerifyWorker workers (VrfThreadCount, 1 to 20, told to the view as its slot count) and
// waits for them. Runs on the user-interface thread; the workers reach the window, the
// list and the pool only through ctx.ui->invoke, which the run serves while it waits, so
// nothing here needs a lock.
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
  // How the last run ended.
  VerifyOutcome outcome() const { return outcome_; }
  // The window's Cancel.
  void cancel();
  // The window was closed.
  void close();

  // Called by a worker, on the user-interface thread, when it has finished.
  void processResults(int slot, bool alive);

  serverlist::ServerList& list() { return list_; }
  runtime::AppContext& ctx() { return ctx_; }
  VerifyView& view() { return view_; }
  // What a worker reaches its coordinator through: null once the coordinator is gone, so
  // that a worker that outlived even the bounded wait for it hands over into nothing.
  std::shared_ptr<VerifyCoordinator* const> link() const { return link_; }

 private:
  void stepProgress();
  void run();
  void endCancelledRun();
  // The end of a run that was not cancelled: the verdicts stand, or, when not a single
  // tested server was reached, the tested servers get their check marks back.
  void endRun();
  // With VrfUdpStatus on: the status query of this run, or the log line that says why
  // there is none.
  void startUdpStatus(std::uint32_t timeoutMs);
  // Ends the status query and waits until it has handed over its last answer.
  void stopUdpStatus();

  serverlist::ServerList& list_;
  runtime::AppContext& ctx_;
  VerifyView& view_;
  std::shared_ptr<VerifyCoordinator*> link_ = std::make_shared<VerifyCoordinator*>(this);
  runtime::WorkerPool<VerifyWorker> pool_;
  std::shared_ptr<UdpStatusQuery> udpStatus_;
  // Every server handed to a worker in this run, with its check mark at that moment.
  std::vector<std::pair<std::size_t, bool>> tested_;
  int reached_ = 0;
  VerifyOutcome outcome_ = VerifyOutcome::Ended;
};

}  // namespace ravelin::verify

#pragma once
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "runtime/app_context.h"
#include "runtime/translate.h"
#include "serverlist/server_list.h"
#include "verify/attempt_engine.h"
#include "verify/udp_status_query.h"
#include "verify/verify_view.h"

namespace ravelin::verify {

// How a verification ended. NetworkDown: not one of at least kNetworkDownMinTested tested
// servers could be reached, so the run put every tested server's check mark back.
enum class VerifyOutcome { Ended, Cancelled, NetworkDown };

// A run that reaches none of this many tested servers or more blames the network, not
// the servers: with fewer, a run of dead servers is too likely to tell the two apart. A
// run whose first this many verdicts all came from this machine's own network (down, or
// no route) stops there.
inline constexpr int kNetworkDownMinTested = 5;
inline constexpr const char* kNetworkDownText =
    N_("Verification aborted: no server could be reached, the network seems down");
// Logged once by a run that would query the servers' status over UDP (VrfUdpStatus) while
// a SOCKS proxy is configured: the proxy carries TCP only, so nothing is sent.
inline constexpr const char* kUdpStatusProxyText =
    N_("UDP server status not queried: a SOCKS proxy is configured");

// The progress text under the headline for the bar's position and maximum: "(17/250)".
std::string progressText(int position, int maximum);

// The attempts a run keeps in flight: VrfParallel (VrfProxyParallel through the SOCKS 5
// proxy), within what the process may hold: a share of its descriptors stays free for the
// rest of the program.
std::size_t attemptsInFlight(const runtime::Settings& settings, std::size_t socketLimit);

// The verification run of the verify window: walks the list once, unchecks servers whose
// address or port cannot be tested, and hands every other one to an AttemptEngine that
// keeps attemptsInFlight() connects going at once, then waits for its verdicts. The status
// lines (VrfThreadCount of them, told to the view as its slot count) show the latest
// attempts. Runs on the user-interface thread; the engine hands its outcomes over through
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
  // How the last run ended.
  VerifyOutcome outcome() const { return outcome_; }
  // The window's Cancel.
  void cancel();
  // The window was closed.
  void close();

  // A batch of the engine's outcomes, on the user-interface thread.
  void apply(const std::vector<AttemptEvent>& events);

 private:
  void stepProgress();
  // Shows a line for the attempt of a job: on the row it has when no later attempt took
  // that row since, otherwise on the row that shows the oldest line.
  void showLine(std::size_t job, const char* ending, SlotMark mark);
  // Asks the engine to end and serves the user interface until it has, at most a bounded
  // time, also while the program closes: its loops hand over into this run's list.
  void stopEngine();
  void run();
  void endCancelledRun();
  // Counts a verdict towards the first ones; when they all came from this machine's
  // network, the run ends at once.
  void watchNetwork(AttemptOutcome outcome);
  // The end of a run that was not cancelled: the verdicts stand, or, when not a single
  // tested server was reached or the network was found down, the tested servers get
  // their check marks back.
  void endRun();
  // With VrfUdpStatus on: the status query of this run, or the log line that says why
  // there is none.
  void startUdpStatus(std::uint32_t timeoutMs);
  // Ends the status query and waits until it has handed over its last answer.
  void stopUdpStatus();

  serverlist::ServerList& list_;
  runtime::AppContext& ctx_;
  VerifyView& view_;
  const int rows_;
  std::unique_ptr<AttemptEngine> engine_;
  std::shared_ptr<UdpStatusQuery> udpStatus_;
  bool cancelled_ = false;
  // Every server handed to the engine in this run, with its check mark at that moment.
  std::vector<std::pair<std::size_t, bool>> tested_;
  // The job each status line shows (or none), and the line of each job.
  std::vector<std::size_t> rowJob_;
  std::vector<int> jobRow_;
  std::size_t nextRow_ = 0;
  int done_ = 0;
  int inFlight_ = 0;
  int reached_ = 0;
  // Verdicts given by this machine's network (NoRoute) before any other verdict came.
  int noRouteFirst_ = 0;
  bool networkDown_ = false;
  VerifyOutcome outcome_ = VerifyOutcome::Ended;
};

}  // namespace ravelin::verify

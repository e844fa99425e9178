#include "verify/verify_coordinator.h"

#include <algorithm>

#include "platform/socket_limit.h"
#include "platform/text.h"
#include "runtime/translate.h"
#include "runtime/ui_thread.h"
#include "serverlist/batch_scope.h"
#include "serverlist/ip_port.h"

namespace ravelin::verify {

namespace {
// How long a cancelled run waits for its loops to end; they notice within moments.
constexpr std::uint32_t kCancelWaitMs = 10000;
// How long a window shows the last verdicts of a run.
constexpr std::uint32_t kVerdictPauseMs = 500;
}  // namespace

std::string progressText(int position, int maximum) {
  std::string text(1, '(');
  text += std::to_string(position);
  text += '/';
  text += std::to_string(maximum);
  text += ')';
  return text;
}

std::size_t attemptsInFlight(const runtime::Settings& settings, std::size_t socketLimit) {
  // Descriptors kept for everything else the program holds open during a run.
  constexpr std::size_t kReserved = 64;
  const int wanted = settings.ProxyAddr.empty() ? settings.VrfParallel : settings.VrfProxyParallel;
  const std::size_t room = socketLimit > kReserved + 1 ? socketLimit - kReserved : 1;
  return std::clamp(static_cast<std::size_t>(std::max(wanted, 1)), std::size_t{1}, room);
}

VerifyCoordinator::VerifyCoordinator(serverlist::ServerList& list, runtime::AppContext& ctx,
                                     VerifyView& view)
    : list_(list),
      ctx_(ctx),
      view_(view),
      rows_(std::clamp(ctx.settings.VrfThreadCount, 1, kVerifySlotCount)) {
  view_.setSlotCount(rows_);
}

// A run that ended by an exception may leave its engine running: it is told to end and
// waited for, since its loops hand their verdicts over to this coordinator.
VerifyCoordinator::~VerifyCoordinator() {
  view_.setCancelHandler(nullptr);
  try {
    stopEngine();
  } catch (...) {
    // An event served while waiting failed; the engine, once gone, hands over nothing.
  }
  engine_.reset();
}

void VerifyCoordinator::stopEngine() {
  if (!engine_) return;
  engine_->requestTerminate();
  const auto ended = [this] { return engine_->settled(); };
  const std::uint32_t start = ctx_.clock->ticks();
  while (!ended() && ctx_.clock->ticks() - start < kCancelWaitMs)
    runtime::waitUntil(*ctx_.ui, *ctx_.clock, 100, ended);
  engine_.reset();
}

void VerifyCoordinator::showLine(std::size_t job, const char* ending, SlotMark mark) {
  int row = jobRow_[job];
  if (row < 0 || rowJob_[static_cast<std::size_t>(row)] != job) {
    row = static_cast<int>(nextRow_++ % static_cast<std::size_t>(rows_));
    rowJob_[static_cast<std::size_t>(row)] = job;
    jobRow_[job] = row;
  }
  const AttemptJob& j = engine_->jobs()[job];
  view_.setSlotMark(row, mark);
  view_.setSlotCaption(row, runtime::fillIn(_(ending), {"Host (" + j.address + ":" + j.port}));
}

void VerifyCoordinator::apply(const std::vector<AttemptEvent>& events) {
  runtime::ProgressBar& bar = view_.progressBar();
  for (const AttemptEvent& e : events) {
    bool alive = false;
    switch (e.outcome) {
      case AttemptOutcome::Contacted:
        ++inFlight_;
        showLine(e.job, N_("%s) has been contacted! Waiting for connection..."), SlotMark::Neutral);
        continue;
      case AttemptOutcome::Accepted:
        alive = true;
        ++reached_;
        showLine(e.job, N_("%s) accepted the connection!"), SlotMark::Ok);
        break;
      case AttemptOutcome::Refused:
      case AttemptOutcome::NoRoute:
        showLine(e.job, N_("%s) refused the connection!"), SlotMark::Failed);
        break;
      case AttemptOutcome::TimedOut:
        showLine(e.job, N_("%s) timed out!"), SlotMark::Failed);
        break;
      case AttemptOutcome::Interrupted:
        // Cancelled before its verdict: the server keeps its check mark.
        alive = true;
        break;
      case AttemptOutcome::Failed:
        break;
    }
    watchNetwork(e.outcome);
    --inFlight_;
    ++done_;
    bar.stepIt();
    const std::size_t row = engine_->jobs()[e.job].row;
    // Inside the run's batch: the status is recounted once the run ends.
    if (row < list_.size()) list_.setChecked(row, alive);
  }
  view_.setDescription(progressText(bar.position(), bar.max()));
  view_.setCounts(done_, reached_, inFlight_);
}

// Offline, every connect fails at once with this machine's own answer: the first verdicts
// tell, and the rest of a long list need not be tried.
void VerifyCoordinator::watchNetwork(AttemptOutcome outcome) {
  if (networkDown_ || done_ != noRouteFirst_ || done_ >= kNetworkDownMinTested) return;
  if (outcome != AttemptOutcome::NoRoute) return;
  if (++noRouteFirst_ < kNetworkDownMinTested) return;
  networkDown_ = true;
  engine_->requestTerminate();
  if (udpStatus_) udpStatus_->requestTerminate();
}

void VerifyCoordinator::cancel() {
  cancelled_ = true;
  if (engine_) engine_->requestTerminate();
  if (udpStatus_) udpStatus_->requestTerminate();
  view_.setHeadline(_("Waiting for working threads to close..."));
}

void VerifyCoordinator::close() {
  ctx_.state.operationDone = true;
}

void VerifyCoordinator::stepProgress() {
  runtime::ProgressBar& bar = view_.progressBar();
  bar.stepIt();
  view_.setDescription(progressText(bar.position(), bar.max()));
}

void VerifyCoordinator::start() {
  view_.setCancelHandler([this] { cancel(); });
  struct Finish {
    VerifyCoordinator& c;
    // Every way out ends the caller's wait.
    ~Finish() {
      try {
        c.stopEngine();
        c.stopUdpStatus();
      } catch (...) {
      }
      c.ctx_.state.operationDone = true;
      c.view_.setCancelHandler(nullptr);
    }
  } finish{*this};
  run();
}

// Interrupted attempts hand over their last result at once. The engine is waited for
// here, so that no hand-over of this run arrives after it ended, when the list may have
// changed under the row it carries.
void VerifyCoordinator::endCancelledRun() {
  outcome_ = VerifyOutcome::Cancelled;
  stopEngine();
  stopUdpStatus();
  ctx_.log.writeLog("Verification cancelled");
}

void VerifyCoordinator::startUdpStatus(std::uint32_t timeoutMs) {
  if (!ctx_.settings.VrfUdpStatus) return;
  if (!ctx_.settings.ProxyAddr.empty()) {
    ctx_.log.writeLog(kUdpStatusProxyText);
    return;
  }
  udpStatus_ = std::make_shared<UdpStatusQuery>(list_, ctx_, timeoutMs);
  udpStatus_->resume();
}

// The query hands its answers over through the user interface, which is served here
// until it has ended.
void VerifyCoordinator::stopUdpStatus() {
  if (!udpStatus_) return;
  std::shared_ptr<UdpStatusQuery> query = std::move(udpStatus_);
  query->requestTerminate();
  // Also while the program closes: the query hands over into this run's list.
  const auto ended = [&query] { return query->finished() || !query->started(); };
  const std::uint32_t start = ctx_.clock->ticks();
  while (!ended() && ctx_.clock->ticks() - start < kCancelWaitMs)
    runtime::waitUntil(*ctx_.ui, *ctx_.clock, 100, ended);
}

// Offline, every attempt fails at once and the usual "verify, then save" would uncheck
// and then drop the whole list. A list of five or more servers of which not one answers
// says more about this machine's network than about the servers.
void VerifyCoordinator::endRun() {
  if (!networkDown_ &&
      (tested_.size() < static_cast<std::size_t>(kNetworkDownMinTested) || reached_ > 0)) {
    ctx_.log.writeLog("Verification ended successfully");
    return;
  }
  for (const auto& [index, wasChecked] : tested_)
    if (index < list_.size()) list_.setChecked(index, wasChecked);
  outcome_ = VerifyOutcome::NetworkDown;
  ctx_.log.writeLog(kNetworkDownText);
}

void VerifyCoordinator::run() {
  // The check marks change one by one: counted once, when the run ends.
  serverlist::BatchScope batch(list_);
  tested_.clear();
  rowJob_.assign(static_cast<std::size_t>(rows_), static_cast<std::size_t>(-1));
  jobRow_.clear();
  nextRow_ = 0;
  done_ = inFlight_ = reached_ = noRouteFirst_ = 0;
  cancelled_ = networkDown_ = false;
  outcome_ = VerifyOutcome::Ended;
  const std::size_t n = list_.size();
  const std::string count = std::to_string(n);
  ctx_.log.writeLog("Verifying " + count + " server IPs");
  view_.setHeadline(runtime::fillIn(_("Verifying %s server IPs..."), {count}));
  view_.setDescription(progressText(0, static_cast<int>(n)));
  runtime::ProgressBar& bar = view_.progressBar();
  bar.setPosition(0);
  bar.setMax(static_cast<int>(n));
  bar.setStep(1);

  const std::uint32_t timeoutMs =
      static_cast<std::uint32_t>(std::max(0, ctx_.settings.VrfTimeout)) * 1000u;
  std::vector<AttemptJob> jobs;
  for (std::size_t i = 0; i < n; ++i) {
    const serverlist::ServerEntry& entry = list_[i];
    if (!verifyAll && !entry.checked) {
      stepProgress();
      continue;
    }
    const std::string address = platform::trimText(entry.server.ip);
    if (!serverlist::isValidIP(address) || entry.server.port == "0") {
      list_.setChecked(i, false);
      stepProgress();
      continue;
    }
    tested_.emplace_back(i, entry.checked);
    jobs.push_back({i, address, platform::trimText(entry.server.port)});
  }
  startUdpStatus(timeoutMs);
  if (udpStatus_)
    for (const AttemptJob& j : jobs) udpStatus_->ask(j.address, j.port, j.row);

  AttemptSettings settings;
  settings.timeoutMs = timeoutMs;
  settings.parallel = attemptsInFlight(ctx_.settings, platform::raiseSocketLimit());
  settings.proxyAddr = ctx_.settings.ProxyAddr;
  if (ctx_.settings.ProxyPort > 0 && ctx_.settings.ProxyPort <= 65535)
    settings.proxyPort = static_cast<std::uint16_t>(ctx_.settings.ProxyPort);
  const std::size_t total = jobs.size();
  jobRow_.assign(total, -1);
  engine_ = std::make_unique<AttemptEngine>(
      *ctx_.ui, *ctx_.clock, settings, std::move(jobs),
      [this](const std::vector<AttemptEvent>& events) { apply(events); });
  engine_->start();
  // A loop that ended early (its hand-over failed) has nothing more to give either.
  const auto over = [this, total] {
    return static_cast<std::size_t>(done_) == total || cancelled_ || networkDown_ ||
           engine_->settled();
  };
  while (!over()) runtime::waitUntil(*ctx_.ui, *ctx_.clock, 1000, over);
  if (cancelled_) return endCancelledRun();
  stopEngine();
  if (networkDown_) {
    stopUdpStatus();
    return endRun();
  }
  if (udpStatus_) {
    // Answers still on their way get the time-out (and the query's polling step) to come.
    const auto answered = [this] { return udpStatus_->settled() || cancelled_; };
    runtime::waitUntil(*ctx_.ui, *ctx_.clock, timeoutMs + 2 * UdpStatusQuery::kPollMs, answered);
    if (cancelled_) return endCancelledRun();
    stopUdpStatus();
  }
  // A window keeps the last verdicts readable for a moment before it closes.
  if (view_.keepsDisplayPauses()) runtime::pauseFunc(*ctx_.ui, *ctx_.clock, kVerdictPauseMs);
  endRun();
}

}  // namespace ravelin::verify

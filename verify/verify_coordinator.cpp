#include "verify/verify_coordinator.h"

#include <algorithm>

#include "platform/text.h"
#include "runtime/translate.h"
#include "runtime/ui_thread.h"
#include "serverlist/batch_scope.h"
#include "serverlist/ip_port.h"

namespace ravelin::verify {

namespace {
// How long a cancelled run waits for its workers to end; they notice within moments.
constexpr std::uint32_t kCancelWaitMs = 10000;
}  // namespace

std::string progressText(int position, int maximum) {
  std::string text(1, '(');
  text += std::to_string(position);
  text += '/';
  text += std::to_string(maximum);
  text += ')';
  return text;
}

VerifyCoordinator::VerifyCoordinator(serverlist::ServerList& list, runtime::AppContext& ctx,
                                     VerifyView& view)
    : list_(list),
      ctx_(ctx),
      view_(view),
      pool_(std::clamp(ctx.settings.VrfThreadCount, 1, kVerifySlotCount),
            [this](int slot) { return std::make_shared<VerifyWorker>(*this, slot); }) {
  view_.setSlotCount(pool_.size());
}

// A run that ended by an exception may leave workers running: they are told to end and
// waited for, since each one hands its verdict over to this coordinator.
VerifyCoordinator::~VerifyCoordinator() {
  view_.setCancelHandler(nullptr);
  if (pool_.anyRunning()) {
    pool_.cancel();
    try {
      pool_.waitForWorkers(*ctx_.ui, *ctx_.clock, kCancelWaitMs);
    } catch (...) {
      // An event served while waiting failed; the link below still keeps the workers out.
    }
  }
  *link_ = nullptr;
}

void VerifyCoordinator::processResults(int slot, bool alive) {
  if (alive) ++reached_;
  view_.setSlotMark(slot, SlotMark::Neutral);
  view_.setSlotCaption(slot, _(kThreadNotUsed));
  pool_.release(slot);
}

void VerifyCoordinator::cancel() {
  pool_.cancel();
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
        c.stopUdpStatus();
      } catch (...) {
      }
      c.ctx_.state.operationDone = true;
      c.view_.setCancelHandler(nullptr);
    }
  } finish{*this};
  run();
}

// Cancelled workers stop at once and hand over their last result. They are waited for
// here, so that no hand-over of this run arrives after it ended, when the list may have
// changed under the item index it carries.
void VerifyCoordinator::endCancelledRun() {
  outcome_ = VerifyOutcome::Cancelled;
  pool_.waitForWorkers(*ctx_.ui, *ctx_.clock, kCancelWaitMs);
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
  if (tested_.size() < static_cast<std::size_t>(kNetworkDownMinTested) || reached_ > 0) {
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
  reached_ = 0;
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
  const bool displayPauses = view_.keepsDisplayPauses();
  const auto freeSlotOrCancel = [this] { return !pool_.full() || pool_.cancelled(); };
  startUdpStatus(timeoutMs);

  for (std::size_t i = 0; i < n; ++i) {
    const serverlist::ServerEntry& entry = list_[i];
    if (!verifyAll && !entry.checked) {
      stepProgress();
      continue;
    }
    const std::string address = platform::trimText(entry.server.ip);
    if (!serverlist::isValidIP(address)) {
      list_.setChecked(i, false);
      stepProgress();
      continue;
    }
    if (entry.server.port == "0") {
      list_.setChecked(i, false);
      stepProgress();
      continue;
    }
    const std::string port = platform::trimText(entry.server.port);
    while (!freeSlotOrCancel()) runtime::waitUntil(*ctx_.ui, *ctx_.clock, 500, freeSlotOrCancel);
    if (pool_.cancelled()) return endCancelledRun();
    tested_.emplace_back(i, entry.checked);
    std::shared_ptr<VerifyWorker> worker = pool_.acquire();
    worker->address = address;
    worker->portText = port;
    worker->itemIndex = static_cast<std::int32_t>(i);
    worker->timeoutMs = timeoutMs;
    worker->displayPauses = displayPauses;
    worker->resume();
    if (udpStatus_) udpStatus_->ask(address, port, i);
  }
  // A cancelled worker keeps its slot, so Cancel during this last wait ends it as well.
  const auto allDone = [this] { return pool_.busyCount() == 0 || pool_.cancelled(); };
  while (!allDone()) runtime::waitUntil(*ctx_.ui, *ctx_.clock, 1000, allDone);
  if (pool_.cancelled()) return endCancelledRun();
  if (udpStatus_) {
    // Answers still on their way get the time-out (and the query's polling step) to come.
    const auto answered = [this] { return udpStatus_->settled() || pool_.cancelled(); };
    runtime::waitUntil(*ctx_.ui, *ctx_.clock, timeoutMs + 2 * UdpStatusQuery::kPollMs, answered);
    if (pool_.cancelled()) return endCancelledRun();
    stopUdpStatus();
  }
  endRun();
}

}  // namespace ravelin::verify

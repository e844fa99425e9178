#include "verify/verify_coordinator.h"

#include <algorithm>

#include "platform/text.h"
#include "platform/ticks.h"
#include "runtime/ui_thread.h"
#include "serverlist/ip_port.h"

namespace ravelin::verify {

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
    : list_(list), ctx_(ctx), view_(view) {}

VerifyCoordinator::~VerifyCoordinator() {
  if (view_.coordinator == this) view_.coordinator = nullptr;
}

int VerifyCoordinator::threadCount() const {
  return std::clamp(ctx_.settings.VrfThreadCount, 1, kVerifySlotCount);
}

void VerifyCoordinator::waitPump(std::uint32_t ms) {
  runtime::pauseFunc(*ctx_.ui, ms);
}

std::shared_ptr<VerifyWorker> VerifyCoordinator::createWorker(int slot) {
  auto t = std::make_shared<VerifyWorker>(*this, slot);
  threads[static_cast<std::size_t>(slot)] = t;
  slotStates[static_cast<std::size_t>(slot)] = 1;
  return t;
}

void VerifyCoordinator::processResults(int slot, bool /*alive*/) {
  view_.setSlotColor(slot, kColorBtnFace);
  view_.setSlotCaption(slot, kThreadNotUsed);
  slotStates[static_cast<std::size_t>(slot)] = 0;
  --busyCount;
}

void VerifyCoordinator::cancel() {
  cancelled = true;
  view_.setHeadline("Waiting for working threads to close...");
}

void VerifyCoordinator::toggleDetails() {
  if (view_.detailsCaption() == kDetailsHiddenCaption) {
    view_.setDetailsCaption(kDetailsShownCaption);
    view_.setHeight(kVerifyHeightWithDetails);
  } else if (view_.detailsCaption() == kDetailsShownCaption) {
    view_.setDetailsCaption(kDetailsHiddenCaption);
    view_.setHeight(kVerifyHeightWithoutDetails);
  }
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
  view_.coordinator = this;
  try {
    run();
  } catch (...) {
    // Every way out ends the caller's wait.
    ctx_.state.operationDone = true;
    view_.coordinator = nullptr;
    throw;
  }
  view_.coordinator = nullptr;
}

// Cancelled workers stop within one 100 ms step and hand over their last result. They
// are waited for here, so that no hand-over of this run arrives after it ended, when the
// list may have changed under the item index it carries.
void VerifyCoordinator::waitForCancelledWorkers() {
  const std::uint32_t start = platform::ticks();
  const std::uint32_t bound = 10000;
  for (;;) {
    bool running = false;
    for (auto& t : threads)
      if (t && t->started() && !t->finished()) running = true;
    if (!running || platform::ticks() - start >= bound) return;
    waitPump(100);
  }
}

void VerifyCoordinator::run() {
  toggleDetails();
  busyCount = 0;
  cancelled = false;
  const std::size_t n = list_.size();
  const std::string count = std::to_string(n);
  ctx_.log.writeLog("Verifying " + count + " server IPs");
  view_.setHeadline("Verifying " + count + " server IPs...");
  view_.setDescription(progressText(0, static_cast<int>(n)));
  runtime::ProgressBar& bar = view_.progressBar();
  bar.setPosition(0);
  bar.setMax(static_cast<int>(n));
  bar.setStep(1);
  threads.fill(nullptr);
  slotStates.fill(0);

  const int slots = threadCount();
  const std::uint32_t timeoutMs =
      static_cast<std::uint32_t>(std::max(0, ctx_.settings.VrfTimeout)) * 1000u;

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
    while (busyCount == slots && !cancelled) waitPump(500);
    if (cancelled) {
      for (auto& t : threads)
        if (t && !t->finished()) t->requestTerminate();
      waitForCancelledWorkers();
      ctx_.state.operationDone = true;
      return;
    }
    for (int s = 0; s < slots; ++s) {
      const auto slot = static_cast<std::size_t>(s);
      if (slotStates[slot] == 0) createWorker(s);
      if (slotStates[slot] == 1) {
        ++busyCount;
        VerifyWorker& t = *threads[slot];
        t.address = address;
        t.portText = port;
        t.itemIndex = static_cast<std::int32_t>(i);
        t.timeoutMs = timeoutMs;
        slotStates[slot] = 2;
        t.resume();
        break;
      }
    }
  }
  while (busyCount > 0) waitPump(1000);
  list_.recount();
  ctx_.state.operationDone = true;
  ctx_.log.writeLog("Verification ended successfully");
}

}  // namespace ravelin::verify

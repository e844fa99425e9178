#include "verify/verify_coordinator.h"

#include <algorithm>

#include "app/ui_thread.h"
#include "platform/ticks.h"
#include "serverlist/ip_port.h"

std::string ProgressText(int position, int maximum) {
  std::string text(1, '(');
  text += std::to_string(position);
  text += '/';
  text += std::to_string(maximum);
  text += ')';
  return text;
}

VerifyCoordinator::VerifyCoordinator(ServerList& list, AppContext& ctx, VerifyView& view)
    : list_(list), ctx_(ctx), view_(view) {}

VerifyCoordinator::~VerifyCoordinator() {
  if (view_.coordinator == this) view_.coordinator = nullptr;
}

int VerifyCoordinator::threadCount() const {
  return std::clamp(ctx_.settings.VrfThreadCount, 1, kVerifySlotCount);
}

void VerifyCoordinator::WaitPump(std::uint32_t ms) {
  PauseFunc(*ctx_.ui, ms);
}

std::shared_ptr<TVerifyThread> VerifyCoordinator::CreateThread(int slot) {
  auto t = std::make_shared<TVerifyThread>(*this, slot);
  threads[static_cast<std::size_t>(slot)] = t;
  slotStates[static_cast<std::size_t>(slot)] = 1;
  return t;
}

void VerifyCoordinator::ProcessResults(int slot, bool /*alive*/) {
  view_.setSlotColor(slot, kColorBtnFace);
  view_.setSlotCaption(slot, kThreadNotUsed);
  slotStates[static_cast<std::size_t>(slot)] = 0;
  --busyCount;
}

void VerifyCoordinator::btnCancelClick() {
  Cancelled = true;
  view_.setHeadline("Waiting for working threads to close...");
}

void VerifyCoordinator::btnDetailsClick() {
  if (view_.detailsCaption() == kDetailsHiddenCaption) {
    view_.setDetailsCaption(kDetailsShownCaption);
    view_.setHeight(kVerifyHeightWithDetails);
  } else if (view_.detailsCaption() == kDetailsShownCaption) {
    view_.setDetailsCaption(kDetailsHiddenCaption);
    view_.setHeight(kVerifyHeightWithoutDetails);
  }
}

void VerifyCoordinator::FormClose() {
  ctx_.state.OperationDone = true;
}

void VerifyCoordinator::stepProgress() {
  ProgressBar& bar = view_.progressBar();
  bar.stepIt();
  view_.setDescription(ProgressText(bar.position(), bar.max()));
}

void VerifyCoordinator::FormActivate() {
  view_.coordinator = this;
  try {
    run();
  } catch (...) {
    // Every way out ends the caller's wait.
    ctx_.state.OperationDone = true;
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
    WaitPump(100);
  }
}

void VerifyCoordinator::run() {
  btnDetailsClick();
  busyCount = 0;
  Cancelled = false;
  const std::size_t n = list_.size();
  const std::string count = std::to_string(n);
  ctx_.log.WriteLog("Verifying " + count + " server IPs");
  view_.setHeadline("Verifying " + count + " server IPs...");
  view_.setDescription(ProgressText(0, static_cast<int>(n)));
  ProgressBar& bar = view_.progressBar();
  bar.setPosition(0);
  bar.setMax(static_cast<int>(n));
  bar.setStep(1);
  threads.fill(nullptr);
  slotStates.fill(0);

  const int slots = threadCount();
  const std::uint32_t timeoutMs =
      static_cast<std::uint32_t>(std::max(0, ctx_.settings.VrfTimeout)) * 1000u;

  for (std::size_t i = 0; i < n; ++i) {
    const ServerEntry& entry = list_[i];
    if (!VerifyAll && !entry.checked) {
      stepProgress();
      continue;
    }
    const std::string address = TrimText(entry.server.IP);
    if (!IsValidIP(address)) {
      list_.setChecked(i, false);
      stepProgress();
      continue;
    }
    if (entry.server.Port == "0") {
      list_.setChecked(i, false);
      stepProgress();
      continue;
    }
    const std::string port = TrimText(entry.server.Port);
    while (busyCount == slots && !Cancelled) WaitPump(500);
    if (Cancelled) {
      for (auto& t : threads)
        if (t && !t->finished()) t->requestTerminate();
      waitForCancelledWorkers();
      ctx_.state.OperationDone = true;
      return;
    }
    for (int s = 0; s < slots; ++s) {
      const auto slot = static_cast<std::size_t>(s);
      if (slotStates[slot] == 0) CreateThread(s);
      if (slotStates[slot] == 1) {
        ++busyCount;
        TVerifyThread& t = *threads[slot];
        t.Address = address;
        t.PortText = port;
        t.ItemIndex = static_cast<std::int32_t>(i);
        t.TimeoutMs = timeoutMs;
        slotStates[slot] = 2;
        t.resume();
        break;
      }
    }
  }
  while (busyCount > 0) WaitPump(1000);
  list_.recount();
  ctx_.state.OperationDone = true;
  ctx_.log.WriteLog("Verification ended successfully");
}

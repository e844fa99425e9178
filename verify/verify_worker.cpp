#include "verify/verify_worker.h"

#include "runtime/ui_thread.h"
#include "platform/ticks.h"
#include "verify/verify_coordinator.h"
#include "net/async_socket.h"

VerifyWorker::VerifyWorker(VerifyCoordinator& owner, int slot)
    : StatusColor(kColorBtnFace),
      Slot(slot),
      owner_(owner),
      ui_(*owner.ctx().ui),
      proxyAddr_(owner.ctx().settings.ProxyAddr),
      proxyPort_(owner.ctx().settings.ProxyPort) {}

VerifyWorker::~VerifyWorker() = default;

void VerifyWorker::setStatus(const std::string& text, std::uint32_t color) {
  StatusText = text;
  StatusColor = color;
  ui_.invoke([this] { showStatus(); });
}

void VerifyWorker::showStatus() {
  owner_.view().setSlotColor(Slot, StatusColor);
  owner_.view().setSlotCaption(Slot, StatusText);
}

void VerifyWorker::applyResult() {
  VerifyView& view = owner_.view();
  ProgressBar& bar = view.progressBar();
  bar.setStep(1);
  bar.stepIt();
  view.setDescription(progressText(bar.position(), bar.max()));
  ServerList& list = owner_.list();
  if (ItemIndex >= 0 && static_cast<std::size_t>(ItemIndex) < list.size()) {
    list.statusCounting = false;
    list.setChecked(static_cast<std::size_t>(ItemIndex), Alive);
    list.statusCounting = true;
  }
}

void VerifyWorker::releaseSlot() {
  owner_.processResults(Slot, Alive);
}

void VerifyWorker::sessionConnected(AsyncSocket&, std::uint16_t error) {
  Alive = error == 0;
  Done = true;
}

void VerifyWorker::socketFailed(AsyncSocket&) {
  Alive = false;
  Done = true;
}

void VerifyWorker::waitForOutcome(std::uint32_t ms, bool checkTimeout) {
  const std::uint32_t end = platform::ticks() + ms;
  for (;;) {
    platform::sleepMs(100);
    if (checkTimeout && platform::ticks() - StartTick >= TimeoutMs) {
      TimedOut = true;
      Alive = false;
      Done = true;
    }
    if (terminated()) return;
    loop_->processPending();
    // "now >= end" on a wrapping counter.
    if (static_cast<std::int32_t>(platform::ticks() - end) >= 0 || ui_.terminating()) return;
  }
}

void VerifyWorker::execute() {
  if (terminated()) return;
  platform::EventLoop loop;
  loop_ = &loop;
  std::unique_ptr<AsyncSocket> socket;
  const std::string host = "Host (" + Address + ":" + PortText;
  try {
    socket = std::make_unique<AsyncSocket>(loop);
    socket->setProto("tcp");
    socket->setPort(PortText);
    socket->setAddr(Address);
    socket->setMultiThreaded(true);
    if (!proxyAddr_.empty()) {
      socket->setSocksServer(proxyAddr_);
      socket->setSocksPort(std::to_string(proxyPort_));
    }
    socket->onSessionConnected = [this](AsyncSocket& s, std::uint16_t e) { sessionConnected(s, e); };
    socket->onError = [this](AsyncSocket& s) { socketFailed(s); };
    Done = false;
    TimedOut = false;
    Alive = false;
    setStatus(host + ") has been contacted! Waiting for connection...", kColorBtnFace);
    socket->connect();
    StartTick = platform::ticks();
    while (!Done && !terminated()) waitForOutcome(100);
    socket->close();
    if (terminated()) {
      // Cancelled: the server keeps its check mark and the slot stays taken, since the
      // run hands out nothing more.
      socket.reset();
      Alive = true;
      ui_.invoke([this] { applyResult(); });
      return;
    }
    if (Alive)
      setStatus(host + ") accepted the connection!", kColorGreen);
    else if (TimedOut)
      setStatus(host + ") timed out!", kColorRed);
    else
      setStatus(host + ") refused the connection!", kColorRed);
    socket.reset();
    // Keeps the verdict readable; it does not change any more.
    waitForOutcome(500, /*checkTimeout=*/false);
    if (terminated()) {
      ui_.invoke([this] { applyResult(); });
      return;
    }
    ui_.invoke([this] { applyResult(); });
    ui_.invoke([this] { releaseSlot(); });
  } catch (...) {
    // A failure that the socket raised instead of reporting: no verdict line, the
    // current verdict applied and the slot handed back, so the run never waits for us.
    socket.reset();
    try {
      ui_.invoke([this] { applyResult(); });
      ui_.invoke([this] { releaseSlot(); });
    } catch (...) {
    }
  }
}

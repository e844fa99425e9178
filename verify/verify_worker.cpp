#include "verify/verify_worker.h"

#include "net/async_socket.h"
#include "platform/ticks.h"
#include "runtime/ui_thread.h"
#include "verify/verify_coordinator.h"

namespace ravelin::verify {

VerifyWorker::VerifyWorker(VerifyCoordinator& owner, int slot)
    : statusColor(kColorBtnFace),
      slot(slot),
      owner_(owner),
      ui_(*owner.ctx().ui),
      proxyAddr_(owner.ctx().settings.ProxyAddr),
      proxyPort_(owner.ctx().settings.ProxyPort) {}

VerifyWorker::~VerifyWorker() = default;

void VerifyWorker::setStatus(const std::string& text, std::uint32_t color) {
  statusText = text;
  statusColor = color;
  ui_.invoke([this] { showStatus(); });
}

void VerifyWorker::showStatus() {
  owner_.view().setSlotColor(slot, statusColor);
  owner_.view().setSlotCaption(slot, statusText);
}

void VerifyWorker::applyResult() {
  VerifyView& view = owner_.view();
  runtime::ProgressBar& bar = view.progressBar();
  bar.setStep(1);
  bar.stepIt();
  view.setDescription(progressText(bar.position(), bar.max()));
  serverlist::ServerList& list = owner_.list();
  if (itemIndex >= 0 && static_cast<std::size_t>(itemIndex) < list.size()) {
    list.statusCounting = false;
    list.setChecked(static_cast<std::size_t>(itemIndex), alive);
    list.statusCounting = true;
  }
}

void VerifyWorker::releaseSlot() {
  owner_.processResults(slot, alive);
}

void VerifyWorker::sessionConnected(net::AsyncSocket&, std::uint16_t error) {
  alive = error == 0;
  done = true;
}

void VerifyWorker::socketFailed(net::AsyncSocket&) {
  alive = false;
  done = true;
}

void VerifyWorker::waitForOutcome(std::uint32_t ms, bool checkTimeout) {
  const std::uint32_t end = platform::ticks() + ms;
  for (;;) {
    platform::sleepMs(100);
    if (checkTimeout && platform::ticks() - startTick >= timeoutMs) {
      timedOut = true;
      alive = false;
      done = true;
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
  std::unique_ptr<net::AsyncSocket> socket;
  const std::string host = "Host (" + address + ":" + portText;
  try {
    socket = std::make_unique<net::AsyncSocket>(loop);
    socket->setProto("tcp");
    socket->setPort(portText);
    socket->setAddr(address);
    socket->setMultiThreaded(true);
    if (!proxyAddr_.empty()) {
      socket->setSocksServer(proxyAddr_);
      socket->setSocksPort(std::to_string(proxyPort_));
    }
    socket->onSessionConnected = [this](net::AsyncSocket& s, std::uint16_t e) {
      sessionConnected(s, e);
    };
    socket->onError = [this](net::AsyncSocket& s) { socketFailed(s); };
    done = false;
    timedOut = false;
    alive = false;
    setStatus(host + ") has been contacted! Waiting for connection...", kColorBtnFace);
    socket->connect();
    startTick = platform::ticks();
    while (!done && !terminated()) waitForOutcome(100);
    socket->close();
    if (terminated()) {
      // Cancelled: the server keeps its check mark and the slot stays taken, since the
      // run hands out nothing more.
      socket.reset();
      alive = true;
      ui_.invoke([this] { applyResult(); });
      return;
    }
    if (alive)
      setStatus(host + ") accepted the connection!", kColorGreen);
    else if (timedOut)
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

}  // namespace ravelin::verify

#include "verify/verify_worker.h"

#include "net/async_socket.h"
#include "runtime/translate.h"
#include "runtime/ui_thread.h"
#include "verify/verify_coordinator.h"

namespace ravelin::verify {

VerifyWorker::VerifyWorker(VerifyCoordinator& owner, int slot)
    : slot(slot),
      owner_(owner.link()),
      ui_(*owner.ctx().ui),
      clock_(*owner.ctx().clock),
      proxyAddr_(owner.ctx().settings.ProxyAddr),
      proxyPort_(owner.ctx().settings.ProxyPort) {}

VerifyWorker::~VerifyWorker() = default;

void VerifyWorker::setStatus(const std::string& text, SlotMark mark) {
  statusText = text;
  statusMark = mark;
  ui_.invoke([this] { showStatus(); });
}

void VerifyWorker::showStatus() {
  VerifyCoordinator* owner = *owner_;
  if (!owner) return;
  owner->view().setSlotMark(slot, statusMark);
  owner->view().setSlotCaption(slot, statusText);
}

void VerifyWorker::applyResult() {
  VerifyCoordinator* owner = *owner_;
  if (!owner) return;
  VerifyView& view = owner->view();
  runtime::ProgressBar& bar = view.progressBar();
  bar.setStep(1);
  bar.stepIt();
  view.setDescription(progressText(bar.position(), bar.max()));
  serverlist::ServerList& list = owner->list();
  if (itemIndex >= 0 && static_cast<std::size_t>(itemIndex) < list.size()) {
    // Inside the run's batch: the status is recounted once the run ends.
    list.setChecked(static_cast<std::size_t>(itemIndex), alive);
  }
}

void VerifyWorker::releaseSlot() {
  if (VerifyCoordinator* owner = *owner_) owner->processResults(slot, alive);
}

void VerifyWorker::sessionConnected(net::AsyncSocket&, std::uint16_t error) {
  alive = error == 0;
  done = true;
}

void VerifyWorker::socketFailed(net::AsyncSocket&) {
  alive = false;
  done = true;
}

void VerifyWorker::awaitOutcome() {
  while (!done && !terminated()) {
    const std::uint32_t passed = clock_.ticks() - startTick;
    if (passed >= timeoutMs) {
      timedOut = true;
      alive = false;
      done = true;
      return;
    }
    // Ends early on the socket's events and on a termination request (which wakes it).
    loop_->waitAndProcess(clock_.blockSliceMs(timeoutMs - passed));
  }
}

void VerifyWorker::holdVerdict(std::uint32_t ms) {
  const std::uint32_t start = clock_.ticks();
  for (std::uint32_t passed = 0; passed < ms && !terminated() && !ui_.terminating();
       passed = clock_.ticks() - start)
    loop_->waitAndProcess(clock_.blockSliceMs(ms - passed));
}

void VerifyWorker::execute() {
  if (terminated()) return;
  platform::EventLoop loop;
  loop_ = &loop;
  attachLoop(&loop);
  struct Detach {
    VerifyWorker& w;
    ~Detach() { w.attachLoop(nullptr); }
  } detach{*this};
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
    setStatus(runtime::fillIn(_("%s) has been contacted! Waiting for connection..."), {host}),
              SlotMark::Neutral);
    socket->connect();
    startTick = clock_.ticks();
    awaitOutcome();
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
      setStatus(runtime::fillIn(_("%s) accepted the connection!"), {host}), SlotMark::Ok);
    else if (timedOut)
      setStatus(runtime::fillIn(_("%s) timed out!"), {host}), SlotMark::Failed);
    else
      setStatus(runtime::fillIn(_("%s) refused the connection!"), {host}), SlotMark::Failed);
    socket.reset();
    if (displayPauses) holdVerdict(500);
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

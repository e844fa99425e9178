#include "verify/verify_thread.h"

#include "app/ui_thread.h"
#include "platform/ticks.h"
#include "verify/verify_coordinator.h"
#include "verify/wsocket.h"

TVerifyThread::TVerifyThread(VerifyCoordinator& owner, int slot)
    : StatusColor(kColorBtnFace),
      Slot(slot),
      owner_(owner),
      ui_(*owner.ctx().ui),
      proxyAddr_(owner.ctx().settings.ProxyAddr),
      proxyPort_(owner.ctx().settings.ProxyPort) {}

TVerifyThread::~TVerifyThread() = default;

void TVerifyThread::SetStatus(const std::string& text, std::uint32_t color) {
  StatusText = text;
  StatusColor = color;
  ui_.invoke([this] { ShowStatus(); });
}

void TVerifyThread::ShowStatus() {
  owner_.view().setSlotColor(Slot, StatusColor);
  owner_.view().setSlotCaption(Slot, StatusText);
}

void TVerifyThread::ApplyResult() {
  VerifyView& view = owner_.view();
  ProgressBar& bar = view.progressBar();
  bar.setStep(1);
  bar.stepIt();
  view.setDescription(ProgressText(bar.position(), bar.max()));
  ServerList& list = owner_.list();
  if (ItemIndex >= 0 && static_cast<std::size_t>(ItemIndex) < list.size()) {
    list.StatusCounting = false;
    list.setChecked(static_cast<std::size_t>(ItemIndex), Alive);
    list.StatusCounting = true;
  }
}

void TVerifyThread::ReleaseSlot() {
  owner_.ProcessResults(Slot, Alive);
}

void TVerifyThread::SessionConnected(TWSocket&, std::uint16_t error) {
  Alive = error == 0;
  Done = true;
}

void TVerifyThread::SocketError(TWSocket&) {
  Alive = false;
  Done = true;
}

void TVerifyThread::WaitForOutcome(std::uint32_t ms, bool checkTimeout) {
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

void TVerifyThread::execute() {
  if (terminated()) return;
  platform::EventLoop loop;
  loop_ = &loop;
  std::unique_ptr<TWSocket> socket;
  const std::string host = "Host (" + Address + ":" + PortText;
  try {
    socket = std::make_unique<TWSocket>(loop);
    socket->SetProto("tcp");
    socket->SetPort(PortText);
    socket->SetAddr(Address);
    socket->SetMultiThreaded(true);
    if (!proxyAddr_.empty()) {
      socket->SetSocksServer(proxyAddr_);
      socket->SetSocksPort(std::to_string(proxyPort_));
    }
    socket->OnSessionConnected = [this](TWSocket& s, std::uint16_t e) { SessionConnected(s, e); };
    socket->OnError = [this](TWSocket& s) { SocketError(s); };
    Done = false;
    TimedOut = false;
    Alive = false;
    SetStatus(host + ") has been contacted! Waiting for connection...", kColorBtnFace);
    socket->Connect();
    StartTick = platform::ticks();
    while (!Done && !terminated()) WaitForOutcome(100);
    socket->Close();
    if (terminated()) {
      // Cancelled: the server keeps its check mark and the slot stays taken, since the
      // run hands out nothing more.
      socket.reset();
      Alive = true;
      ui_.invoke([this] { ApplyResult(); });
      return;
    }
    if (Alive)
      SetStatus(host + ") accepted the connection!", kColorGreen);
    else if (TimedOut)
      SetStatus(host + ") timed out!", kColorRed);
    else
      SetStatus(host + ") refused the connection!", kColorRed);
    socket.reset();
    // Keeps the verdict readable; it does not change any more.
    WaitForOutcome(500, /*checkTimeout=*/false);
    if (terminated()) {
      ui_.invoke([this] { ApplyResult(); });
      return;
    }
    ui_.invoke([this] { ApplyResult(); });
    ui_.invoke([this] { ReleaseSlot(); });
  } catch (...) {
    // A failure that the socket raised instead of reporting: no verdict line, the
    // current verdict applied and the slot handed back, so the run never waits for us.
    socket.reset();
    try {
      ui_.invoke([this] { ApplyResult(); });
      ui_.invoke([this] { ReleaseSlot(); });
    } catch (...) {
    }
  }
}

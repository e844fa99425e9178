#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/worker_thread.h"
#include "verify/verify_view.h"

namespace ravelin::net {
class AsyncSocket;
}
namespace ravelin::runtime {
class UiThread;
}

namespace ravelin::verify {

class VerifyCoordinator;

// A verify worker: one TCP connection attempt to one server (through the SOCKS proxy
// when one is configured), a verdict on its slot's status line, the check mark of the
// server set to the verdict, the slot handed back. It runs on its own thread with its own
// EventLoop; everything it changes in the window, the list or the pool runs on the
// user-interface thread through UiThread::invoke, which blocks the worker meanwhile.
//
// Created suspended by the coordinator (on the user-interface thread), filled with one
// server, resumed; it frees itself when execute() returns.
class VerifyWorker : public platform::WorkerThread {
 public:
  // Reads the proxy settings now, on the user-interface thread.
  VerifyWorker(VerifyCoordinator& owner, int slot);
  ~VerifyWorker() override;

  std::string statusText;
  SlotMark statusMark = SlotMark::Neutral;
  std::string address;
  std::string portText;
  std::int32_t itemIndex = 0;
  const int slot;
  std::uint32_t timeoutMs = 5000;
  // Whether the verdict stays on the status line for half a second before it is applied.
  bool displayPauses = true;
  bool timedOut = false;
  bool done = false;
  bool alive = false;
  std::uint32_t startTick = 0;

 protected:
  void execute() override;

 private:
  void setStatus(const std::string& text, SlotMark mark);
  void showStatus();
  void applyResult();
  void releaseSlot();
  // Runs this thread's events until the attempt has its outcome, the time-out has passed
  // (a timed-out failure) or the thread is told to end.
  void awaitOutcome();
  // Keeps the verdict readable: runs this thread's events for ms, ending early when the
  // thread is told to end or the application is terminating.
  void holdVerdict(std::uint32_t ms);
  void sessionConnected(net::AsyncSocket& sender, std::uint16_t error);
  void socketFailed(net::AsyncSocket& sender);

  // Read on the user-interface thread only, where the coordinator clears it as it goes.
  std::shared_ptr<VerifyCoordinator* const> owner_;
  runtime::UiThread& ui_;
  platform::Clock& clock_;
  std::string proxyAddr_;
  int proxyPort_;
  platform::EventLoop* loop_ = nullptr;
};

}  // namespace ravelin::verify

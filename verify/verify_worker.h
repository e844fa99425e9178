#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/event_loop.h"
#include "platform/worker_thread.h"

class AsyncSocket;
class UiThread;
class VerifyCoordinator;

// A verify worker: one TCP connection attempt to one server (through the SOCKS proxy
// when one is configured), a verdict on its slot's status line, the check mark of the
// server set to the verdict, the slot handed back. It runs on its own thread with its own
// EventLoop; everything it changes in the window, the list or the pool runs on the
// user-interface thread through UiThread::invoke, which blocks the worker meanwhile.
//
// Created suspended by the coordinator (on the user-interface thread), filled with one
// server, resumed; it frees itself when Execute returns.
class VerifyWorker : public platform::WorkerThread {
 public:
  // Reads the proxy settings now, on the user-interface thread.
  VerifyWorker(VerifyCoordinator& owner, int slot);
  ~VerifyWorker() override;

  std::string StatusText;
  std::uint32_t StatusColor = 0;
  std::string Address;
  std::string PortText;
  std::int32_t ItemIndex = 0;
  const int Slot;
  std::uint32_t TimeoutMs = 5000;
  bool TimedOut = false;
  bool Done = false;
  bool Alive = false;
  std::uint32_t StartTick = 0;

 protected:
  void execute() override;

 private:
  void setStatus(const std::string& text, std::uint32_t color);
  void showStatus();
  void applyResult();
  void releaseSlot();
  // Waits ms in 100 ms steps, running this thread's events; checkTimeout off for the
  // verdict pause.
  void waitForOutcome(std::uint32_t ms, bool checkTimeout = true);
  void sessionConnected(AsyncSocket& sender, std::uint16_t error);
  void socketFailed(AsyncSocket& sender);

  VerifyCoordinator& owner_;
  UiThread& ui_;
  std::string proxyAddr_;
  int proxyPort_;
  platform::EventLoop* loop_ = nullptr;
};

#pragma once
#include <atomic>
#include <cstdint>

#include "platform/event_loop.h"
#include "runtime/ui_thread.h"

namespace ravelin::runtime {

// The user-interface thread of the headless front end: the thread that constructs it,
// with that thread's EventLoop. pump() runs everything pending on the loop without
// blocking; invoke() from another thread posts the function and blocks until the UI
// thread has run it inside one of its pumps; invoke() on the UI thread runs it at once.
class LoopUiThread : public UiThread {
 public:
  LoopUiThread();
  explicit LoopUiThread(platform::EventLoop& loop);

  void pump() override;
  void wait(std::uint32_t ms) override;
  // An exception thrown by fn is rethrown in the invoking thread.
  void invoke(const std::function<void()>& fn) override;
  bool terminating() const override { return terminating_.load(); }

  // Marks the application as shutting down. Callable from any thread. Workers blocked in
  // invoke() still get their call run by the next pump; once the loop has ended, invoke()
  // throws std::runtime_error instead of waiting forever.
  void setTerminating(bool value = true);
  platform::EventLoop& loop() { return loop_; }

 private:
  platform::EventLoop& loop_;
  // What other threads use: it stays safe to call when the loop has already ended.
  platform::EventLoop::Handle handle_;
  std::atomic<bool> terminating_{false};
};

}  // namespace ravelin::runtime

#include "runtime/loop_ui_thread.h"

#include <algorithm>
#include <limits>

#include "runtime/blocking_call.h"

namespace ravelin::runtime {

LoopUiThread::LoopUiThread() : LoopUiThread(platform::EventLoop::forCurrentThread()) {}

LoopUiThread::LoopUiThread(platform::EventLoop& loop) : loop_(loop), handle_(loop.handle()) {}

void LoopUiThread::pump() {
  loop_.processPending();
}

void LoopUiThread::wait(std::uint32_t ms) {
  // The loop takes its longest wait as an int.
  loop_.waitAndProcess(std::min<std::uint32_t>(ms, std::numeric_limits<int>::max()));
}

void LoopUiThread::setTerminating(bool value) {
  terminating_.store(value);
  handle_.post([] {});
}

void LoopUiThread::invoke(const std::function<void()>& fn) {
  if (handle_.isLoopThread()) {
    fn();
    return;
  }
  callBlocking([this](std::function<void()> task) { return handle_.post(std::move(task)); }, fn);
}

}  // namespace ravelin::runtime

#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

namespace ravelin::platform {

// One event loop per thread, built on poll(). It runs functions posted to it (from any
// thread), callbacks for file descriptors that became readable or writable, and one-shot
// timers. Nothing runs by itself: the owning thread calls processPending() or
// waitAndProcess() in its wait loops, and every callback runs inside those calls, on
// that thread.
//
// A loop belongs to the thread that constructed it. The first loop constructed on a
// thread becomes that thread's current() loop until it is destroyed.
class EventLoop {
 public:
  using Task = std::function<void()>;
  // Readiness bits for fd watches.
  enum : unsigned { kRead = 1u, kWrite = 2u, kError = 4u };
  using WatchId = std::uint64_t;
  using TimerId = std::uint64_t;
  // revents: kRead / kWrite as requested, kError added for POLLERR/POLLHUP/POLLNVAL.
  using FdCallback = std::function<void(unsigned revents)>;

  EventLoop();
  ~EventLoop();
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  // The loop of the calling thread, or nullptr when none was created there.
  static EventLoop* current();
  // The calling thread's loop, created (and owned by the thread until it ends) when the
  // thread has none yet.
  static EventLoop& forCurrentThread();

  // Queues fn to run on the loop's thread and wakes the loop. Callable from any thread.
  void post(Task fn);
  // Runs fn at once when called on the loop's thread, otherwise posts it.
  void dispatch(Task fn);
  bool isLoopThread() const;

  // A handle that outlives the loop: posting through it after the loop was destroyed
  // does nothing and returns false. Helper threads use it to answer back.
  class Handle {
   public:
    Handle() = default;
    bool post(Task fn) const;
    bool valid() const { return !state_.expired(); }
    // True on the loop's thread (also after the loop is gone).
    bool isLoopThread() const;

   private:
    friend class EventLoop;
    struct State;
    std::weak_ptr<State> state_;
    std::thread::id owner_;
  };
  Handle handle() const;

  // Calls cb on the loop's thread whenever fd is ready for the given events (level
  // triggered). Loop thread only. A watch may be changed or removed from inside any
  // callback, its own included; a removed watch is never called again.
  WatchId watchFd(int fd, unsigned events, FdCallback cb);
  void modifyWatch(WatchId id, unsigned events);
  void unwatch(WatchId id);

  // Runs fn once after ms milliseconds (inside a later processing call). Loop thread only.
  TimerId addTimer(std::uint32_t ms, Task fn);
  void cancelTimer(TimerId id);

  // Runs everything that is ready now (posted functions, ready fds, due timers) without
  // blocking. Returns the number of callbacks run. May be called from inside a callback.
  int processPending();
  // Waits at most maxMs milliseconds for something to become ready, then runs what is
  // ready. Returns the number of callbacks run.
  int waitAndProcess(std::uint32_t maxMs);
  // Wakes a thread blocked in waitAndProcess(). Callable from any thread.
  void wakeUp();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::shared_ptr<Handle::State> shared_;
};

}  // namespace ravelin::platform

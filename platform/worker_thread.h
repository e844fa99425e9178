#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/event_loop.h"

namespace ravelin::platform {

// A thread that is created suspended and frees itself: once resume() has started it, the
// thread holds a shared reference to its own object until its function has returned, so
// nobody ever has to free a running worker. Create it with std::make_shared (or create()),
// give it to whoever needs to watch it, call resume() and drop the reference.
//
// The function is either execute() overridden in a subclass or the body given to create().
class WorkerThread : public std::enable_shared_from_this<WorkerThread> {
 public:
  using Body = std::function<void(WorkerThread&)>;

  WorkerThread() = default;
  explicit WorkerThread(Body body) : body_(std::move(body)) {}
  virtual ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  static std::shared_ptr<WorkerThread> create(Body body) {
    return std::make_shared<WorkerThread>(std::move(body));
  }

  // Starts the thread (once; later calls do nothing). The object must be owned by a
  // std::shared_ptr. Throws std::system_error when no thread can be created.
  void resume();
  // Asks the function to end: terminated() turns true, and a worker waiting on the loop it
  // attached is woken at once. Callable from any thread.
  void requestTerminate();
  // True once termination was requested.
  bool terminated() const { return terminate_.load(); }
  // True once the function has returned (or threw).
  bool finished() const { return finished_.load(); }
  bool started() const { return started_.load(); }
  // Called by the function on its own thread with the event loop it waits on (nullptr
  // when it stops waiting on it), so that requestTerminate() can wake it.
  void attachLoop(EventLoop* loop);
  // Blocks at most ms milliseconds until the function has returned; true when it has.
  // Meant for tests and shut-down, never for the user-interface thread's normal waits.
  bool waitFinished(std::uint32_t ms);

 protected:
  virtual void execute();

 private:
  void run(std::shared_ptr<WorkerThread> self);
  Body body_;
  std::atomic<bool> terminate_{false};
  std::atomic<bool> started_{false};
  std::atomic<bool> finished_{false};
  std::mutex mutex_;
  EventLoop::Handle wake_;  // guarded by mutex_
  std::condition_variable finishedCv_;
};

// Blocks at most ms milliseconds until every worker thread of the process has ended, all
// it held released; true when none is left. A program calls it before it exits: a worker
// that has handed over its last result may still be letting go of its sockets and library
// state, which an exit would tear down under its feet.
bool waitForWorkerThreads(std::uint32_t ms);

}  // namespace ravelin::platform

#include "platform/worker_thread.h"

#include <chrono>
#include <thread>

#include "platform/tls_session.h"

namespace ravelin::platform {

namespace {

// The worker threads that run now. Never destroyed: a thread may still end after the
// program's static objects are gone.
struct LiveThreads {
  std::mutex mutex;
  std::condition_variable ended;
  int count = 0;
};

LiveThreads& liveThreads() {
  static auto* live = new LiveThreads;
  return *live;
}

void countThread(int change) {
  LiveThreads& live = liveThreads();
  {
    std::lock_guard<std::mutex> lock(live.mutex);
    live.count += change;
  }
  live.ended.notify_all();
}

}  // namespace

WorkerThread::~WorkerThread() = default;

void WorkerThread::execute() {
  if (body_) body_(*this);
}

void WorkerThread::resume() {
  bool expected = false;
  if (!started_.compare_exchange_strong(expected, true)) return;
  auto self = shared_from_this();
  countThread(+1);
  try {
    std::thread([this, self]() mutable { run(std::move(self)); }).detach();
  } catch (...) {
    countThread(-1);
    started_.store(false);
    throw;
  }
}

void WorkerThread::run(std::shared_ptr<WorkerThread> self) {
  try {
    execute();
  } catch (...) {
    // A worker reports through its own hand-overs; an escaping exception only ends it.
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    finished_.store(true);
  }
  finishedCv_.notify_all();
  // Dropping the thread's own reference may free the object here, on its own thread.
  self.reset();
  releaseThreadTlsState();
  countThread(-1);
}

void WorkerThread::requestTerminate() {
  terminate_.store(true);
  std::lock_guard<std::mutex> lock(mutex_);
  wake_.post([] {});
}

void WorkerThread::attachLoop(EventLoop* loop) {
  std::lock_guard<std::mutex> lock(mutex_);
  wake_ = loop ? loop->handle() : EventLoop::Handle();
}

bool WorkerThread::waitFinished(std::uint32_t ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  return finishedCv_.wait_for(lock, std::chrono::milliseconds(ms),
                              [this] { return finished_.load(); });
}

bool waitForWorkerThreads(std::uint32_t ms) {
  LiveThreads& live = liveThreads();
  std::unique_lock<std::mutex> lock(live.mutex);
  return live.ended.wait_for(lock, std::chrono::milliseconds(ms),
                             [&live] { return live.count == 0; });
}

}  // namespace ravelin::platform

#include "platform/event_loop.h"

#include <chrono>
#include <deque>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/readiness.h"

namespace ravelin::platform {

namespace {
thread_local EventLoop* tlsCurrent = nullptr;
thread_local std::unique_ptr<EventLoop> tlsOwned;

using Clock = std::chrono::steady_clock;
}  // namespace

// The part of a loop that posting threads may reach: the queue and the wake-up. It is
// shared, so a Handle can find out that the loop is gone instead of touching freed memory.
struct EventLoop::Handle::State {
  std::mutex mutex;
  std::deque<Task> queue;
  std::unique_ptr<Wakeup> wakeup;
  bool closed = false;

  // The wake-up is set under the lock: once the posted task has run, the loop may be
  // destroyed at once, and its wake-up must not go away under a set() still under way.
  bool post(Task fn) {
    std::lock_guard<std::mutex> lock(mutex);
    if (closed) return false;
    queue.push_back(std::move(fn));
    wake();
    return true;
  }
  void wake() const { wakeup->set(); }
};

struct EventLoop::Impl {
  struct Watch {
    int fd;
    unsigned events;
    FdCallback cb;
    bool active = true;
  };
  struct Timer {
    TimerId id;
    Task fn;
  };
  std::thread::id owner = std::this_thread::get_id();
  std::uint64_t nextId = 1;
  std::map<WatchId, std::shared_ptr<Watch>> watches;
  std::multimap<Clock::time_point, Timer> timers;

  // The sockets a wait watches, built again only after a watch changed: a loop with a
  // thousand connections in flight would otherwise copy them all on every turn. A wait
  // holds on to its set, so a nested wait that builds a new one leaves it intact.
  struct WaitSet {
    std::vector<ReadyEntry> entries;
    std::vector<std::shared_ptr<Watch>> order;
  };
  std::shared_ptr<WaitSet> waitSet;

  std::shared_ptr<WaitSet> currentWaitSet() {
    if (waitSet) return waitSet;
    auto set = std::make_shared<WaitSet>();
    set->entries.reserve(watches.size());
    set->order.reserve(watches.size());
    for (auto& [id, w] : watches) {
      const unsigned events = w->events & (kRead | kWrite);
      if (events == 0) continue;
      set->entries.push_back({w->fd, events, 0});
      set->order.push_back(w);
    }
    waitSet = set;
    return set;
  }
};

EventLoop::EventLoop()
    : impl_(std::make_unique<Impl>()), shared_(std::make_shared<Handle::State>()) {
  shared_->wakeup = std::make_unique<Wakeup>();
  if (!tlsCurrent) tlsCurrent = this;
}

EventLoop::~EventLoop() {
  {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->closed = true;
    shared_->queue.clear();
    shared_->wakeup.reset();
  }
  if (tlsCurrent == this) tlsCurrent = nullptr;
}

EventLoop* EventLoop::current() {
  return tlsCurrent;
}

EventLoop& EventLoop::forCurrentThread() {
  if (tlsCurrent) return *tlsCurrent;
  tlsOwned = std::make_unique<EventLoop>();
  return *tlsOwned;
}

void EventLoop::post(Task fn) {
  shared_->post(std::move(fn));
}

void EventLoop::dispatch(Task fn) {
  if (isLoopThread())
    fn();
  else
    post(std::move(fn));
}

bool EventLoop::isLoopThread() const {
  return std::this_thread::get_id() == impl_->owner;
}

bool EventLoop::Handle::post(Task fn) const {
  auto state = state_.lock();
  return state && state->post(std::move(fn));
}

bool EventLoop::Handle::isLoopThread() const {
  return std::this_thread::get_id() == owner_;
}

EventLoop::Handle EventLoop::handle() const {
  Handle h;
  h.state_ = shared_;
  h.owner_ = impl_->owner;
  return h;
}

void EventLoop::wakeUp() {
  std::lock_guard<std::mutex> lock(shared_->mutex);
  if (!shared_->closed) shared_->wake();
}

EventLoop::WatchId EventLoop::watchFd(int fd, unsigned events, FdCallback cb) {
  const WatchId id = impl_->nextId++;
  impl_->watches.emplace(id, std::make_shared<Impl::Watch>(Impl::Watch{fd, events, std::move(cb)}));
  impl_->waitSet.reset();
  return id;
}

void EventLoop::modifyWatch(WatchId id, unsigned events) {
  auto it = impl_->watches.find(id);
  if (it == impl_->watches.end() || it->second->events == events) return;
  it->second->events = events;
  impl_->waitSet.reset();
}

void EventLoop::unwatch(WatchId id) {
  auto it = impl_->watches.find(id);
  if (it == impl_->watches.end()) return;
  it->second->active = false;
  impl_->watches.erase(it);
  impl_->waitSet.reset();
}

EventLoop::TimerId EventLoop::addTimer(std::uint32_t ms, Task fn) {
  const TimerId id = impl_->nextId++;
  impl_->timers.emplace(Clock::now() + std::chrono::milliseconds(ms),
                        Impl::Timer{id, std::move(fn)});
  return id;
}

void EventLoop::cancelTimer(TimerId id) {
  for (auto it = impl_->timers.begin(); it != impl_->timers.end(); ++it) {
    if (it->second.id == id) {
      impl_->timers.erase(it);
      return;
    }
  }
}

int EventLoop::processPending() {
  return waitAndProcess(0);
}

int EventLoop::waitAndProcess(std::uint32_t maxMs) {
  Impl& im = *impl_;
  int ran = 0;

  // Posted functions first: they are what other threads wait for.
  auto runPosted = [&] {
    std::deque<Task> batch;
    {
      std::lock_guard<std::mutex> lock(shared_->mutex);
      batch.swap(shared_->queue);
    }
    while (!batch.empty()) {
      Task fn = std::move(batch.front());
      batch.pop_front();
      try {
        fn();
      } catch (...) {
        // Whatever was not run yet stays queued, in order, for the next round.
        std::lock_guard<std::mutex> lock(shared_->mutex);
        for (auto it = batch.rbegin(); it != batch.rend(); ++it)
          shared_->queue.push_front(std::move(*it));
        throw;
      }
      ++ran;
    }
  };
  runPosted();

  // The wait: not when something already ran or a timer is due.
  int timeout = static_cast<int>(maxMs);
  if (ran > 0) timeout = 0;
  if (timeout > 0 && !im.timers.empty()) {
    const auto now = Clock::now();
    const auto first = im.timers.begin()->first;
    if (first <= now) {
      timeout = 0;
    } else {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(first - now).count() + 1;
      if (left < timeout) timeout = static_cast<int>(left);
    }
  }

  const std::shared_ptr<Impl::WaitSet> set = im.currentWaitSet();
  std::vector<ReadyEntry>& entries = set->entries;
  bool woken = false;
  // Only this thread clears the wake-up, and it outlives this call with the loop.
  if (shared_->wakeup->wait(entries.data(), entries.size(), timeout, woken) > 0 || woken) {
    if (woken) shared_->wakeup->clear();
    // Taken out first: a callback may wait on the same set again and overwrite the bits.
    std::vector<std::pair<std::size_t, unsigned>> ready;
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (entries[i].ready) ready.emplace_back(i, entries[i].ready);
    for (const auto& [i, bits] : ready) {
      // Kept alive even if the callback removes its own watch.
      const std::shared_ptr<Impl::Watch> w = set->order[i];
      if (!w->active) continue;
      w->cb(bits);
      ++ran;
    }
  }

  // Due timers.
  const auto now = Clock::now();
  std::vector<TimerId> due;
  for (auto it = im.timers.begin(); it != im.timers.end() && it->first <= now; ++it)
    due.push_back(it->second.id);
  for (TimerId id : due) {
    for (auto it = im.timers.begin(); it != im.timers.end(); ++it) {
      if (it->second.id == id) {
        Task fn = std::move(it->second.fn);
        im.timers.erase(it);
        fn();
        ++ran;
        break;
      }
    }
  }

  runPosted();
  return ran;
}

}  // namespace ravelin::platform

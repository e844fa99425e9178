#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/clock.h"
#include "runtime/ui_thread.h"

namespace ravelin::runtime {

enum class SlotState {
  Free,  // no worker: the next job gets a new one here
  Busy,  // the slot's worker runs a job
};

// The slots of a pool of workers, each a platform::WorkerThread that frees itself when its
// function returns: the pool only watches them. Jobs go to the lowest free slot. It lives
// on the user-interface thread and is reached by the workers only through
// UiThread::invoke, so it needs no lock.
template <class Worker>
class WorkerPool {
 public:
  using Factory = std::function<std::shared_ptr<Worker>(int slot)>;

  // size slots (at least one); make creates the worker of a slot.
  WorkerPool(int size, Factory make)
      : slots_(static_cast<std::size_t>(size > 0 ? size : 1)), make_(std::move(make)) {}

  int size() const { return static_cast<int>(slots_.size()); }
  int busyCount() const { return busy_; }
  bool full() const { return busy_ == size(); }
  bool cancelled() const { return cancelled_; }
  SlotState state(int slot) const { return slots_[index(slot)].state; }

  // A new worker in the lowest free slot, which is busy from now on; nothing when every
  // slot is busy or the pool was cancelled. The caller gives it its job and resumes it.
  std::shared_ptr<Worker> acquire() {
    if (cancelled_) return nullptr;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
      if (slots_[i].state != SlotState::Free) continue;
      std::shared_ptr<Worker> worker = make_(static_cast<int>(i));
      slots_[i] = {SlotState::Busy, worker};
      ++busy_;
      return worker;
    }
    return nullptr;
  }

  // The worker of a slot has finished its job: the slot is free again.
  void release(int slot) {
    Slot& s = slots_[index(slot)];
    if (s.state != SlotState::Busy) return;
    s.state = SlotState::Free;
    --busy_;
  }

  // Asks every worker still running to end; no slot is handed out any more.
  void cancel() {
    cancelled_ = true;
    for (Slot& s : slots_)
      if (auto worker = s.worker.lock()) worker->requestTerminate();
  }

  // Whether a worker that was started has not returned yet.
  bool anyRunning() const {
    for (const Slot& s : slots_)
      if (auto worker = s.worker.lock(); worker && worker->started() && !worker->finished())
        return true;
    return false;
  }

  // Serves the user interface until every started worker has returned, at most boundMs.
  // Waited for after a cancel, so that no hand-over of a run arrives after it ended. A
  // closing program waits as well: a worker that outlived its run would hand over into
  // windows and a run that are gone.
  void waitForWorkers(UiThread& ui, platform::Clock& clock, std::uint32_t boundMs) {
    const std::uint32_t start = clock.ticks();
    while (anyRunning() && clock.ticks() - start < boundMs)
      waitUntil(ui, clock, 100, [this] { return !anyRunning(); });
  }

 private:
  struct Slot {
    SlotState state = SlotState::Free;
    std::weak_ptr<Worker> worker;
  };
  std::size_t index(int slot) const { return static_cast<std::size_t>(slot); }

  std::vector<Slot> slots_;
  Factory make_;
  int busy_ = 0;
  bool cancelled_ = false;
};

}  // namespace ravelin::runtime

#include "runtime/blocking_call.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace ravelin::runtime {

namespace {

// The meeting point of one blocking hand-over. The posted task holds it through a
// Finisher, whose destruction (after the call ran, or when the loop dropped the task
// unrun at its end) releases the waiting thread.
struct HandOver {
  std::mutex mutex;
  std::condition_variable cv;
  bool finished = false;
  bool ran = false;
  std::exception_ptr error;
};

struct Finisher {
  std::shared_ptr<HandOver> h;
  explicit Finisher(std::shared_ptr<HandOver> handOver) : h(std::move(handOver)) {}
  Finisher(const Finisher&) = delete;
  Finisher& operator=(const Finisher&) = delete;
  ~Finisher() {
    {
      std::lock_guard<std::mutex> lock(h->mutex);
      h->finished = true;
    }
    h->cv.notify_all();
  }
};

}  // namespace

void callBlocking(const std::function<bool(std::function<void()>)>& post,
                  const std::function<void()>& fn) {
  auto handOver = std::make_shared<HandOver>();
  auto finisher = std::make_shared<Finisher>(handOver);
  const std::function<void()>* call = &fn;
  const bool posted = post([finisher, call] {
    HandOver& h = *finisher->h;
    try {
      (*call)();
    } catch (...) {
      h.error = std::current_exception();
    }
    h.ran = true;
  });
  finisher.reset();
  if (!posted) throw std::runtime_error("The user interface thread has ended");
  std::exception_ptr error;
  bool ran;
  {
    std::unique_lock<std::mutex> lock(handOver->mutex);
    handOver->cv.wait(lock, [&] { return handOver->finished; });
    ran = handOver->ran;
    // Taken out, so that the exception object belongs to this thread alone.
    error = std::move(handOver->error);
    handOver->error = nullptr;
  }
  if (!ran) throw std::runtime_error("The user interface thread has ended");
  if (error) std::rethrow_exception(error);
}

}  // namespace ravelin::runtime

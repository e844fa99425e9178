#pragma once
#include <QMetaObject>
#include <atomic>

#include "runtime/ui_thread.h"

namespace ravelin::qt {

// The user-interface thread of the desktop program: the thread that runs the
// QApplication. pump() and wait() serve Qt's event queue, invoke() from a worker is a
// blocking queued call into it.
class QtUiThread : public runtime::UiThread {
 public:
  QtUiThread();
  ~QtUiThread() override;
  QtUiThread(const QtUiThread&) = delete;
  QtUiThread& operator=(const QtUiThread&) = delete;

  void pump() override;
  void wait(std::uint32_t ms) override;
  // An exception thrown by fn is rethrown in the invoking thread. Once the application is
  // terminating and its loop has ended, invoke() from a worker throws std::runtime_error
  // instead of waiting for a loop that no longer runs.
  void invoke(const std::function<void()>& fn) override;
  bool terminating() const override { return terminating_.load(); }

  // The main window is closing or the application is quitting: wait loops end early. A
  // close that the user then refuses takes it back; once the loop has ended it stays.
  void setTerminating(bool terminating = true) { terminating_ = terminating || loopEnded_; }

 private:
  std::atomic<bool> terminating_{false};
  std::atomic<bool> loopEnded_{false};
  QMetaObject::Connection quitting_;
};

}  // namespace ravelin::qt

#include "qt/qt_ui_thread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <QTimer>
#include <exception>
#include <stdexcept>

namespace ravelin::qt {

QtUiThread::QtUiThread() {
  quitting_ =
      QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [this] {
        terminating_ = true;
        loopEnded_ = true;
      });
}

QtUiThread::~QtUiThread() {
  QObject::disconnect(quitting_);
}

void QtUiThread::pump() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtUiThread::wait(std::uint32_t ms) {
  if (ms == 0) {
    pump();
    return;
  }
  // A timer event is an event too: processEvents waits for the first one of anything,
  // the timer bounding the wait.
  QTimer limit;
  limit.setSingleShot(true);
  limit.start(static_cast<int>(ms));
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void QtUiThread::invoke(const std::function<void()>& fn) {
  QCoreApplication* app = QCoreApplication::instance();
  if (QThread::currentThread() == app->thread()) {
    fn();
    return;
  }
  if (loopEnded_) throw std::runtime_error("the user interface has ended");
  std::exception_ptr failure;
  QMetaObject::invokeMethod(
      app,
      [&] {
        try {
          fn();
        } catch (...) {
          failure = std::current_exception();
        }
      },
      Qt::BlockingQueuedConnection);
  if (failure) std::rethrow_exception(failure);
}

}  // namespace ravelin::qt

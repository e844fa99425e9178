#pragma once
#include <cstdint>
#include <functional>

namespace ravelin::runtime {

// The user-interface thread as the core sees it. The GUI implements it with Qt's event
// loop, ravelin-cli with the main thread's EventLoop, tests with whatever they need.
class UiThread {
 public:
  virtual ~UiThread() = default;

  // Runs every pending user-interface event once ("let the user interface process
  // pending events").
  virtual void pump() = 0;

  // Runs fn on the user-interface thread and returns when it has run. Called from a
  // worker, it blocks the worker until the UI thread runs fn inside one of its pumps.
  // Called on the UI thread itself, it runs fn at once.
  virtual void invoke(const std::function<void()>& fn) = 0;

  // The application is shutting down; wait loops end early.
  virtual bool terminating() const = 0;
};

// Waits at least ms milliseconds in 100 ms sleeps, pumping the UI after each, until the
// time has passed or the application is terminating. Always sleeps at least once.
void pauseFunc(UiThread& ui, std::uint32_t ms);

}  // namespace ravelin::runtime

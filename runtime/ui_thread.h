#pragma once
#include <cstdint>
#include <functional>

namespace ravelin::platform {
class Clock;
}

namespace ravelin::runtime {

// The user-interface thread as the core sees it. The GUI implements it with Qt's event
// loop, ravelin-cli with the main thread's EventLoop, tests with whatever they need.
class UiThread {
 public:
  virtual ~UiThread() = default;

  // Runs every pending user-interface event once ("let the user interface process
  // pending events").
  virtual void pump() = 0;

  // Runs pending events, waiting at most ms for the first one when none is pending:
  // returns as soon as something ran or the time is up.
  virtual void wait(std::uint32_t ms) = 0;

  // Runs fn on the user-interface thread and returns when it has run. Called from a
  // worker, it blocks the worker until the UI thread runs fn inside one of its pumps.
  // Called on the UI thread itself, it runs fn at once.
  virtual void invoke(const std::function<void()>& fn) = 0;

  // The application is shutting down; wait loops end early.
  virtual bool terminating() const = 0;
};

// Serves the user interface until done() is true, ms have passed on clock or the
// application is terminating; returns done()'s last answer. Since the events that end a
// wait (a worker's hand-over, a click on Cancel) run inside it, it returns right after
// them. A done() that holds already returns at once, without serving anything.
bool waitUntil(UiThread& ui, platform::Clock& clock, std::uint32_t ms,
               const std::function<bool()>& done);

// Waits ms on clock while serving the user interface, at least once; ends early when the
// application is terminating.
void pauseFunc(UiThread& ui, platform::Clock& clock, std::uint32_t ms);

}  // namespace ravelin::runtime

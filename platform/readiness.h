#pragma once
// The operating system's part of an EventLoop: the wake-up that other threads set, and the
// wait for sockets (and the wake-up) to become ready. Used by event_loop.cpp, and by the test
// peers' threads, which wait on their sockets until they are told to stop.
#include <cstddef>

namespace ravelin::platform {

// A socket to watch: events and ready hold EventLoop::kRead / kWrite; ready also gets
// EventLoop::kError for a failure or hang-up.
struct ReadyEntry {
  int fd;
  unsigned events;
  unsigned ready;
};

// How many sockets one wait can watch besides the wake-up: a loop never holds more.
std::size_t readinessCapacity();

class Wakeup {
 public:
  // Throws std::system_error when the system has no object left for it.
  Wakeup();
  ~Wakeup();
  Wakeup(const Wakeup&) = delete;
  Wakeup& operator=(const Wakeup&) = delete;

  // Makes the next (or current) wait return. Callable from any thread.
  void set();
  // Takes back every set(), after a wait saw it.
  void clear();

  // Waits at most timeoutMs (restarting after interruptions, counting the time already
  // waited) for one of the entries or this wake-up to become ready, and fills in what is
  // ready. Returns the number of entries ready; woken tells whether this was set.
  int wait(ReadyEntry* entries, std::size_t count, int timeoutMs, bool& woken);

 private:
  int readHandle_ = -1;
  int writeHandle_ = -1;
};

}  // namespace ravelin::platform

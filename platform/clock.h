#pragma once
#include <atomic>
#include <cstdint>

namespace ravelin::platform {

// The time source of every wait and time-out: milliseconds as a 32-bit counter that wraps
// around like the system tick count the timings of this program were written against
// (compare with subtraction, ticks() - start >= ms, never with <), and a blocking sleep.
// Code takes the clock it is given, so that a test can run minutes of waiting at once.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint32_t ticks() const = 0;
  // Blocks the calling thread for at least ms milliseconds of this clock.
  virtual void sleepMs(std::uint32_t ms) = 0;
};

// The monotonic system clock.
Clock& systemClock();

// A clock that moves only when told: sleepMs() and advance() add to its time and return
// at once. Safe to read from any thread.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(std::uint32_t start = 0) : now_(start) {}
  std::uint32_t ticks() const override { return now_.load(); }
  void sleepMs(std::uint32_t ms) override { advance(ms); }
  void advance(std::uint32_t ms) { now_.fetch_add(ms); }

 private:
  std::atomic<std::uint32_t> now_;
};

}  // namespace ravelin::platform

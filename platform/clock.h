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
  // The calendar time: milliseconds since 1970-01-01 00:00 UTC. Records that outlive the
  // run (the time of the last hand-over to the client) are kept in it.
  virtual std::int64_t wallMs() const;
  // How long a thread that waits ms of this clock for events may block at a time before
  // it looks at the clock again: all of it here; a moment on a clock that moves by itself
  // while the thread waits.
  virtual std::uint32_t blockSliceMs(std::uint32_t ms) const { return ms; }
};

// The monotonic system clock.
Clock& systemClock();

// A clock that moves only when told: sleepMs() and advance() add to its time and return
// at once; its calendar time starts at wallStart and moves with it. Safe to read from any
// thread.
class ManualClock final : public Clock {
 public:
  // 2026-01-01 00:00 UTC.
  static constexpr std::int64_t kDefaultWallStart = 1767225600000;

  explicit ManualClock(std::uint32_t start = 0, std::int64_t wallStart = kDefaultWallStart)
      : now_(start), wall_(wallStart) {}
  std::uint32_t ticks() const override { return now_.load(); }
  void sleepMs(std::uint32_t ms) override { advance(ms); }
  std::int64_t wallMs() const override { return wall_.load(); }
  std::uint32_t blockSliceMs(std::uint32_t ms) const override {
    return ms < kBlockSliceMs ? ms : kBlockSliceMs;
  }
  void advance(std::uint32_t ms) {
    now_.fetch_add(ms);
    wall_.fetch_add(ms);
  }

 private:
  static constexpr std::uint32_t kBlockSliceMs = 2;
  std::atomic<std::uint32_t> now_;
  std::atomic<std::int64_t> wall_;
};

}  // namespace ravelin::platform

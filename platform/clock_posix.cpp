#include <ctime>

#include "platform/clock.h"

namespace ravelin::platform {

namespace {

class SystemClock final : public Clock {
 public:
  std::uint32_t ticks() const override {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                    static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
  }
  void sleepMs(std::uint32_t ms) override {
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0) {
    }
  }
};

}  // namespace

std::int64_t Clock::wallMs() const {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

Clock& systemClock() {
  static SystemClock clock;
  return clock;
}

}  // namespace ravelin::platform

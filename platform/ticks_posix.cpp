#include "platform/ticks.h"

#include <ctime>

namespace ravelin::platform {

std::uint32_t ticks() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                  static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);
}

void sleepMs(std::uint32_t ms) {
  timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0) {
  }
}

}  // namespace ravelin::platform

#include <windows.h>

#include "platform/clock.h"

namespace ravelin::platform {

namespace {

class SystemClock final : public Clock {
 public:
  std::uint32_t ticks() const override { return static_cast<std::uint32_t>(GetTickCount64()); }
  // Sleep() wakes on the system's timer tick, at least ms later.
  void sleepMs(std::uint32_t ms) override { Sleep(ms); }
};

}  // namespace

// FILETIME counts 100 ns steps since 1601-01-01 00:00 UTC.
std::int64_t Clock::wallMs() const {
  FILETIME ft;
  GetSystemTimePreciseAsFileTime(&ft);
  const std::int64_t since1601 =
      (static_cast<std::int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  constexpr std::int64_t k1601To1970 = 116444736000000000;
  return (since1601 - k1601To1970) / 10000;
}

Clock& systemClock() {
  static SystemClock clock;
  return clock;
}

}  // namespace ravelin::platform

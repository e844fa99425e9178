#pragma once
#include <cstdint>

#include "platform/clock.h"

namespace ravelin::platform {

// How long a loop that waits ms of clock for its events may block at a time before it
// looks at the clock again: all of it on the system clock; a moment on a manual clock,
// whose time moves while the loop waits.
inline std::uint32_t waitSliceMs(const Clock& clock, std::uint32_t ms) {
  constexpr std::uint32_t kManualSliceMs = 2;
  if (dynamic_cast<const ManualClock*>(&clock) && ms > kManualSliceMs) return kManualSliceMs;
  return ms;
}

}  // namespace ravelin::platform

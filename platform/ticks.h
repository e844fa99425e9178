#pragma once
#include <cstdint>

namespace ravelin::platform {

// Milliseconds since an arbitrary start, as a 32-bit counter that wraps around like the
// system tick count the timings of this program were written against. compareField with
// subtraction (ticks() - start >= ms), never with <.
std::uint32_t ticks();

// Blocks the calling thread for at least ms milliseconds.
void sleepMs(std::uint32_t ms);

}  // namespace ravelin::platform

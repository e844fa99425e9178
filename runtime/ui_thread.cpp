#include "runtime/ui_thread.h"

#include "platform/clock.h"

namespace ravelin::runtime {

bool waitUntil(UiThread& ui, platform::Clock& clock, std::uint32_t ms,
               const std::function<bool()>& done) {
  const std::uint32_t start = clock.ticks();
  if (done && done()) return true;
  do {
    const std::uint32_t passed = clock.ticks() - start;
    ui.wait(ms > passed ? ms - passed : 0);
    if (done && done()) return true;
  } while (clock.ticks() - start < ms && !ui.terminating());
  return false;
}

void pauseFunc(UiThread& ui, platform::Clock& clock, std::uint32_t ms) {
  waitUntil(ui, clock, ms, nullptr);
}

}  // namespace ravelin::runtime

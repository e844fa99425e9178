#include "runtime/ui_thread.h"

#include "platform/ticks.h"

namespace ravelin::runtime {

void pauseFunc(UiThread& ui, std::uint32_t ms) {
  const std::uint32_t start = platform::ticks();
  do {
    platform::sleepMs(100);
    ui.pump();
  } while (platform::ticks() - start < ms && !ui.terminating());
}

}  // namespace ravelin::runtime

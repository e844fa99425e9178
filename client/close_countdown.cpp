#include "client/close_countdown.h"

#include "platform/clock.h"
#include "runtime/app_context.h"
#include "runtime/ui_thread.h"

namespace ravelin::client {

bool runCloseCountdown(CountdownView& view, runtime::AppContext& ctx, int seconds) {
  platform::Clock& clock = *ctx.clock;
  const auto stop = [&] { return view.cancelled() || (ctx.ui && ctx.ui->terminating()); };
  int counter = seconds;
  view.showSeconds(counter);
  std::uint32_t tickStart = clock.ticks();
  while (counter > 0) {
    const std::uint32_t passed = clock.ticks() - tickStart;
    const std::uint32_t left = passed >= 1000 ? 0 : 1000 - passed;
    if (ctx.ui)
      runtime::waitUntil(*ctx.ui, clock, left, stop);
    else
      clock.sleepMs(left);
    if (stop()) {
      view.closed();
      return false;
    }
    // One step per elapsed second, counted from the previous step so that a slow pump
    // does not stretch the whole countdown.
    if (clock.ticks() - tickStart >= 1000) {
      tickStart += 1000;
      --counter;
      view.showSeconds(counter);
    }
  }
  ctx.state.closeConfirmed = true;
  ctx.log.writeLog("Closing Ravelin");
  view.closed();
  return true;
}

}  // namespace ravelin::client

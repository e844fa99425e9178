#include "client/close_countdown.h"

#include "platform/ticks.h"
#include "runtime/app_context.h"

namespace ravelin::client {

bool runCloseCountdown(CountdownView& view, runtime::AppContext& ctx, int seconds) {
  int counter = seconds;
  view.showSeconds(counter);
  std::uint32_t tickStart = platform::ticks();
  while (counter > 0) {
    platform::sleepMs(100);
    ctx.processPending();
    if (view.cancelled() || (ctx.ui && ctx.ui->terminating())) {
      view.closed();
      return false;
    }
    // One timer tick per elapsed second, counted from the previous tick so that a slow
    // pump does not stretch the whole countdown.
    if (platform::ticks() - tickStart >= 1000) {
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

#include "runtime/wait_frame.h"

namespace ravelin::runtime {

void runInWaitFrame(AppContext& ctx, ProgressView& view, const std::function<void()>& start) {
  struct Frame {
    AppContext& ctx;
    ProgressView& view;
    ~Frame() {
      ctx.state.operationDone = false;
      view.setMainWindowEnabled(true);
      view.close();
    }
  };
  ctx.state.operationDone = false;
  view.setMainWindowEnabled(false);
  Frame frame{ctx, view};
  view.show();
  start();
  const auto done = [&ctx] { return ctx.state.operationDone; };
  while (!done()) waitUntil(*ctx.ui, *ctx.clock, 1000, done);
}

}  // namespace ravelin::runtime

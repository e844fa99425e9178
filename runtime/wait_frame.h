#pragma once
#include <functional>

#include "runtime/app_context.h"
#include "runtime/progress_view.h"

namespace ravelin::runtime {

// The frame of every long operation in its window: operationDone cleared, the main window
// disabled, the window shown and the operation started (the window's activation), then the
// user interface served until the operation sets operationDone. On every way out, also
// when the operation throws: operationDone cleared, the main window enabled, the window
// closed.
void runInWaitFrame(AppContext& ctx, ProgressView& view, const std::function<void()>& start);

}  // namespace ravelin::runtime

#pragma once
#include <windows.h>

#include "client/close_countdown.h"
#include "win/dialog.h"
#include "win/handles.h"

namespace ravelin::win {

// "Ravelin: CLOSE Ravelin": CloseUtils' countdown, on top of the other windows and centred
// on the main window, the seconds in red, with Cancel (Enter or Escape too).
class CountdownWindow : public Dialog, public client::CountdownView {
 public:
  static constexpr int kSecondsId = 200;

  // Shows the window over owner and runs the countdown; returns whether it ran out.
  bool run(HWND owner, runtime::AppContext& ctx);

  void showSeconds(int seconds) override;
  bool cancelled() override { return cancelled_; }
  void closed() override { end(IDCANCEL); }

 private:
  DialogTemplate layout() const override;
  void created() override;
  void command(int id, int code) override;
  std::optional<INT_PTR> message(UINT message, WPARAM wParam, LPARAM lParam) override;

  FontHandle boldFont_;
  bool cancelled_ = false;
};

}  // namespace ravelin::win

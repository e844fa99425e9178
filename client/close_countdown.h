#pragma once
// The close countdown of "CloseUtils": five seconds, shown second by second, which the
// user may cancel; at zero the program is to close.

namespace ravelin::runtime {
struct AppContext;
}

namespace ravelin::client {

// What the countdown window shows and whether its Cancel was pressed.
class CountdownView {
 public:
  virtual ~CountdownView() = default;
  // The seconds left: 5 when shown, then 4, 3, 2, 1, 0 at one-second steps.
  virtual void showSeconds(int seconds) = 0;
  // Asked after every user-interface event the countdown serves while it waits, so a
  // Cancel click ends it at once.
  virtual bool cancelled() = 0;
  // The countdown is over (closed at zero or cancelled).
  virtual void closed() {}
};

inline constexpr int kCloseCountdownSeconds = 5;

// Runs the countdown on the user-interface thread, pumping it while it waits. At zero:
// sets closeConfirmed, logs "Closing Ravelin" and returns true. Cancelled: returns false
// and closeConfirmed stays as it was (the caller clears it first). A terminating user
// interface counts as a cancel.
bool runCloseCountdown(CountdownView& view, runtime::AppContext& ctx,
                       int seconds = kCloseCountdownSeconds);

}  // namespace ravelin::client

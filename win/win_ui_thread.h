#pragma once
#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>

#include "runtime/ui_thread.h"
#include "win/handles.h"

namespace ravelin::win {

// The user-interface thread of the desktop program: the thread that constructs it, with
// its window message queue. Functions from other threads arrive as a private message to a
// message-only window, so that they run inside any loop that dispatches messages (a
// message box's too), not only inside run().
class WinUiThread : public runtime::UiThread {
 public:
  WinUiThread();
  // Functions still queued are dropped unrun; their invokers get std::runtime_error.
  ~WinUiThread() override;
  WinUiThread(const WinUiThread&) = delete;
  WinUiThread& operator=(const WinUiThread&) = delete;

  void pump() override;
  void wait(std::uint32_t ms) override;
  // An exception thrown by fn is rethrown in the invoking thread. Once the message loop
  // has ended, invoke() from another thread throws std::runtime_error instead of waiting.
  void invoke(const std::function<void()>& fn) override;
  bool terminating() const override { return terminating_.load(); }

  // The main window is closing: wait loops end early. A close that the user then refuses
  // takes it back; once the loop has ended it stays.
  void setTerminating(bool terminating = true) { terminating_ = terminating || loopEnded_; }

  // Runs fn on this thread at its next dispatch; callable from any thread. False once the
  // loop has ended.
  bool post(std::function<void()> fn);

  // Looks at each message before it is dispatched (keyboard accelerators, dialog
  // navigation); true: handled, not dispatched.
  std::function<bool(MSG&)> preTranslate;

  // The message loop until WM_QUIT; returns its exit code. Ends the thread's service:
  // wait loops end, and later invokes throw.
  int run();

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void dispatch(MSG& msg);
  void runPosted();
  void endLoop();

  DWORD threadId_;
  WindowHandle window_;
  std::mutex mutex_;
  std::deque<std::function<void()>> posted_;
  bool loopEndedLocked_ = false;  // guarded by mutex_
  std::atomic<bool> terminating_{false};
  std::atomic<bool> loopEnded_{false};
};

}  // namespace ravelin::win

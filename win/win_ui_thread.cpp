#include "win/win_ui_thread.h"

#include "runtime/blocking_call.h"

namespace ravelin::win {

namespace {

constexpr UINT kRunPosted = WM_APP + 1;

}  // namespace

WinUiThread::WinUiThread() : threadId_(GetCurrentThreadId()) {
  static const WindowClass windowClass(L"RavelinUiThread", windowProc, 0);
  window_.reset(CreateWindowExW(0, windowClass.name(), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                programInstance(), this));
}

WinUiThread::~WinUiThread() {
  endLoop();
  window_.reset();
}

LRESULT CALLBACK WinUiThread::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WinUiThread* self = windowObject<WinUiThread>(window, message, lParam);
  if (self && message == kRunPosted) {
    self->runPosted();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool WinUiThread::post(std::function<void()> fn) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (loopEndedLocked_) return false;
    posted_.push_back(std::move(fn));
    // One message stands for everything queued until it is handled.
    if (posted_.size() > 1) return true;
  }
  PostMessageW(window_.get(), kRunPosted, 0, 0);
  return true;
}

void WinUiThread::runPosted() {
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    batch.swap(posted_);
  }
  for (auto& fn : batch) fn();
}

void WinUiThread::dispatch(MSG& msg) {
  if (preTranslate && preTranslate(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

void WinUiThread::pump() {
  // Only what is pending now: messages that arrive while these run wait for the next pump,
  // so that a steady stream (a timer, a worker's progress) cannot hold the caller here.
  const DWORD started = GetTickCount();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Left for the loop that waits for it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      terminating_ = true;
      return;
    }
    dispatch(msg);
    if (static_cast<LONG>(msg.time - started) > 0) break;
  }
}

void WinUiThread::wait(std::uint32_t ms) {
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE))
    MsgWaitForMultipleObjectsEx(0, nullptr, ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  pump();
}

void WinUiThread::invoke(const std::function<void()>& fn) {
  if (GetCurrentThreadId() == threadId_) {
    fn();
    return;
  }
  runtime::callBlocking([this](std::function<void()> task) { return post(std::move(task)); }, fn);
}

int WinUiThread::run() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) dispatch(msg);
  endLoop();
  return got == 0 ? static_cast<int>(msg.wParam) : 1;
}

void WinUiThread::endLoop() {
  terminating_ = true;
  loopEnded_ = true;
  std::deque<std::function<void()>> dropped;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    loopEndedLocked_ = true;
    dropped.swap(posted_);
  }
  // Destroyed here, outside the lock: that releases their waiting invokers.
}

}  // namespace ravelin::win

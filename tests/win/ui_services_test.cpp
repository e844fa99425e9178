#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <thread>

#include "platform/clock.h"
#include "win/common_controls.h"
#include "win/main_frame.h"
#include "win/win_prompter.h"
#include "win/win_ui_thread.h"

using namespace ravelin;

namespace {

TEST(WinUiThreadTest, OtherThreadsCallsRunInTheMessageLoopUntilItEnds) {
  auto ui = std::make_unique<win::WinUiThread>();
  // A worker's blocking call runs on this thread while it serves its messages (the
  // hand-over itself is LoopUiThread's too). The wait's bound only catches a hang.
  DWORD ranOn = 0;
  bool workerDone = false;
  std::thread worker([&] {
    ui->invoke([&] { ranOn = GetCurrentThreadId(); });
    ui->post([&] { workerDone = true; });
  });
  EXPECT_TRUE(runtime::waitUntil(*ui, platform::systemClock(), 10000, [&] { return workerDone; }));
  worker.join();
  EXPECT_EQ(ranOn, GetCurrentThreadId());

  // run() serves until the quit message; afterwards a worker's call fails instead of
  // waiting for ever.
  ui->post([] { PostQuitMessage(7); });
  EXPECT_EQ(ui->run(), 7);
  EXPECT_TRUE(ui->terminating());
  bool refused = false;
  std::thread([&] {
    try {
      ui->invoke([] {});
    } catch (const std::runtime_error&) {
      refused = true;
    }
  }).join();
  EXPECT_TRUE(refused);
}

// Answers each message box when it is activated: notes its owner and presses a button by
// a call posted to the UI thread, which the box's own message loop runs.
struct BoxAnswer {
  static inline win::WinUiThread* ui = nullptr;
  static inline int button = IDOK;
  static inline HWND owner = nullptr;
  static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam) {
    auto box = reinterpret_cast<HWND>(wParam);
    wchar_t kind[16] = L"";
    if (code == HCBT_ACTIVATE && GetClassNameW(box, kind, 16) && std::wstring(kind) == L"#32770") {
      owner = GetWindow(box, GW_OWNER);
      ui->post([box] { PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0); });
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
};

TEST(WinPrompterTest, BoxesOpenOverTheWindowInFrontAndGiveTheAnswer) {
  win::initCommonControls();
  win::WinUiThread ui;
  serverlist::ServerList list;
  win::MainFrame frame(list);
  ShowWindow(frame.window(), SW_SHOW);
  ui.pump();
  win::WinPrompter prompter(frame.window());
  BoxAnswer::ui = &ui;
  HHOOK hook = SetWindowsHookExW(WH_CBT, BoxAnswer::hook, nullptr, GetCurrentThreadId());
  const auto ask = [&](int button, runtime::MsgButtons buttons) {
    BoxAnswer::button = button;
    BoxAnswer::owner = nullptr;
    return prompter.message("Title", "Text", runtime::MsgIcon::Question, buttons);
  };
  EXPECT_EQ(ask(IDNO, runtime::MsgButtons::YesNoCancel), runtime::MsgResult::No);
  EXPECT_EQ(BoxAnswer::owner, frame.window());

  // A window of the program in front (the filter window, the script editor) owns the box;
  // once it is gone, the main window again.
  HWND front = CreateWindowExW(0, L"STATIC", L"In front", WS_POPUP | WS_CAPTION | WS_VISIBLE, 10,
                               10, 200, 100, frame.window(), nullptr, nullptr, nullptr);
  SetActiveWindow(front);
  EXPECT_EQ(ask(IDCANCEL, runtime::MsgButtons::OkCancel), runtime::MsgResult::Cancel);
  EXPECT_EQ(BoxAnswer::owner, front);
  DestroyWindow(front);
  EXPECT_EQ(ask(IDOK, runtime::MsgButtons::Ok), runtime::MsgResult::Ok);
  EXPECT_EQ(BoxAnswer::owner, frame.window());
  UnhookWindowsHookEx(hook);
}

}  // namespace

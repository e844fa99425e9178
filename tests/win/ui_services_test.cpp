#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <thread>

#include "platform/clock.h"
#include "win/main_frame.h"
#include "win/win_prompter.h"
#include "win/win_test_support.h"
#include "win/win_ui_thread.h"

using namespace ravelin;
using ravelin::win::WinUiThread;

namespace {

// Serves the thread's messages until done, for at most ten seconds (a hang, not a wait).
template <typename Done>
bool serveUntil(WinUiThread& ui, Done done) {
  return runtime::waitUntil(ui, platform::systemClock(), 10000, done);
}

TEST(WinUiThreadTest, OtherThreadsCallsRunInTheMessageLoop) {
  auto ui = std::make_unique<WinUiThread>();
  const DWORD uiThread = GetCurrentThreadId();

  // A blocking call from a worker runs on this thread while it serves its messages, and an
  // exception comes back to the worker.
  DWORD ranOn = 0;
  bool rethrown = false, workerDone = false;
  std::thread worker([&] {
    ui->invoke([&] { ranOn = GetCurrentThreadId(); });
    try {
      ui->invoke([] { throw std::logic_error("refused"); });
    } catch (const std::logic_error&) {
      rethrown = true;
    }
    ui->post([&] { workerDone = true; });
  });
  EXPECT_TRUE(serveUntil(*ui, [&] { return workerDone; }));
  worker.join();
  EXPECT_EQ(ranOn, uiThread);
  EXPECT_TRUE(rethrown);

  // On its own thread a call runs at once; pump() runs what was posted before it.
  bool inline_ = false, posted = false;
  ui->invoke([&] { inline_ = true; });
  EXPECT_TRUE(inline_);
  ui->post([&] { posted = true; });
  ui->pump();
  EXPECT_TRUE(posted);

  // run() serves until the quit message and gives its code.
  bool served = false;
  ui->post([&] {
    served = true;
    PostQuitMessage(7);
  });
  EXPECT_EQ(ui->run(), 7);
  EXPECT_TRUE(served);
  EXPECT_TRUE(ui->terminating());

  // Once the loop has ended a worker's call fails instead of waiting for ever.
  bool refused = false;
  std::thread late([&] {
    try {
      ui->invoke([] {});
    } catch (const std::runtime_error&) {
      refused = true;
    }
  });
  late.join();
  EXPECT_TRUE(refused);
}

TEST(WinUiThreadTest, CallsStillQueuedAtTheEndAreRefused) {
  auto ui = std::make_unique<WinUiThread>();
  bool ran = false, refused = false;
  std::thread worker([&] {
    try {
      ui->invoke([&] { ran = true; });
    } catch (const std::runtime_error&) {
      refused = true;
    }
  });
  // The worker's call is queued once a message waits for this thread.
  for (int i = 0; i < 1000 && !GetQueueStatus(QS_POSTMESSAGE); ++i) Sleep(10);
  ui.reset();
  worker.join();
  EXPECT_FALSE(ran);
  EXPECT_TRUE(refused);
}

// Answers each message box of this thread when it is activated: notes its owner and
// presses the button given, by a call posted to the UI thread, which the box's own message
// loop runs.
struct BoxAnswer {
  static inline WinUiThread* ui = nullptr;
  static inline int button = IDOK;
  static inline HWND owner = nullptr;
  static inline std::wstring title;
  static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam) {
    auto box = reinterpret_cast<HWND>(wParam);
    wchar_t kind[16] = L"";
    if (code == HCBT_ACTIVATE && GetClassNameW(box, kind, 16) && std::wstring(kind) == L"#32770") {
      owner = GetWindow(box, GW_OWNER);
      wchar_t text[128] = L"";
      GetWindowTextW(box, text, 128);
      title = text;
      ui->post([box] { PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0); });
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
};

TEST(WinPrompterTest, BoxesOpenOverTheWindowInFrontAndGiveTheAnswer) {
  test::initCommonControls();
  WinUiThread ui;
  serverlist::ServerList list;
  win::MainFrame frame(list);
  ShowWindow(frame.window(), SW_SHOW);
  SetActiveWindow(frame.window());
  test::pumpMessages();
  win::WinPrompter prompter(frame.window());
  BoxAnswer::ui = &ui;
  HHOOK hook = SetWindowsHookExW(WH_CBT, BoxAnswer::hook, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);

  BoxAnswer::button = IDNO;
  EXPECT_EQ(prompter.message("Confirm", "Save it?", runtime::MsgIcon::Question,
                             runtime::MsgButtons::YesNoCancel),
            runtime::MsgResult::No);
  EXPECT_EQ(BoxAnswer::owner, frame.window());
  EXPECT_EQ(BoxAnswer::title, L"Confirm");

  // A window of the program in front (the filter window, the script editor) owns the box.
  HWND front = CreateWindowExW(0, L"STATIC", L"In front", WS_POPUP | WS_CAPTION | WS_VISIBLE,
                               10, 10, 200, 100, frame.window(), nullptr, nullptr, nullptr);
  SetActiveWindow(front);
  test::pumpMessages();
  BoxAnswer::button = IDCANCEL;
  EXPECT_EQ(prompter.message("Question", "Go on?", runtime::MsgIcon::Question,
                             runtime::MsgButtons::OkCancel),
            runtime::MsgResult::Cancel);
  EXPECT_EQ(BoxAnswer::owner, front);

  // Once it is gone, the main window owns them again.
  DestroyWindow(front);
  test::pumpMessages();
  BoxAnswer::button = IDOK;
  EXPECT_EQ(prompter.message("Error", "Failed", runtime::MsgIcon::Error, runtime::MsgButtons::Ok),
            runtime::MsgResult::Ok);
  EXPECT_EQ(BoxAnswer::owner, frame.window());
  UnhookWindowsHookEx(hook);
}

}  // namespace

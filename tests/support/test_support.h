#pragma once
// Shared test helpers: a scripted prompter, a UI thread that runs everything at once,
// a progress bar that records what it was told, and a temporary directory.
#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "platform/system.h"
#include "runtime/app_context.h"
#include "runtime/loop_ui_thread.h"
#include "runtime/progress_bar.h"

using namespace ravelin;
using namespace ravelin::runtime;

namespace test {

// Built with ThreadSanitizer: its runtime defers a signal that arrives outside a blocking
// call and now and then never hands it to the program's handler (clang 14, seen about once
// in twenty runs), so tests of a program's signal handling cannot rely on it there.
#if defined(__SANITIZE_THREAD__)
inline constexpr bool kThreadSanitizer = true;
#elif defined(__has_feature)
inline constexpr bool kThreadSanitizer = __has_feature(thread_sanitizer);
#else
inline constexpr bool kThreadSanitizer = false;
#endif

struct PromptRecord {
  std::string title, text;
  MsgIcon icon;
  MsgButtons buttons;
};

// Answers message boxes from a queue (Yes/Ok when it is empty) and records every box.
class ScriptedPrompter : public Prompter {
 public:
  std::vector<PromptRecord> shown;
  std::deque<MsgResult> answers;
  MsgResult message(const std::string& title, const std::string& text, MsgIcon icon,
                    MsgButtons buttons) override {
    shown.push_back({title, text, icon, buttons});
    if (answers.empty()) return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
    MsgResult r = answers.front();
    answers.pop_front();
    return r;
  }
};

// The test body is the UI thread: invoke runs at once, pump counts and runs hooks, a wait
// passes its time on the clock (a manual clock: at once) and then pumps.
class ImmediateUiThread : public UiThread {
 public:
  int pumps = 0;
  bool quit = false;
  std::function<void()> onPump;
  platform::Clock* clock = &platform::systemClock();
  void pump() override {
    ++pumps;
    if (onPump) onPump();
  }
  void wait(std::uint32_t ms) override {
    clock->sleepMs(ms);
    pump();
  }
  void invoke(const std::function<void()>& fn) override { fn(); }
  bool terminating() const override { return quit; }
};

// A LoopUiThread on a manual clock: every wait after one in which ready() held passes its
// whole time on the clock, so a time-out passes at once when the test is ready for it.
struct ClockedUiThread : LoopUiThread {
  explicit ClockedUiThread(platform::ManualClock& c,
                           platform::EventLoop& loop = platform::EventLoop::forCurrentThread())
      : LoopUiThread(loop), clock(c) {}
  void wait(std::uint32_t ms) override {
    LoopUiThread::wait(std::min<std::uint32_t>(ms, 10));
    if (wasReady) clock.advance(ms);
    wasReady = ready && ready();
  }
  platform::ManualClock& clock;
  std::function<bool()> ready;
  bool wasReady = false;
};

class RecordingProgressBar : public ProgressBar {
 public:
  int changes = 0;
  int maxSeen = 0;

 protected:
  void changed() override {
    ++changes;
    if (position() > maxSeen) maxSeen = position();
  }
};

// Runs the loop until pred() holds or timeoutMs passed (a hang catcher, not a timing
// assertion). Returns pred().
bool PumpUntil(platform::EventLoop& loop, const std::function<bool()>& pred,
               std::uint32_t timeoutMs = 10000);
// Runs the loop for ms milliseconds.
void PumpFor(platform::EventLoop& loop, std::uint32_t ms);

// An environment variable set (or, with nullptr, removed) while the object lives.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value);
  ~ScopedVariable();
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// A fresh directory under the system's temporary directory, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// text with its "\n" line ends written as this system writes them in a new text file.
std::string SystemLines(const std::string& text);
// A URL list entry as ravelin.ini holds it ("MET|http://..."), and a list of them.
UrlSource Source(const std::string& entry);
std::vector<UrlSource> Sources(const std::vector<std::string>& entries);
// Bytes from a list of values: Bytes({0x0E, 1, 0, 0, 0}).
std::string Bytes(std::initializer_list<int> values);

// The messages of a log file, without their time stamps.
std::vector<std::string> LogMessages(const std::string& logFile);

// An AppContext wired to a scripted prompter, an immediate UI thread and a log file in
// its own temporary directory; every logged line can be read back with logLines().
class TestApp {
 public:
  TestApp();
  // Waits of the context and of its UI thread take no real time from here on.
  void useManualClock() {
    ctx.clock = &manualClock;
    ui.clock = &manualClock;
  }
  platform::ManualClock manualClock;
  AppContext ctx;
  ScriptedPrompter prompter;
  ImmediateUiThread ui;
  TempDir dir;
  // The messages of the log, without time stamps.
  std::vector<std::string> logLines() const;
};

}  // namespace test

// Verifications at the network's pace, on loopback: silent servers are listeners whose
// accept queue is full, so every SYN to them is dropped and the attempt times out.
//  - 300 servers, 200 silent, VrfTimeout 5, through the whole ravelin-cli with an older
//    ravelin.ini (VrfThreadCount=20, no VrfParallel): goal 6 s; the same in the desktop
//    program (offscreen) and in ravelin-cli.exe under wine;
//  - 3,000 servers, 2,000 silent, VrfTimeout 5, at several VrfParallel: goal 8 s and a
//    peak memory growth under 64 MB;
//  - 1,000 servers that all accept; 300 in ravelin-cli.exe under wine (goal 0.3 s for the
//    verification, the program's start and its reading and saving of the list aside).
// Run inside a private network namespace (the wine ones start their wineserver there, so
// that wine's sockets live in it):
//   unshare -rn sh -c 'ip link set lo up && ulimit -n 20000 && build/bench/verify_bench'
// The wine ones need the Windows build in build-win (its wineprefix is used).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "cli_verify_run.h"
#include "loopback_listener.h"
#include "runtime/loop_ui_thread.h"
#include "serverlist/met_file.h"
#include "support/test_support.h"
#include "verify/verify_command.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;
using namespace ravelin::verify;

namespace {

class CountingView : public VerifyView {
 public:
  ProgressBar bar;
  long long updates = 0;
  void show() override {}
  void close() override {}
  void setMainWindowEnabled(bool) override {}
  void setHeadline(const std::string&) override { ++updates; }
  void setDescription(const std::string&) override { ++updates; }
  ProgressBar& progressBar() override { return bar; }
  void setSlotMark(int, SlotMark) override { ++updates; }
  void setSlotCaption(int, const std::string&) override { ++updates; }
  // The run's own time: no window holds its last verdicts here.
  bool keepsDisplayPauses() const override { return false; }
};

double peakRssMB() {
  rusage ru{};
  ::getrusage(RUSAGE_SELF, &ru);
  return static_cast<double>(ru.ru_maxrss) / 1024.0;
}

// Accepting servers first, then silent ones, interleaved as a real list would have them.
ServerList mixedList(const bench::ListenerSet& accepting, const bench::ListenerSet& silent) {
  ServerList list;
  const auto& a = accepting.ports();
  const auto& s = silent.ports();
  for (std::size_t i = 0, j = 0; i < a.size() || j < s.size();) {
    for (int k = 0; k < 2 && j < s.size(); ++k)
      list.append(Server{"127.0.0.1", std::to_string(s[j++])}, true);
    if (i < a.size()) list.append(Server{"127.0.0.1", std::to_string(a[i++])}, true);
  }
  return list;
}

bool enough(benchmark::State& state, const bench::ListenerSet& set, int n) {
  if (set.ports().size() == static_cast<std::size_t>(n)) return true;
  state.SkipWithError("not enough sockets for the listeners");
  return false;
}

// In this process: the run as the desktop program makes it, without its window.
void verifyInProcess(benchmark::State& state, int accepting, int silent, int parallel,
                     double goal) {
  bench::ListenerSet open(accepting);
  bench::ListenerSet quiet(silent, /*silent=*/true);
  if (!enough(state, open, accepting) || !enough(state, quiet, silent)) return;
  platform::EventLoop loop;
  LoopUiThread ui(loop);
  AppContext ctx;
  ctx.ui = &ui;
  ctx.settings.VrfThreadCount = 20;
  ctx.settings.VrfParallel = parallel;
  ctx.settings.VrfTimeout = 5;
  ctx.settings.VrfWarning = false;
  std::size_t checked = 0;
  double growth = 0;
  for (auto _ : state) {
    ServerList list = mixedList(open, quiet);
    CountingView view;
    const double before = peakRssMB();
    runVerify(list, ctx, view, /*verifyAll=*/true);
    growth = std::max(growth, peakRssMB() - before);
    checked = list.checkedCount();
  }
  if (checked != static_cast<std::size_t>(accepting)) state.SkipWithError("wrong verdicts");
  state.counters["checked"] = static_cast<double>(checked);
  state.counters["goal_s"] = goal;
  state.counters["peak_rss_growth_MB"] = growth;
  state.SetItemsProcessed(state.iterations() * (accepting + silent));
}

void BM_Verify3000Servers2000Silent(benchmark::State& state) {
  verifyInProcess(state, 1000, 2000, static_cast<int>(state.range(0)), 8.0);
}
BENCHMARK(BM_Verify3000Servers2000Silent)
    ->ArgName("VrfParallel")
    ->Arg(1024)
    ->Arg(2048)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

void BM_Verify1000AcceptingServers(benchmark::State& state) {
  verifyInProcess(state, 1000, 0, 256, 0.06);
}
BENCHMARK(BM_Verify1000AcceptingServers)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();

// The whole ravelin-cli, with a ravelin.ini written before VrfParallel existed.
void BM_CliVerify300Servers200Silent(benchmark::State& state) {
  bench::ListenerSet open(100);
  bench::ListenerSet quiet(200, /*silent=*/true);
  if (!enough(state, open, 100) || !enough(state, quiet, 200)) return;
  const bench::CliVerifyRun run(mixedList(open, quiet));
  for (auto _ : state) {
    const test::CliResult r = run.runCli();
    if (r.status != 0) state.SkipWithError(("ravelin-cli failed: " + r.err).c_str());
  }
  state.counters["goal_s"] = 6.0;
}
BENCHMARK(BM_CliVerify300Servers200Silent)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// The desktop program as a user starts it on a script that verifies, saves and closes
// (offscreen). Timed from its start until the saved list is there: the five seconds of
// CloseUtils' countdown that follow are not part of the verification.
void BM_DesktopVerify300Servers200Silent(benchmark::State& state) {
  const std::string binary = RAVELIN_BINARY_DIR "/qt/ravelin";
  if (!std::filesystem::exists(binary)) return state.SkipWithError("no desktop program built");
  bench::ListenerSet open(100);
  bench::ListenerSet quiet(200, /*silent=*/true);
  if (!enough(state, open, 100) || !enough(state, quiet, 200)) return;
  const bench::CliVerifyRun run(mixedList(open, quiet),
                                "[general]\nNoRegCheck=1\n[script]\nScrExecOrEdit=1\n");
  std::string script;
  for (const std::string& line : run.script()) script += line + "\n";
  test::WriteFile(run.dir().file("job.rvs"), script + "CloseUtils\n");
  const std::filesystem::path runtimeDir = run.dir().path() / "run";
  std::filesystem::create_directory(runtimeDir);
  std::filesystem::permissions(runtimeDir, std::filesystem::perms::owner_all);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", run.dir().file("config").c_str(), 1);
  ::setenv("XDG_DATA_HOME", run.dir().file("data").c_str(), 1);
  std::size_t kept = 0;
  for (auto _ : state) {
    std::filesystem::remove(run.out());
    const auto start = std::chrono::steady_clock::now();
    auto saved = start;
    const test::CliResult r = test::runCli(
        {"--ini", run.ini(), run.dir().file("job.rvs")}, run.dir(),
        [&](pid_t) {
          for (int i = 0; i < 30000 && !std::filesystem::exists(run.out()); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
          saved = std::chrono::steady_clock::now();
        },
        std::chrono::seconds(60), {}, binary);
    state.SetIterationTime(std::chrono::duration<double>(saved - start).count());
    if (r.status != 0) state.SkipWithError(("ravelin failed: " + r.err).c_str());
    kept = run.saved();
  }
  if (kept != 100) state.SkipWithError("wrong verdicts");
  state.counters["goal_s"] = 6.0;
}
BENCHMARK(BM_DesktopVerify300Servers200Silent)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseManualTime();

// ravelin-cli.exe under wine, with a wineserver of its own started in this namespace.
class WineServer {
 public:
  static constexpr const char* kWine = "/usr/lib/wine/wine64";
  WineServer() {
    prefix_ = std::filesystem::path(RAVELIN_BINARY_DIR).parent_path() / "build-win";
    std::filesystem::create_directories(prefix_ / "wineprefix");
    ::setenv("WINEPREFIX", (prefix_ / "wineprefix").c_str(), 1);
    ::setenv("WINEDEBUG", "-all", 1);
    ok_ = std::filesystem::exists(exe()) &&
          std::system(
              "/usr/lib/wine/wineserver -p && /usr/lib/wine/wine64 wineboot "
              ">/dev/null 2>&1") == 0;
  }
  // Ends the wineserver and the wine processes it kept.
  ~WineServer() {
    if (ok_) ok_ = std::system("/usr/lib/wine/wineserver -k") == 0;
  }
  bool ok() const { return ok_; }
  std::string exe() const { return (prefix_ / "cli" / "ravelin-cli.exe").string(); }

 private:
  std::filesystem::path prefix_;
  bool ok_ = false;
};

double seconds(const std::function<void()>& fn) {
  const auto start = std::chrono::steady_clock::now();
  fn();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Timed: the whole run less the same run without its verification (the program's start
// under wine, the reading and the saving of the list).
void wineVerify(benchmark::State& state, int accepting, int silent, double goal) {
  bench::ListenerSet open(accepting);
  bench::ListenerSet quiet(silent, /*silent=*/true);
  if (!enough(state, open, accepting) || !enough(state, quiet, silent)) return;
  const WineServer wine;
  if (!wine.ok()) return state.SkipWithError("no Windows build or wine in build-win");
  const bench::CliVerifyRun run(mixedList(open, quiet));
  double whole = 0, without = 0;
  bool failed = false;
  std::size_t kept = 0;
  for (auto _ : state) {
    test::CliResult r;
    const double w = seconds([&] { r = run.runCli(true, {WineServer::kWine}, wine.exe()); });
    failed = failed || r.status != 0;
    kept = run.saved();
    const double b = seconds([&] { r = run.runCli(false, {WineServer::kWine}, wine.exe()); });
    failed = failed || r.status != 0;
    state.SetIterationTime(std::max(0.0, w - b));
    whole += w;
    without += b;
  }
  if (failed) state.SkipWithError("ravelin-cli.exe failed");
  if (kept != static_cast<std::size_t>(accepting)) state.SkipWithError("wrong verdicts");
  const double n = static_cast<double>(state.iterations());
  state.counters["whole_run_s"] = whole / n;
  state.counters["without_verify_s"] = without / n;
  state.counters["goal_s"] = goal;
}

void BM_WineCliVerify300AcceptingServers(benchmark::State& state) {
  wineVerify(state, 300, 0, 0.3);
}
BENCHMARK(BM_WineCliVerify300AcceptingServers)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseManualTime();

void BM_WineCliVerify300Servers200Silent(benchmark::State& state) {
  wineVerify(state, 100, 200, 6.0);
}
BENCHMARK(BM_WineCliVerify300Servers200Silent)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseManualTime();

}  // namespace

BENCHMARK_MAIN();

// Verifications at the network's pace, on loopback: silent servers are listeners whose
// accept queue is full, so every SYN to them is dropped and the attempt times out.
//  - 300 servers, 200 silent, VrfTimeout 5, through the whole ravelin-cli with an older
//    ravelin.ini (VrfThreadCount=20, no VrfParallel): goal 6 s;
//  - 3,000 servers, 2,000 silent, VrfTimeout 5, at several VrfParallel: goal 8 s and a
//    peak memory growth under 64 MB;
//  - 1,000 servers that all accept.
// Run inside a private network namespace:
//   unshare -rn sh -c 'ip link set lo up && build/bench/verify_bench'
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>

#include "cli/cli_runner.h"
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
  test::TempDir dir;
  {
    ServerList list = mixedList(open, quiet);
    test::TestApp app;
    test::RecordingProgressBar bar;
    writeServersToMet(list, dir.file("in.met"), bar, app.ctx);
  }
  const std::string ini = dir.file("ravelin.ini");
  test::WriteFile(ini, "[verify]\nVrfThreadCount=20\nVrfTimeout=5\nVrfWarning=0\n");
  const std::string out = dir.file("out.met");
  for (auto _ : state) {
    const test::CliResult r =
        test::runCli({"--ini", ini, "-e", "RefreshCustomMET[" + dir.file("in.met") + "]", "-e",
                      "VerifyAll", "-e", "SaveCustomMET[" + out + "]"},
                     dir);
    if (r.status != 0) state.SkipWithError(("ravelin-cli failed: " + r.err).c_str());
  }
  state.counters["goal_s"] = 6.0;
}
BENCHMARK(BM_CliVerify300Servers200Silent)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

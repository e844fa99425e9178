// A verification of 1,000 servers on loopback with 20 workers: wall time, against the
// floor that the prescribed pauses set (every server takes at least one 100 ms wait step
// and the 500 ms verdict pause: 50 rounds of 600 ms = 30 s), and peak memory.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "loopback_listener.h"
#include "runtime/loop_ui_thread.h"
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
};

void BM_Verify1000LoopbackServers20Workers(benchmark::State& state) {
  bench::Listener listener;
  platform::EventLoop loop;
  LoopUiThread ui(loop);
  AppContext ctx;
  ctx.ui = &ui;
  ctx.settings.VrfThreadCount = 20;
  ctx.settings.VrfTimeout = 5;
  ctx.settings.VrfWarning = false;
  std::size_t checked = 0;
  for (auto _ : state) {
    ServerList list;
    for (int i = 0; i < 1000; ++i) {
      Server s;
      s.ip = "127.0.0.1";
      s.port = std::to_string(listener.port());
      list.append(s, true);
    }
    CountingView view;
    runVerify(list, ctx, view, /*verifyAll=*/true);
    checked = list.checkedCount();
  }
  rusage ru{};
  ::getrusage(RUSAGE_SELF, &ru);
  state.counters["checked"] = static_cast<double>(checked);
  state.counters["floor_s"] = 30.0;
  state.counters["peak_rss_MB"] = static_cast<double>(ru.ru_maxrss) / 1024.0;
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_Verify1000LoopbackServers20Workers)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

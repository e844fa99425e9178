// An update from 8 local URLs, each serving a server.met of 10,000 entries, with 8
// workers: the wall time of the whole command (against the fixed waits it contains) and
// the peak memory growth. Everything runs on 127.0.0.1.
//
// Run (Release build):
//   build-rel/bench/update_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "runtime/loop_ui_thread.h"
#include "update/update_command.h"

static const std::string kBenchPeers =
    std::string(__FILE__).substr(0, std::string(__FILE__).rfind("/bench/")) + "/tests/peers";
#ifndef RAVELIN_TEST_PEERS
#define RAVELIN_TEST_PEERS kBenchPeers.c_str()
#endif
#include "support/peer_process.h"
#include "support/recording_update_view.h"
#include "support/update_bodies.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;
using namespace ravelin::update;

namespace {

constexpr int kJobs = 8;
constexpr int kEntries = 10000;

long StatusKb(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key) + 1);
  return 0;
}

struct Peers {
  test::TempDir dir;
  std::unique_ptr<test::OddHttpServer> http;
  std::vector<UrlSource> urls;
  Peers() {
    for (int j = 0; j < kJobs; ++j)
      test::WriteFile(dir.file("m" + std::to_string(j) + ".met"),
                      test::MetBody(kEntries, test::ManyMetEntries(kEntries, 10 + j)));
    http = std::make_unique<test::OddHttpServer>(
        test::OddHttpServer::Options{"", "", dir.path().string(), "", ""});
    for (int j = 0; j < kJobs; ++j)
      urls.push_back({SourceKind::MET, http->url("/file/m" + std::to_string(j) + ".met")});
  }
};

void BM_UpdateEightMetUrls(benchmark::State& state) {
  static Peers peers;
  LoopUiThread ui;
  test::RecordingUpdateView view;
  test::RecordingProgressBar loadSave;
  AppContext ctx;
  ctx.ui = &ui;
  ctx.settings.URLs = peers.urls;
  ctx.settings.UpdThreadCount = 8;
  ctx.settings.UpdTimeout = 10;
  long peak = 0;
  std::size_t added = 0;
  for (auto _ : state) {
    ServerList list;
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = StatusKb("VmRSS:");
    runUpdate(list, ctx, view, UpdateKind::All, loadSave);
    peak = std::max(peak, StatusKb("VmHWM:") - before);
    added = list.size();
  }
  if (added != static_cast<std::size_t>(kJobs * kEntries))
    state.SkipWithError("not every server arrived");
  state.counters["servers_added"] = static_cast<double>(added);
  // The waits every such update contains: each worker pauses 1000 ms before it reports
  // (the eight in parallel), and the coordinator looks at its pool every 500 ms.
  state.counters["fixed_waits_ms"] = 1000 + 500;
  state.counters["peak_rss_growth_MB"] = static_cast<double>(peak) / 1024.0;
}

BENCHMARK(BM_UpdateEightMetUrls)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace

BENCHMARK_MAIN();

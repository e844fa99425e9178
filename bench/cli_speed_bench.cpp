// The headless speed goals, measured through ravelin-cli as a user runs it, one whole
// ravelin-cli process per iteration (start-up, reading ravelin.ini, the script):
//  - 1,000 servers on loopback verified with 20 workers (goal: under 2 s);
//  - 8 URLs of a 10,000-entry server.met each, updated with 8 workers (goal: under 0.8 s).
// Everything runs on 127.0.0.1.
//
// Run (Release build):
//   cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release && cmake --build build-rel
//   build-rel/bench/cli_speed_bench --benchmark_repetitions=5
//     --benchmark_report_aggregates_only=true   (one command line)
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <thread>

#include "cli_verify_run.h"
#include "loopback_listener.h"
#include "serverlist/met_file.h"
#include "support/peer_process.h"
#include "support/update_bodies.h"

using namespace ravelin;
using namespace ravelin::serverlist;

namespace {

void BM_CliVerify1000LoopbackServers20Workers(benchmark::State& state) {
  constexpr int kServers = 1000;
  bench::ListenerSet listeners(kServers);
  if (listeners.ports().size() != static_cast<std::size_t>(kServers)) {
    state.SkipWithError("not enough sockets for 1,000 listeners");
    return;
  }
  ServerList list;
  for (std::uint16_t port : listeners.ports())
    list.append(Server{"127.0.0.1", std::to_string(port)}, true);
  const bench::CliVerifyRun run(list);
  std::size_t kept = 0;
  for (auto _ : state) {
    const test::CliResult r = run.runCli();
    state.PauseTiming();
    if (r.status != 0) state.SkipWithError(("ravelin-cli failed: " + r.err).c_str());
    kept = run.saved();
    state.ResumeTiming();
  }
  if (kept != static_cast<std::size_t>(kServers)) state.SkipWithError("not every server accepted");
  state.counters["servers_kept"] = static_cast<double>(kept);
  state.counters["goal_s"] = 2.0;
  state.SetItemsProcessed(state.iterations() * kServers);
}
BENCHMARK(BM_CliVerify1000LoopbackServers20Workers)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

void BM_CliUpdateEightMetUrls(benchmark::State& state) {
  constexpr int kJobs = 8;
  constexpr int kEntries = 10000;
  test::TempDir dir;
  for (int j = 0; j < kJobs; ++j)
    test::WriteFile(dir.file("m" + std::to_string(j) + ".met"),
                    test::MetBody(kEntries, test::ManyMetEntries(kEntries, 10 + j)));
  test::OddHttpServer http({"", "", dir.path().string(), "", ""});
  std::string iniText = "[general]\nLOG=1\n[update]\nUpdThreadCount=8\nUpdTimeout=10\n[URLs]\n";
  for (int j = 0; j < kJobs; ++j)
    iniText += "URL" + std::to_string(j + 1) + "=MET|" +
               http.url("/file/m" + std::to_string(j) + ".met") + "\n";
  const std::string ini = dir.file("ravelin.ini");
  test::WriteFile(ini, iniText);
  const std::string expected =
      "Updated successfully and found <" + std::to_string(kJobs * kEntries) + "> unique IPs";
  bool allArrived = true;
  for (auto _ : state) {
    const test::CliResult r = test::runCli({"--ini", ini, "-e", "UpdateFromMET"}, dir);
    state.PauseTiming();
    if (r.status != 0) state.SkipWithError(("ravelin-cli failed: " + r.err).c_str());
    bool found = false;
    for (const auto& f : std::filesystem::directory_iterator(dir.path() / "log"))
      found = found || test::ReadFile(f.path().string()).find(expected) != std::string::npos;
    allArrived = allArrived && found;
    std::filesystem::remove_all(dir.path() / "log");
    state.ResumeTiming();
  }
  if (!allArrived) state.SkipWithError("not every server arrived");
  state.counters["goal_s"] = 0.8;
}
BENCHMARK(BM_CliUpdateEightMetUrls)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();

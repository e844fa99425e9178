// Download throughput of HttpClient against curl on the same local URL, over HTTP and
// HTTPS, and the peak memory growth of our download. Everything runs on 127.0.0.1.
//
// Run (Release build):
//   build-rel/bench/http_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// The body size is RAVELIN_BENCH_MB megabytes (default 100).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "net/http_client.h"
#include "support/peer_process.h"
#include "support/test_support.h"

// The peers of the test suite, with the peer folder found from this file's place.
static const std::string kBenchPeers =
    std::string(__FILE__).substr(0, std::string(__FILE__).rfind("/bench/")) + "/tests/peers";
#ifndef RAVELIN_TEST_PEERS
#define RAVELIN_TEST_PEERS kBenchPeers.c_str()
#endif

extern char** environ;

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::net;
using namespace ravelin::runtime;

namespace {

long g_pieces = 0;
double g_gaps = 0;  // time spent in pauses over 20 ms between two pieces of a body

std::size_t BodyBytes() {
  const char* mb = std::getenv("RAVELIN_BENCH_MB");
  return static_cast<std::size_t>(mb ? std::atoi(mb) : 100) * 1024 * 1024;
}

long StatusKb(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key) + 1);
  return 0;
}

// The servers and files shared by all runs.
struct Peers {
  test::TempDir dir;
  std::unique_ptr<test::OddHttpServer> http, https;
  Peers() {
    const std::size_t n = BodyBytes();
    {
      std::ofstream out(dir.file("body.bin"), std::ios::binary);
      std::string chunk(1 << 20, '\0');
      for (std::size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<char>(i * 7);
      for (std::size_t done = 0; done < n; done += chunk.size())
        out.write(chunk.data(), static_cast<std::streamsize>(std::min(chunk.size(), n - done)));
    }
    http = std::make_unique<test::OddHttpServer>(
        test::OddHttpServer::Options{"", "", dir.path().string(), "", ""});
    const auto& ca = test::TestCa::get();
    if (ca.ok)
      https = std::make_unique<test::OddHttpServer>(
          test::OddHttpServer::Options{"", "", dir.path().string(), ca.leafCert, ca.leafKey});
  }
  static Peers& get() {
    static Peers p;
    return p;
  }
};

// One GET with our client, the body kept in a string (keep) or only counted; returns the
// number of body bytes, or 0 on failure.
std::size_t OurGet(const std::string& url, const std::string& caFile, bool keep,
                   long& peakGrowthKb) {
  platform::EventLoop loop;
  std::string body;
  std::size_t counted = 0;
  bool done = false;
  std::uint16_t error = 0;
  {
    HttpClient cli(loop);
    cli.url = url;
    cli.tlsCaFile = caFile;
    cli.bodyString = keep ? &body : nullptr;
    auto last = std::chrono::steady_clock::now();
    cli.onDocData = [&](HttpClient&, const char*, int len) {
      const auto now = std::chrono::steady_clock::now();
      const double gap = std::chrono::duration<double, std::milli>(now - last).count();
      last = now;
      if (g_pieces > 0) g_gaps += gap > 20 ? gap : 0;
      ++g_pieces;
      counted += static_cast<std::size_t>(len);
    };
    cli.onRequestDone = [&](HttpClient&, HttpRequest, std::uint16_t e) {
      error = e;
      done = true;
    };
    std::ofstream("/proc/self/clear_refs") << "5";  // resets the peak (VmHWM)
    const long before = StatusKb("VmRSS:");
    cli.startGet();
    test::RunLoopUntil(
        loop, [&] { return done; }, 120000);
    peakGrowthKb = StatusKb("VmHWM:") - before;
  }
  if (!done || error != 0) return 0;
  return keep ? body.size() : counted;
}

// curl on the same URL, its body written to target (/dev/null, or a file in /dev/shm,
// which keeps it in memory like our string does).
bool CurlGet(const std::string& url, const std::string& caFile, const std::string& target) {
  std::vector<std::string> args = {"curl", "-s", "-f", "-o", target};
  if (!caFile.empty()) args.insert(args.end(), {"--cacert", caFile});
  args.push_back(url);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, "curl", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  if (target != "/dev/null") unlink(target.c_str());
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string Url(bool tls) {
  Peers& p = Peers::get();
  return (tls ? p.https : p.http)->url("/file/body.bin", tls);
}

void Ours(benchmark::State& state, bool tls, bool keep) {
  if (tls && !Peers::get().https) return state.SkipWithError("no test certificates");
  const std::string ca = tls ? test::TestCa::get().caCert : "";
  long peak = 0, worstPeak = 0;
  for (auto _ : state) {
    if (OurGet(Url(tls), ca, keep, peak) != BodyBytes())
      return state.SkipWithError("download failed");
    worstPeak = std::max(worstPeak, peak);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * BodyBytes()));
  state.counters["peak_rss_growth_MB"] = static_cast<double>(worstPeak) / 1024.0;
  state.counters["body_MB"] = static_cast<double>(BodyBytes()) / (1024.0 * 1024.0);
  state.counters["pieces"] =
      static_cast<double>(g_pieces) / static_cast<double>(state.iterations());
  state.counters["stalled_ms"] = g_gaps / static_cast<double>(state.iterations());
  g_pieces = 0;
  g_gaps = 0;
}

void Curl(benchmark::State& state, bool tls, bool keep) {
  if (tls && !Peers::get().https) return state.SkipWithError("no test certificates");
  const std::string ca = tls ? test::TestCa::get().caCert : "";
  const std::string target =
      keep ? "/dev/shm/ravelin-bench-" + std::to_string(getpid()) : "/dev/null";
  for (auto _ : state)
    if (!CurlGet(Url(tls), ca, target)) return state.SkipWithError("curl failed");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * BodyBytes()));
}

// "Memory": the body is kept in memory (ours: the caller's string; curl: a tmpfs file).
// "Discard": the body is only counted (ours) or written to /dev/null (curl).
void BM_Http_Ours_Memory(benchmark::State& s) {
  Ours(s, false, true);
}
void BM_Http_Curl_Memory(benchmark::State& s) {
  Curl(s, false, true);
}
void BM_Http_Ours_Discard(benchmark::State& s) {
  Ours(s, false, false);
}
void BM_Http_Curl_Discard(benchmark::State& s) {
  Curl(s, false, false);
}
void BM_Https_Ours_Memory(benchmark::State& s) {
  Ours(s, true, true);
}
void BM_Https_Curl_Memory(benchmark::State& s) {
  Curl(s, true, true);
}
void BM_Https_Ours_Discard(benchmark::State& s) {
  Ours(s, true, false);
}
void BM_Https_Curl_Discard(benchmark::State& s) {
  Curl(s, true, false);
}

#define RAVELIN_DOWNLOAD_BENCH(f) \
  BENCHMARK(f)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)
RAVELIN_DOWNLOAD_BENCH(BM_Http_Ours_Memory);
RAVELIN_DOWNLOAD_BENCH(BM_Http_Curl_Memory);
RAVELIN_DOWNLOAD_BENCH(BM_Http_Ours_Discard);
RAVELIN_DOWNLOAD_BENCH(BM_Http_Curl_Discard);
RAVELIN_DOWNLOAD_BENCH(BM_Https_Ours_Memory);
RAVELIN_DOWNLOAD_BENCH(BM_Https_Curl_Memory);
RAVELIN_DOWNLOAD_BENCH(BM_Https_Ours_Discard);
RAVELIN_DOWNLOAD_BENCH(BM_Https_Curl_Discard);

}  // namespace

BENCHMARK_MAIN();

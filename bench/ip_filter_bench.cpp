// Loading an IP filter of a million ranges from its file, and looking addresses up in it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

#include "platform/file_io.h"
#include "serverlist/ip_filter.h"
#include "support/test_support.h"

using namespace ravelin::serverlist;

namespace {

constexpr int kRanges = 1000000;

std::string dotted(std::uint32_t a) {
  char buf[20];
  std::snprintf(buf, sizeof buf, "%03u.%03u.%03u.%03u", a >> 24, (a >> 16) & 0xFF, (a >> 8) & 0xFF,
                a & 0xFF);
  return buf;
}

// kRanges ranges of the client's format, in shuffled order, every other one a PeerGuardian
// line; ranges of 128 addresses, 4096 apart.
const std::string& filterFile() {
  static test::TempDir dir;
  static const std::string path = [] {
    std::vector<std::uint32_t> starts(kRanges);
    for (int i = 0; i < kRanges; ++i) starts[i] = static_cast<std::uint32_t>(i) * 4096u;
    std::shuffle(starts.begin(), starts.end(), std::mt19937(7));
    std::string text;
    text.reserve(static_cast<std::size_t>(kRanges) * 64);
    for (int i = 0; i < kRanges; ++i) {
      const std::uint32_t s = starts[i];
      if (i % 2 == 0)
        text += dotted(s) + " - " + dotted(s + 127) + " , 000 , Range number " + std::to_string(i) +
                "\n";
      else
        text +=
            "Range number " + std::to_string(i) + ":" + dotted(s) + "-" + dotted(s + 127) + "\n";
    }
    const std::string file = dir.file("ipfilter.dat");
    ravelin::platform::writeFileAtomically(file, text);
    return file;
  }();
  return path;
}

void BM_LoadMillionRanges(benchmark::State& state) {
  const std::string& path = filterFile();
  for (auto _ : state) {
    const IpFilter f = loadIpFilterFile(path, std::uint64_t{4096} << 20);
    if (f.ranges().size() != kRanges) state.SkipWithError("wrong number of ranges");
    benchmark::DoNotOptimize(f.ranges().data());
  }
  state.counters["ranges"] = kRanges;
}
BENCHMARK(BM_LoadMillionRanges)->Unit(benchmark::kMillisecond);

void BM_LookupInMillionRanges(benchmark::State& state) {
  static const IpFilter f = loadIpFilterFile(filterFile(), std::uint64_t{4096} << 20);
  std::mt19937 rng(1);
  std::uint64_t blocked = 0;
  for (auto _ : state) blocked += f.blocks(static_cast<std::uint32_t>(rng()));
  benchmark::DoNotOptimize(blocked);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LookupInMillionRanges);

}  // namespace

BENCHMARK_MAIN();

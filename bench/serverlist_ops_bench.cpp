// Sorting, filtering and the memory of the server list at 100,000 rows.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "serverlist/batch_scope.h"
#include "serverlist/server_filter.h"
#include "serverlist/server_sort.h"

using namespace ravelin;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;

namespace {

constexpr size_t kRows = 100000;

// Servers as the public lists carry them: addresses from the whole range, mostly the
// usual ports, names and descriptions of a few words, counts or "n/a".
Server RandomServer(std::mt19937& rng) {
  auto num = [&](unsigned lo, unsigned hi) { return std::to_string(lo + rng() % (hi - lo + 1)); };
  static const char* words[] = {"Big",    "eDonkey", "Server", "Net",  "Razor", "Sharing",
                                "Planet", "No.",     "Free",   "Dona", "abc",   "Peer"};
  auto words3 = [&] {
    std::string s = words[rng() % 12];
    s += ' ';
    s += words[rng() % 12];
    if (rng() % 2) s += ' ' + num(1, 99);
    return s;
  };
  Server s;
  s.ip = num(1, 255) + "." + num(0, 255) + "." + num(0, 255) + "." + num(0, 255);
  s.port = rng() % 3 ? "4661" : num(1, 40000);
  s.name = words3();
  s.desc = words3();
  s.ping = rng() % 4 ? num(5, 900) : "n/a";
  s.users = rng() % 5 ? num(0, 250000) : "n/a";
  s.files = rng() % 5 ? num(0, 30000000) : "n/a";
  s.pref = rng() % 10 ? "Normal" : (rng() % 2 ? "High" : "Low");
  s.hist = rng() % 2 ? num(0, 50) : "n/a";
  return s;
}

void Fill(ServerList& list, size_t rows, unsigned seed) {
  std::mt19937 rng(seed);
  for (size_t i = 0; i < rows; ++i) list.append(RandomServer(rng), true);
}

void Shuffle(ServerList& list, std::mt19937& rng) {
  std::vector<size_t> order(list.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::shuffle(order.begin(), order.end(), rng);
  list.permute(order);
}

void SortColumnBench(benchmark::State& state, int column) {
  ServerList list;
  Fill(list, kRows, 1);
  std::mt19937 rng(2);
  list.sortBy(column, false);
  for (auto _ : state) {
    state.PauseTiming();
    Shuffle(list, rng);
    state.ResumeTiming();
    sortServers(list);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kRows));
}

void BM_SortByIP(benchmark::State& state) {
  SortColumnBench(state, fIP);
}
void BM_SortByName(benchmark::State& state) {
  SortColumnBench(state, fName);
}
void BM_SortByUsers(benchmark::State& state) {
  SortColumnBench(state, fUsers);
}

void BM_FilterNameWildcard(benchmark::State& state) {
  ServerList list;
  Fill(list, kRows, 3);
  size_t kept = 0;
  for (auto _ : state) {
    state.PauseTiming();
    {
      BatchScope batch(list);
      for (size_t row = 0; row < list.size(); ++row) list.setChecked(row, true);
    }
    state.ResumeTiming();
    filterServers(list, fName, foEqual, "*abc*");
    kept = list.checkedCount();
  }
  state.counters["kept"] = static_cast<double>(kept);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kRows));
}

size_t HeapInUse() {
  const struct mallinfo2 mi = mallinfo2();
  return mi.uordblks + mi.hblkhd;
}

// Heap bytes per entry of a list of short fields (every field fits the string's own
// buffer), filled one append at a time inside an update bracket as the imports do, and
// filled after reserving.
void BM_MemoryPerEntry(benchmark::State& state) {
  const bool reserve = state.range(0) != 0;
  double perEntry = 0;
  for (auto _ : state) {
    const size_t before = HeapInUse();
    {
      ServerList list;
      if (reserve) list.reserve(kRows);
      list.beginUpdate();
      Fill(list, kRows, 4);
      list.endUpdate();
      perEntry = static_cast<double>(HeapInUse() - before) / kRows;
      benchmark::DoNotOptimize(list.size());
    }
  }
  state.counters["bytes_per_entry"] = perEntry;
  state.counters["sizeof_entry"] = sizeof(ServerEntry);
}

}  // namespace

BENCHMARK(BM_SortByIP)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByName)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByUsers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterNameWildcard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryPerEntry)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("reserved")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

BENCHMARK_MAIN();

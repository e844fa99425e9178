// Reading, merging and writing large server.met and BOT files, without a user interface.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/file_io.h"
#include "runtime/app_context.h"
#include "runtime/progress_bar.h"
#include "serverlist/bot_file.h"
#include "serverlist/met_file.h"
#include "serverlist/met_tags.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;

namespace {

constexpr int kEntries = 100000;

// A directory of its own under the temporary directory, removed at exit.
const std::filesystem::path& benchDir() {
  static const std::filesystem::path dir = [] {
    std::string tmpl = (std::filesystem::temp_directory_path() / "ravelin-bench-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) std::abort();
    std::atexit([] { std::filesystem::remove_all(benchDir()); });
    return std::filesystem::path(tmpl);
  }();
  return dir;
}

// kEntries distinct servers with the fields a real list carries.
const ServerList& sampleList() {
  static const ServerList list = [] {
    ServerList l;
    l.reserve(kEntries);
    for (int i = 0; i < kEntries; ++i) {
      Server s;
      s.ip = std::to_string(10 + i / 65536) + "." + std::to_string((i / 256) % 256) + "." +
             std::to_string(i % 256) + ".7";
      s.port = std::to_string(4000 + i % 1000);
      s.name = "Server number " + std::to_string(i);
      s.desc = "A description of server " + std::to_string(i);
      s.ping = std::to_string(i % 500);
      s.users = std::to_string(i * 7 % 100000);
      s.files = std::to_string(i * 131 % 10000000);
      s.pref = i % 3 == 0 ? "High" : "Normal";
      l.append(s, true);
    }
    return l;
  }();
  return list;
}

const std::string& metFile() {
  static const std::string path = [] {
    const std::string p = (benchDir() / "bench.met").string();
    platform::writeFileAtomically(p, *encodeMetFile(sampleList(), false));
    return p;
  }();
  return path;
}

const std::string& botFile() {
  static const std::string path = [] {
    const std::string p = (benchDir() / "bench.bot").string();
    platform::writeFileAtomically(p, *encodeBotFile(sampleList()));
    return p;
  }();
  return path;
}

void BM_MetReadMergeIntoEmptyList(benchmark::State& state) {
  AppContext ctx;
  ProgressBar bar;
  const std::string& path = metFile();
  for (auto _ : state) {
    ServerList list;
    readServersFromMet(list, path, bar, ctx);
    if (list.size() != kEntries) state.SkipWithError("wrong count");
    benchmark::DoNotOptimize(list);
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_MetReadMergeIntoEmptyList)->Unit(benchmark::kMillisecond);

void BM_MetReadMergeIntoFullList(benchmark::State& state) {
  AppContext ctx;
  ProgressBar bar;
  const std::string& path = metFile();
  for (auto _ : state) {
    state.PauseTiming();
    ServerList list = sampleList();
    state.ResumeTiming();
    readServersFromMet(list, path, bar, ctx);
    if (list.size() != kEntries) state.SkipWithError("wrong count");
    benchmark::DoNotOptimize(list);
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_MetReadMergeIntoFullList)->Unit(benchmark::kMillisecond);

// The decoder alone, without the merge into the list: what this file format costs.
void BM_MetDecodeOnly(benchmark::State& state) {
  const std::string bytes = platform::readWholeFile(metFile());
  for (auto _ : state) {
    MetDecoder decoder(bytes);
    MetRecord rec;
    std::size_t n = 0;
    while (decoder.next(rec)) ++n;
    if (n != kEntries) state.SkipWithError("wrong count");
    benchmark::DoNotOptimize(rec);
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_MetDecodeOnly)->Unit(benchmark::kMillisecond);

void BM_MetWrite(benchmark::State& state) {
  AppContext ctx;
  ctx.settings.MetAddressTags = false;
  ProgressBar bar;
  const ServerList& list = sampleList();
  const std::string path = (benchDir() / "written.met").string();
  for (auto _ : state) {
    if (!writeServersToMet(list, path, bar, ctx)) state.SkipWithError("write failed");
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_MetWrite)->Unit(benchmark::kMillisecond);

void BM_BotReadMergeIntoEmptyList(benchmark::State& state) {
  AppContext ctx;
  ProgressBar bar;
  const std::string& path = botFile();
  for (auto _ : state) {
    ServerList list;
    readServersFromBOT(list, path, bar, ctx);
    if (list.size() != kEntries) state.SkipWithError("wrong count");
    benchmark::DoNotOptimize(list);
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_BotReadMergeIntoEmptyList)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

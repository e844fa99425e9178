// Server link scan over large pages: throughput, and time that grows with the page size
// (twice the page, twice the time), plus the whole file import on the 10 MB page.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/file_io.h"
#include "serverlist/link_scan_reference.h"
#include "serverlist/server_links.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;

namespace {

// A page of `links` table rows of about equal length, `bytes` long in all: each row has
// one ed2k server link among ordinary markup and text.
std::string MakePage(size_t bytes, size_t links) {
  std::string page = "<html><head><title>servers</title></head><body><table>\n";
  page.reserve(bytes + 256);
  const size_t perLink = bytes / links;
  for (size_t i = 0; i < links; ++i) {
    std::string row = "<tr><td><a href=\"ed2k://|server|" + std::to_string(10 + i / 65536 % 200) +
                      "." + std::to_string(i / 256 % 256) + "." + std::to_string(i % 256) + "." +
                      std::to_string(1 + i % 250) + "|" + std::to_string(1000 + i % 39000) +
                      "|/\">Server " + std::to_string(i) + "</a></td><td>";
    while (row.size() + 11 < perLink) row += "description | text ";
    row.resize(perLink - 11, ' ');
    row += "</td></tr>\n";
    page += row;
  }
  page += "</table></body></html>\n";
  return page;
}

const std::string& Page10() {
  static const std::string page = MakePage(10'000'000, 50'000);
  return page;
}
const std::string& Page20() {
  static const std::string page = MakePage(20'000'000, 100'000);
  return page;
}

void Scan(benchmark::State& state, const std::string& page) {
  size_t links = 0;
  for (auto _ : state) {
    const auto pairs = scanServerLinks(page);
    links = pairs.size();
    benchmark::DoNotOptimize(pairs.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
  state.counters["links"] = static_cast<double>(links);
  state.counters["page_MB"] = static_cast<double>(page.size()) / 1e6;
}

void BM_ScanLinks_10MB_50k(benchmark::State& state) {
  Scan(state, Page10());
}
void BM_ScanLinks_20MB_100k(benchmark::State& state) {
  Scan(state, Page20());
}

// For contrast: deleting the consumed front at every link, on a 1 MB page with 5,000 links.
void BM_DirectScan_1MB_5k(benchmark::State& state) {
  static const std::string page = MakePage(1'000'000, 5'000);
  for (auto _ : state) benchmark::DoNotOptimize(test::ReferenceScanServerLinks(page).size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

// The whole import: read the file, scan, merge 50,000 new servers into an empty list.
void BM_ReadServersFromHTML_10MB_50k(benchmark::State& state) {
  const std::string file = (std::filesystem::temp_directory_path() /
                            ("ravelin-links-bench-" + std::to_string(::getpid()) + ".html"))
                               .string();
  platform::writeFileAtomically(file, Page10());
  size_t servers = 0;
  for (auto _ : state) {
    ServerList list;
    AppContext ctx;
    readServersFromHTML(list, file, ctx);
    servers = list.size();
  }
  std::remove(file.c_str());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Page10().size()));
  state.counters["servers"] = static_cast<double>(servers);
}

}  // namespace

BENCHMARK(BM_ScanLinks_10MB_50k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanLinks_20MB_100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DirectScan_1MB_5k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadServersFromHTML_10MB_50k)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

// The desktop list view at 100,000 rows: the model's reset when an import ends, and a
// column-header click (the core's sort plus the view's refresh). Qt's offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <chrono>
#include <random>
#include <string>

#include "qt/server_list_model.h"
#include "qt/server_list_view.h"
#include "random_server.h"
#include "runtime/progress_bar.h"
#include "serverlist/batch_scope.h"
#include "serverlist/server_sort.h"

using namespace ravelin;
using namespace ravelin::serverlist;

namespace {

constexpr size_t kRows = 100000;

// The main window's list as the user sees it: a view of 780 x 480 pixels on screen.
struct ShownList {
  ServerList list;
  qt::ServerListModel model{list};
  qt::ServerListView view{model};
  ShownList() {
    view.resize(780, 480);
    view.show();
    QCoreApplication::processEvents();
  }
  // Everything the view does until the change is on screen.
  void refresh() {
    view.viewport()->repaint();
    QCoreApplication::processEvents();
  }
};

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The end of an import of 100,000 rows into an empty list: the one model reset and the
// view's refresh. The rows themselves are appended untimed, with repainting suspended as
// the readers do.
void BM_ModelResetAfterImport(benchmark::State& state) {
  std::mt19937 rng(42);
  std::vector<Server> servers;
  for (size_t i = 0; i < kRows; ++i) servers.push_back(bench::randomServer(rng));
  ShownList shown;
  for (auto _ : state) {
    shown.list.clear();
    shown.refresh();
    shown.list.beginUpdate();
    for (const Server& s : servers) shown.list.append(s, true);
    const auto start = std::chrono::steady_clock::now();
    shown.list.endUpdate();
    shown.refresh();
    state.SetIterationTime(secondsSince(start));
  }
  state.counters["rows"] = static_cast<double>(shown.model.rowCount());
}
BENCHMARK(BM_ModelResetAfterImport)->UseManualTime()->Unit(benchmark::kMillisecond);

// A click on a column header with 100,000 rows: the core's sort and the view's refresh.
// Every click sorts (the direction flips), alternating a numeric and a text column.
void BM_ColumnClickSort(benchmark::State& state) {
  std::mt19937 rng(7);
  ShownList shown;
  {
    runtime::ProgressBar bar;
    BatchScope import(shown.list, bar);
    for (size_t i = 0; i < kRows; ++i) shown.list.append(bench::randomServer(rng), true);
  }
  shown.refresh();
  int click = 0;
  for (auto _ : state) {
    const int column = (click++ / 2) % 2 == 0 ? fUsers : fName;
    const auto start = std::chrono::steady_clock::now();
    clickColumn(shown.list, column);
    shown.refresh();
    state.SetIterationTime(secondsSince(start));
  }
}
BENCHMARK(BM_ColumnClickSort)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

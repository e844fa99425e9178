// The Windows program's list view at 100,000 rows, measured under wine or on Windows: the
// end of an import (the view's one reset, the repaint of what is on screen) and a header
// click (the core's sort plus the repaint). Google Benchmark has no MinGW build here, so
// this program times each step itself and prints the figures.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "random_server.h"
#include "serverlist/server_list.h"
#include "win/common_controls.h"
#include "win/main_frame.h"

using namespace ravelin;

namespace {

constexpr size_t kRows = 100000;
constexpr int kRuns = 5;

// Everything the window does until the change is on screen: its pending messages (the
// list's gathered changes among them), then the paint.
void showNow(win::MainFrame& frame) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  frame.listView().flushChanges();
  RedrawWindow(frame.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("%-44s median %7.1f ms   max %7.1f ms   (%d runs)\n", what, ms[ms.size() / 2],
              ms.back(), static_cast<int>(ms.size()));
}

}  // namespace

int main() {
  win::initCommonControls();
  std::mt19937 rng(42);
  std::vector<serverlist::Server> servers;
  for (size_t i = 0; i < kRows; ++i) servers.push_back(bench::randomServer(rng));
  serverlist::ServerList list;
  win::MainFrame frame(list);
  ShowWindow(frame.window(), SW_SHOW);
  showNow(frame);

  std::vector<double> imports, sorts;
  const HWND view = frame.listView().window();
  for (int run = 0; run < kRuns; ++run) {
    list.clear();
    showNow(frame);
    // The rows are appended untimed, with repainting suspended as the readers do.
    list.beginUpdate();
    for (const serverlist::Server& s : servers) list.append(s, true);
    auto start = std::chrono::steady_clock::now();
    list.endUpdate();
    showNow(frame);
    imports.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());

    NMLISTVIEW click{};
    click.hdr = {view, win::MainFrame::kListId, LVN_COLUMNCLICK};
    click.iSubItem = serverlist::fUsers;
    start = std::chrono::steady_clock::now();
    SendMessageW(frame.window(), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    showNow(frame);
    sorts.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::printf("rows shown: %d\n", ListView_GetItemCount(view));
  report("100,000 rows shown after an import", imports);
  report("100,000 rows sorted by a header click", sorts);
  return 0;
}

#include "desk/list_change_batch.h"

#include <gtest/gtest.h>

#include "support/server_list_support.h"

using namespace ravelin;

namespace {

class RecordingDisplay : public desk::ListDisplay {
 public:
  std::vector<std::string> shown;
  void showInserted(size_t first, size_t n) override { note("insert", first, n); }
  void showRemoved(size_t first, size_t n) override { note("remove", first, n); }
  void showChanged(size_t first, size_t last) override { note("change", first, last); }
  void showAll(size_t rows) override { note("all", rows, 0); }
  void showStatus() override { shown.push_back("status"); }
  void scheduleFlush() override { shown.push_back("schedule"); }
  void note(const char* what, size_t a, size_t b) {
    shown.push_back(what + (" " + std::to_string(a)) + " " + std::to_string(b));
  }
};

TEST(ListChangeBatch, GathersChangesAndShowsAnImportOnce) {
  serverlist::ServerList list;
  RecordingDisplay display;
  desk::ListChangeBatch batch(list, display);
  for (const char* ip : {"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4"})
    list.append(test::makeServer(ip), false);
  batch.flush();
  display.shown.clear();
  // Check marks of rows 3 and 1, then the last row removed: one repaint of rows 1 to 2.
  list.setChecked(3, true);
  list.setChecked(1, true);
  list.remove(3);
  batch.flush();
  EXPECT_EQ(display.shown,
            (std::vector<std::string>{"schedule", "remove 3 1", "change 1 2", "status"}));
  display.shown.clear();
  list.beginUpdate();
  list.append(test::makeServer("10.0.0.5"), true);
  list.setChecked(0, true);
  list.endUpdate();
  batch.flush();
  EXPECT_EQ(display.shown, (std::vector<std::string>{"all 4 0", "schedule", "status"}));
}

}  // namespace

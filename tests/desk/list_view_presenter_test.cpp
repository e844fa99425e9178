#include "desk/list_view_presenter.h"

#include <gtest/gtest.h>

#include "support/server_list_support.h"

using namespace ravelin;

namespace {

class FakeListView : public desk::ListView {
 public:
  std::vector<size_t> highlighted;
  int sortArrows = 0, selectionShown = 0;
  std::vector<size_t> selectedRows() const override { return highlighted; }
  void showListSelection() override { ++selectionShown; }
  int columnCount() const override { return 0; }
  int columnWidth(int) const override { return 0; }
  void setColumnWidth(int, int) override {}
  void showSortIndicator() override { ++sortArrows; }
};

TEST(ListViewPresenter, SelectionFollowsTheHighlightAndADropMovesTheSelectedRow) {
  serverlist::ServerList list;
  for (const char* ip : {"10.0.0.3", "10.0.0.1", "10.0.0.2"})
    list.append(test::makeServer(ip), false);
  FakeListView view;
  desk::ListViewPresenter rows(list, view);
  EXPECT_FALSE(rows.keyRuns(desk::ListKey::Delete));  // nothing selected
  view.highlighted = {1, 2};
  rows.highlightChanged();
  EXPECT_EQ(list.selected(), 1u);
  EXPECT_TRUE(rows.highlightShowsSelection());
  EXPECT_TRUE(rows.keyRuns(desk::ListKey::Space));
  view.highlighted = {};
  rows.highlightChanged();
  EXPECT_EQ(list.selected(), std::nullopt);

  rows.columnClicked(0);
  EXPECT_EQ(view.sortArrows, 1);
  EXPECT_EQ(list[0].server.field(0), "10.0.0.1");
  list.select(0);
  rows.dropRow(0, std::nullopt);
  EXPECT_EQ(list[2].server.field(0), "10.0.0.1");
  EXPECT_EQ(list.selected(), 2u);
  EXPECT_FALSE(list.sortKept());
  EXPECT_EQ(view.sortArrows, 2);
}

}  // namespace

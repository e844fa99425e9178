#include "desk/list_view_presenter.h"

#include "serverlist/list_commands.h"
#include "serverlist/server_sort.h"

namespace ravelin::desk {

ListViewPresenter::ListViewPresenter(serverlist::ServerList& list, ListView& view)
    : list_(list), view_(view) {}

void ListViewPresenter::highlightChanged() {
  const std::vector<size_t> rows = view_.selectedRows();
  list_.select(rows.empty() ? std::nullopt : std::optional<size_t>(rows.front()));
}

bool ListViewPresenter::highlightShowsSelection() const {
  const std::optional<size_t> selected = list_.selected();
  const std::vector<size_t> rows = view_.selectedRows();
  return selected && rows.size() > 1 && rows.front() == *selected;
}

void ListViewPresenter::columnClicked(int column) {
  serverlist::clickColumn(list_, column);
  view_.showSortIndicator();
}

bool ListViewPresenter::keyRuns(ListKey key) const {
  return key == ListKey::Enter ? serverlist::doubleClickRunsEdit(list_)
                               : serverlist::deleteKeyRunsDelete(list_);
}

void ListViewPresenter::dropRow(size_t from, std::optional<size_t> before) {
  serverlist::moveServer(list_, from, before);
  // A row moved by hand leaves the sort's order, and with it the arrow.
  view_.showSortIndicator();
  // The highlighted row is the list's selected one, on which Delete and Edit act.
  view_.showListSelection();
}

}  // namespace ravelin::desk

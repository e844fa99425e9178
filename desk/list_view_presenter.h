#pragma once
// The server list view's rules without a toolkit: the list's selected row follows the
// view's highlight, a header click sorts, the keys act on the selected rows, a dropped row
// moves.
#include <optional>
#include <vector>

#include "desk/views.h"
#include "serverlist/server_list.h"

namespace ravelin::desk {

// The keys the list view acts on by itself.
enum class ListKey { Delete, Space, Enter };

class ListViewPresenter {
 public:
  ListViewPresenter(serverlist::ServerList& list, ListView& view);

  // The view's highlight changed: its first row becomes the list's selected row, or none
  // after a click on the empty part of the list.
  void highlightChanged();
  // Whether the highlight shows the list's selection as it is: several highlighted rows
  // that begin with the selected one stay as they are.
  bool highlightShowsSelection() const;
  // A click on a column header: the core's column-click rule, then the header's arrow.
  void columnClicked(int column);
  // Whether the key runs its command (Delete deletes, Space turns the check marks, Enter
  // edits) on the list as it is now.
  bool keyRuns(ListKey key) const;
  // A row dragged within the list and dropped in front of the row before, or below the
  // last row: it moves, leaves the sort's order, and stays the selected row.
  void dropRow(size_t from, std::optional<size_t> before);

 private:
  serverlist::ServerList& list_;
  ListView& view_;
};

}  // namespace ravelin::desk

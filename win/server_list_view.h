#pragma once
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "desk/list_change_batch.h"
#include "desk/list_view_presenter.h"
#include "desk/views.h"
#include "serverlist/server_list.h"

namespace ravelin::win {

// The server list as a ListView of the system, owner-data: it holds no rows of its own
// but asks for each cell it draws from the one ServerList. It follows the list's changes
// through desk's ListChangeBatch, as the Qt model does: an insert or removal changes the
// row count without repainting the rest, an import or a sort is one reset, and changed
// rows are repainted once the message loop next runs.
// The list's selected row follows the view's selection (its first row); check marks are
// the rows' state images; a header click sorts by the core's rule and shows its arrow. A
// row dragged with the mouse moves where the insert mark shows it going (desk's rules).
class ServerListView : public desk::ListDisplay, public desk::ListView {
 public:
  ServerListView(HWND parent, int id, serverlist::ServerList& list);
  ~ServerListView() override;
  ServerListView(const ServerListView&) = delete;
  ServerListView& operator=(const ServerListView&) = delete;

  HWND window() const { return view_; }
  serverlist::ServerList& list() { return list_; }

  // The parent hands its WM_NOTIFY messages from the view here.
  LRESULT notify(const NMHDR& header);
  // Sets the column widths for dpi, from the defaults; rescale keeps the user's widths.
  void fitColumns(UINT dpi);
  void rescaleColumns(UINT oldDpi, UINT newDpi);
  // Highlights every row (Ctrl+A).
  void selectAll();
  // Where the insert mark stands while a row is dragged: in front of a row, or after the
  // last one (after); row -1: none, the pointer is outside the rows. A drop goes there.
  struct InsertMark {
    int row = -1;
    bool after = false;
  };
  InsertMark insertMark() const { return mark_; }
  // Repaints the gathered changes and reports the status now.
  void flushChanges() { batch_->flush(); }

  // What the keys and clicks of the list ask for; what they do is the caller's business.
  std::function<void()> onStatusChanged;
  std::function<void()> onDeleteKey;       // Delete, while a row is selected
  std::function<void()> onToggleChecks;    // Space, while a row is selected
  std::function<void()> onActivate;        // Enter or a double click, while a row is selected
  std::function<void(POINT)> onPopupMenu;  // the context menu key or a right click, in screen

  // desk::ListView: the highlighted rows, ascending; column widths at 96 DPI, so that they
  // mean the same on a screen of another scale.
  std::vector<size_t> selectedRows() const override;
  void showListSelection() override;
  int columnCount() const override;
  int columnWidth(int column) const override;
  void setColumnWidth(int column, int width) override;
  void showSortIndicator() override { showSortArrow(); }

  // desk::ListDisplay: what the list's change batch asks the view to show.
  void showInserted(size_t first, size_t count) override;
  void showRemoved(size_t first, size_t count) override;
  void showChanged(size_t first, size_t last) override;
  void showAll(size_t rows) override;
  void showStatus() override;
  void scheduleFlush() override;

 private:
  static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
  bool key(WPARAM key);
  // The drag of a row: the insert mark follows the pointer (in client coordinates); the
  // drop moves the row, a point outside the view or Escape ends the drag without a move.
  void beginDrag(int row);
  void dragTo(POINT at);
  void showInsertMark(InsertMark mark);
  void endDrag(std::optional<POINT> droppedAt);
  // Whether the point lies in the rows' part of the view (not the header, not outside).
  bool overRows(POINT at) const;
  // The row a drop at the point goes in front of; none below the last row.
  std::optional<size_t> rowBefore(POINT at) const;
  // Where the popup menu opens for WM_CONTEXTMENU's point (-1, -1: asked from the keyboard).
  POINT popupPoint(LPARAM at) const;
  void cellText(NMLVDISPINFOW& info) const;
  void clicked(const NMITEMACTIVATE& click, bool twice);
  void setRowCount(size_t rows, DWORD flags);
  void takeViewSelection();
  void showSortArrow();

  HWND view_;
  UINT dpi_ = 96;
  serverlist::ServerList& list_;
  // The number of rows the view knows of; it differs from the list's while repainting is
  // suspended.
  size_t shownRows_ = 0;
  // The view's selection is being set from the list's: not taken back.
  bool syncing_ = false;
  desk::ListViewPresenter presenter_{list_, *this};
  // The row being dragged, while a drag lasts, and where it would go.
  std::optional<size_t> dragged_;
  InsertMark mark_;
  // Follows the list for the view; made once the control exists.
  std::unique_ptr<desk::ListChangeBatch> batch_;
};

}  // namespace ravelin::win

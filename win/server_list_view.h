#pragma once
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "desk/views.h"
#include "serverlist/server_list.h"

namespace ravelin::win {

// The server list as a ListView of the system, owner-data: it holds no rows of its own
// but asks for each cell it draws from the one ServerList. It follows the list's changes
// as the list's observer:
//  - an insert or removal changes the row count without repainting the rest;
//  - while the list suspends repainting (an import), the view keeps showing the rows it
//    had, and the end of the suspension is one reset;
//  - a clear, a sort or a move is one reset;
//  - changed rows are gathered and repainted, and the status reported, once the message
//    loop next runs, so a bulk change of 100,000 check marks costs one repaint.
// The list's selected row follows the view's selection (its first row); check marks are
// the rows' state images; a header click sorts by the core's rule and shows its arrow.
class ServerListView : public serverlist::ServerListObserver, public desk::ListView {
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
  // Repaints the gathered changes and reports the status now.
  void flushChanges();

  // What the keys and clicks of the list ask for; what they do is the caller's business.
  std::function<void()> onStatusChanged;
  std::function<void()> onDeleteKey;     // Delete, while a row is selected
  std::function<void()> onToggleChecks;  // Space, while a row is selected
  std::function<void()> onActivate;      // Enter or a double click, while a row is selected
  std::function<void(POINT)> onPopupMenu;  // the context menu key or a right click, in screen

  // desk::ListView: the highlighted rows, ascending; column widths at 96 DPI, so that they
  // mean the same on a screen of another scale.
  std::vector<size_t> selectedRows() const override;
  void showListSelection() override;
  int columnCount() const override;
  int columnWidth(int column) const override;
  void setColumnWidth(int column, int width) override;
  void showSortIndicator() override { showSortArrow(); }

  // ServerListObserver.
  void rowsInserted(size_t first, size_t count) override;
  void rowsRemoved(size_t first, size_t count) override;
  void rowChanged(size_t row) override;
  void listReset() override;
  void statusChanged() override;
  void updatesSuspended(bool suspended) override;

 private:
  static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
  bool key(WPARAM key);
  // Where the popup menu opens for WM_CONTEXTMENU's point (-1, -1: asked from the keyboard).
  POINT popupPoint(LPARAM at) const;
  void cellText(NMLVDISPINFOW& info) const;
  void clicked(const NMITEMACTIVATE& click, bool twice);
  void setRowCount(size_t rows, DWORD flags);
  void reset();
  void scheduleFlush();
  void takeViewSelection();
  void showSortArrow();

  HWND view_;
  UINT dpi_ = 96;
  serverlist::ServerList& list_;
  // The number of rows the view knows of; it differs from the list's while repainting is
  // suspended.
  size_t shownRows_ = 0;
  int suspended_ = 0;
  long long firstChanged_ = -1;
  long long lastChanged_ = -1;
  bool statusPending_ = false;
  bool flushScheduled_ = false;
  // The view's selection is being set from the list's: not taken back.
  bool syncing_ = false;
};

}  // namespace ravelin::win

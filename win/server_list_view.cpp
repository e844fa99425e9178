#include "win/server_list_view.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "platform/wide_text.h"
#include "runtime/translate.h"
#include "serverlist/list_commands.h"
#include "serverlist/server_sort.h"
#include "serverlist/shown_text.h"
#include "win/dpi.h"
#include "win/handles.h"
#include "win/ui_text.h"
#include "win/window_metrics.h"

namespace ravelin::win {

namespace {

// The view's own message: repaint the gathered changes.
constexpr UINT kFlushChanges = WM_APP + 2;
constexpr UINT_PTR kSubclassId = 1;
// State images of the check boxes: 1 unchecked, 2 checked.
UINT checkImage(bool checked) {
  return INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
}

bool keyDown(int key) {
  return GetKeyState(key) < 0;
}

}  // namespace

ServerListView::ServerListView(HWND parent, int id, serverlist::ServerList& list)
    : list_(list), shownRows_(list.size()) {
  view_ = CreateWindowExW(
      WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0, 0, 0,
      0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), programInstance(), nullptr);
  SendMessageW(view_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
  // The check boxes are the rows' check marks, which the view asks for with the texts.
  SendMessageW(view_, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
  for (int column = 0; column < serverlist::kServerFieldCount; ++column) {
    const std::wstring caption = uiText(serverlist::kColumnCaptions[static_cast<size_t>(column)]);
    LVCOLUMNW spec{};
    spec.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    spec.pszText = const_cast<wchar_t*>(caption.c_str());
    spec.cx = kColumnWidths[static_cast<size_t>(column)];
    spec.iSubItem = column;
    SendMessageW(view_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&spec));
  }
  SetWindowSubclass(view_, subclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  setRowCount(shownRows_, 0);
  batch_ = std::make_unique<desk::ListChangeBatch>(list_, *this);
  showSortArrow();
  showListSelection();
}

ServerListView::~ServerListView() {
  batch_.reset();
  RemoveWindowSubclass(view_, subclassProc, kSubclassId);
}

LRESULT CALLBACK ServerListView::subclassProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  auto* view = reinterpret_cast<ServerListView*>(self);
  switch (message) {
    case kFlushChanges:
      view->flushChanges();
      return 0;
    case WM_KEYDOWN:
      if (view->key(wParam)) return 0;
      break;
    case WM_CONTEXTMENU:
      if (view->onPopupMenu) view->onPopupMenu(view->popupPoint(lParam));
      return 0;
    case WM_CHAR:
      // Space toggles check marks (above); it does not search for a row.
      if (wParam == L' ') return 0;
      break;
    case WM_MOUSEMOVE:
      if (!view->dragged_) break;
      view->dragTo({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_LBUTTONUP:
      if (!view->dragged_) break;
      view->endDrag(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_CAPTURECHANGED:
      // Another window took the mouse (a message box, Alt+Tab): the drag ends unmoved.
      if (view->dragged_ && reinterpret_cast<HWND>(lParam) != window) view->endDrag(std::nullopt);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

POINT ServerListView::popupPoint(LPARAM at) const {
  POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  if (point.x != -1 || point.y != -1) return point;
  // From the keyboard: below the selected row when it is in sight, else the view's corner.
  RECT row{};
  row.left = LVIR_LABEL;
  const auto selected =
      SendMessageW(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  point = {0, 0};
  if (selected >= 0 && SendMessageW(view_, LVM_GETITEMRECT, static_cast<WPARAM>(selected),
                                    reinterpret_cast<LPARAM>(&row)))
    point = {row.left, row.bottom};
  ClientToScreen(view_, &point);
  return point;
}

bool ServerListView::key(WPARAM key) {
  if (dragged_) {
    if (key == VK_ESCAPE) endDrag(std::nullopt);
    return true;
  }
  if (keyDown(VK_CONTROL) || keyDown(VK_MENU) || keyDown(VK_SHIFT)) return false;
  const bool selected = serverlist::deleteKeyRunsDelete(list_);
  switch (key) {
    case VK_DELETE:
      if (selected && onDeleteKey) onDeleteKey();
      return true;
    case VK_SPACE:
      if (selected && onToggleChecks) onToggleChecks();
      return true;
    case VK_RETURN:
      if (serverlist::doubleClickRunsEdit(list_) && onActivate) onActivate();
      return true;
    default:
      return false;
  }
}

LRESULT ServerListView::notify(const NMHDR& header) {
  switch (header.code) {
    case LVN_GETDISPINFOW:
      cellText(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
      return 0;
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED:
      takeViewSelection();
      return 0;
    case LVN_COLUMNCLICK:
      // The core's column-click rule, never the view's own.
      presenter_.columnClicked(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
      return 0;
    case LVN_BEGINDRAG:
      beginDrag(reinterpret_cast<const NMLISTVIEW&>(header).iItem);
      return 0;
    case NM_CLICK:
      clicked(reinterpret_cast<const NMITEMACTIVATE&>(header), false);
      return 0;
    case NM_DBLCLK:
      clicked(reinterpret_cast<const NMITEMACTIVATE&>(header), true);
      return 0;
    default:
      return 0;
  }
}

void ServerListView::cellText(NMLVDISPINFOW& info) const {
  LVITEMW& item = info.item;
  const auto row = static_cast<size_t>(item.iItem);
  // While repainting is suspended the list may already hold fewer rows than shown.
  if (item.iItem < 0 || row >= list_.size()) {
    if (item.mask & LVIF_TEXT && item.cchTextMax > 0) item.pszText[0] = L'\0';
    return;
  }
  const serverlist::ServerEntry& entry = list_[row];
  if (item.mask & LVIF_TEXT && item.cchTextMax > 0 && item.iSubItem >= 0 &&
      item.iSubItem < serverlist::kServerFieldCount) {
    const std::wstring text =
        platform::wideFromUtf8(serverlist::shownText(entry.server.field(item.iSubItem)));
    lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
  }
  if (item.mask & LVIF_STATE) {
    item.state = (item.state & ~LVIS_STATEIMAGEMASK) | checkImage(entry.checked);
    item.stateMask |= LVIS_STATEIMAGEMASK;
  }
}

void ServerListView::clicked(const NMITEMACTIVATE& click, bool twice) {
  LVHITTESTINFO hit{};
  hit.pt = click.ptAction;
  const auto row = SendMessageW(view_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  // A click on a check box flips the row's mark (each click of a double click too).
  if (row >= 0 && static_cast<size_t>(row) < list_.size() && hit.flags & LVHT_ONITEMSTATEICON) {
    list_.setChecked(static_cast<size_t>(row), !list_[static_cast<size_t>(row)].checked);
    return;
  }
  if (twice && row >= 0 && serverlist::doubleClickRunsEdit(list_) && onActivate) onActivate();
}

void ServerListView::beginDrag(int row) {
  if (row < 0 || static_cast<size_t>(row) >= list_.size()) return;
  dragged_ = static_cast<size_t>(row);
  SetCapture(view_);
}

std::optional<size_t> ServerListView::rowBefore(POINT at) const {
  LVHITTESTINFO hit{};
  hit.pt = at;
  const auto row = SendMessageW(view_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if (row < 0 || static_cast<size_t>(row) >= list_.size()) return std::nullopt;
  return static_cast<size_t>(row);
}

bool ServerListView::overRows(POINT at) const {
  RECT area{};
  GetClientRect(view_, &area);
  RECT header{};
  GetWindowRect(reinterpret_cast<HWND>(SendMessageW(view_, LVM_GETHEADER, 0, 0)), &header);
  MapWindowPoints(nullptr, view_, reinterpret_cast<POINT*>(&header), 2);
  area.top = std::max(area.top, header.bottom);
  return PtInRect(&area, at) != FALSE;
}

void ServerListView::dragTo(POINT at) {
  // The mark stands in front of the row under the pointer, or after the last row.
  InsertMark mark;
  if (overRows(at) && list_.size() > 0) {
    const std::optional<size_t> before = rowBefore(at);
    mark.row = static_cast<int>(before.value_or(list_.size() - 1));
    mark.after = !before;
  }
  showInsertMark(mark);
}

void ServerListView::showInsertMark(InsertMark mark) {
  mark_ = mark;
  LVINSERTMARK shown{sizeof shown, mark.after ? LVIM_AFTER : 0u, mark.row, 0};
  SendMessageW(view_, LVM_SETINSERTMARK, 0, reinterpret_cast<LPARAM>(&shown));
}

void ServerListView::endDrag(std::optional<POINT> droppedAt) {
  if (droppedAt) dragTo(*droppedAt);
  const std::optional<size_t> from = std::exchange(dragged_, std::nullopt);
  const InsertMark target = mark_;
  showInsertMark({});
  if (GetCapture() == view_) ReleaseCapture();
  if (!from || !droppedAt || target.row < 0 || *from >= list_.size()) return;
  presenter_.dropRow(
      *from, target.after ? std::nullopt : std::optional<size_t>(static_cast<size_t>(target.row)));
}

void ServerListView::setRowCount(size_t rows, DWORD flags) {
  shownRows_ = rows;
  SendMessageW(view_, LVM_SETITEMCOUNT, static_cast<WPARAM>(rows), static_cast<LPARAM>(flags));
}

void ServerListView::fitColumns(UINT dpi) {
  dpi_ = dpi;
  // At least as wide as the caption, which a translation may make longer, with room for
  // the sort arrow beside it.
  const int captionRoom = scaled(12 + 16, dpi);
  for (int column = 0; column < serverlist::kServerFieldCount; ++column) {
    const std::wstring caption = uiText(serverlist::kColumnCaptions[static_cast<size_t>(column)]);
    const auto captionWidth = static_cast<int>(
        SendMessageW(view_, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(caption.c_str())));
    const int width = std::max(scaled(kColumnWidths[static_cast<size_t>(column)], dpi),
                               captionWidth + captionRoom);
    SendMessageW(view_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), width);
  }
}

void ServerListView::rescaleColumns(UINT oldDpi, UINT newDpi) {
  dpi_ = newDpi;
  for (int column = 0; column < serverlist::kServerFieldCount; ++column) {
    const auto width = static_cast<int>(SendMessageW(view_, LVM_GETCOLUMNWIDTH, column, 0));
    SendMessageW(view_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                 MulDiv(width, static_cast<int>(newDpi), static_cast<int>(oldDpi)));
  }
}

int ServerListView::columnCount() const {
  return serverlist::kServerFieldCount;
}

int ServerListView::columnWidth(int column) const {
  const auto width = static_cast<int>(SendMessageW(view_, LVM_GETCOLUMNWIDTH, column, 0));
  return MulDiv(width, 96, static_cast<int>(dpi_));
}

void ServerListView::setColumnWidth(int column, int width) {
  if (column < 0 || column >= columnCount() || width <= 0) return;
  SendMessageW(view_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), scaled(width, dpi_));
}

void ServerListView::selectAll() {
  LVITEMW all{};
  all.stateMask = all.state = LVIS_SELECTED;
  SendMessageW(view_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
}

std::vector<size_t> ServerListView::selectedRows() const {
  std::vector<size_t> rows;
  LRESULT row = -1;
  while ((row = SendMessageW(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED)) >= 0)
    rows.push_back(static_cast<size_t>(row));
  return rows;
}

void ServerListView::showInserted(size_t, size_t count) {
  // The view keeps its selection by row number: it is shown again from the list's.
  setRowCount(shownRows_ + count, LVSICF_NOSCROLL);
  showListSelection();
  // A row moved by hand (a removal and an insert) ends the sort, and with it the arrow.
  showSortArrow();
}

void ServerListView::showRemoved(size_t, size_t count) {
  setRowCount(shownRows_ - std::min(count, shownRows_), LVSICF_NOSCROLL);
  showListSelection();
  showSortArrow();
}

void ServerListView::showChanged(size_t first, size_t last) {
  // The program selected another row (a selection changes its row).
  const auto shown = SendMessageW(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  if (list_.selected() !=
      (shown >= 0 ? std::optional<size_t>(static_cast<size_t>(shown)) : std::nullopt))
    showListSelection();
  SendMessageW(view_, LVM_REDRAWITEMS, static_cast<WPARAM>(first), static_cast<LPARAM>(last));
}

void ServerListView::showAll(size_t rows) {
  setRowCount(rows, 0);
  InvalidateRect(view_, nullptr, FALSE);
  showSortArrow();
  showListSelection();
}

void ServerListView::showStatus() {
  if (onStatusChanged) onStatusChanged();
}

void ServerListView::scheduleFlush() {
  PostMessageW(view_, kFlushChanges, 0, 0);
}

void ServerListView::showListSelection() {
  const std::optional<size_t> selected = list_.selected();
  // Several highlighted rows that begin with the list's selected one stay as they are.
  const std::vector<size_t> rows = selectedRows();
  if (selected && rows.size() > 1 && rows.front() == *selected) return;
  syncing_ = true;
  LVITEMW clear{};
  clear.stateMask = LVIS_SELECTED;
  SendMessageW(view_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
  if (selected && *selected < shownRows_) {
    LVITEMW mark{};
    mark.stateMask = mark.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(view_, LVM_SETITEMSTATE, *selected, reinterpret_cast<LPARAM>(&mark));
    SendMessageW(view_, LVM_ENSUREVISIBLE, *selected, FALSE);
  }
  syncing_ = false;
}

void ServerListView::takeViewSelection() {
  if (syncing_) return;
  const auto first = SendMessageW(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  const std::optional<size_t> row = first >= 0 && static_cast<size_t>(first) < list_.size()
                                        ? std::optional<size_t>(static_cast<size_t>(first))
                                        : std::nullopt;
  if (row != list_.selected()) list_.select(row);
}

void ServerListView::showSortArrow() {
  HWND header = reinterpret_cast<HWND>(SendMessageW(view_, LVM_GETHEADER, 0, 0));
  for (int column = 0; column < serverlist::kServerFieldCount; ++column) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&item));
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (list_.sortKept() && column == list_.sortColumn())
      item.fmt |= list_.sortDescending() ? HDF_SORTDOWN : HDF_SORTUP;
    SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&item));
  }
}

}  // namespace ravelin::win

#include "win/url_list_box.h"

#include "app/options_rules.h"
#include "desk/dialog_texts.h"
#include "platform/wide_text.h"
#include "win/ui_text.h"

namespace ravelin::win {

namespace {

// The moving buttons' captions (Windows has no dragging of list rows across a dialog).
constexpr const char* kMoveUpCaption = N_("Move &up");
constexpr const char* kMoveDownCaption = N_("Move &down");

// The share of the list's width each column takes, in dialog units.
constexpr int kKindColumnUnits = 60;

}  // namespace

void UrlListBox::addTo(DialogTemplate& page, RECT units) {
  page.add(DialogTemplate::kButton, uiText(desk::kUrlGroupCaption), kGroupId, units, BS_GROUPBOX);
  const int buttonsTop = static_cast<int>(units.bottom) - 21;
  page.add(WC_LISTVIEWW, L"", kListId,
           {units.left + 7, units.top + 12, units.right - 7, buttonsTop - 4},
           LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP | WS_GROUP);
  const std::array<std::pair<int, const char*>, 5> buttons = {{{kAddId, desk::kUrlMenuItems[0]},
                                                               {kEditId, desk::kUrlMenuItems[2]},
                                                               {kDeleteId, desk::kUrlMenuItems[1]},
                                                               {kUpId, kMoveUpCaption},
                                                               {kDownId, kMoveDownCaption}}};
  const int width = (static_cast<int>(units.right - units.left) - 14 - 4 * 4) / 5;
  int left = static_cast<int>(units.left) + 7;
  for (const auto& [id, caption] : buttons) {
    page.add(DialogTemplate::kButton, uiText(caption), id,
             {left, buttonsTop, left + width, buttonsTop + 14}, BS_PUSHBUTTON | WS_TABSTOP);
    left += width + 4;
  }
}

void UrlListBox::attach(HWND page) {
  page_ = page;
  list_ = GetDlgItem(page, kListId);
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  RECT kind{0, 0, kKindColumnUnits, 0};
  MapDialogRect(page, &kind);
  RECT client{};
  GetClientRect(list_, &client);
  const int widths[] = {kind.right, client.right - kind.right - GetSystemMetrics(SM_CXVSCROLL)};
  for (int c = 0; c < 2; ++c) {
    const std::wstring caption = uiText(desk::kUrlColumns[static_cast<size_t>(c)]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(caption.c_str());
    column.cx = widths[c];
    ListView_InsertColumn(list_, c, &column);
  }
}

bool UrlListBox::command(int id, int code) {
  if (code != BN_CLICKED) return false;
  const std::optional<size_t> row = selectedRow();
  switch (id) {
    case kAddId:
      presenter_.add();
      break;
    case kEditId:
      presenter_.edit();
      break;
    case kDeleteId:
      presenter_.remove();
      break;
    case kUpId:
      if (row && *row > 0) presenter_.moveSelected(*row - 1);
      break;
    case kDownId:
      // In front of the row after the next one: past the end is the end.
      if (row) presenter_.moveSelected(*row + 2);
      break;
    default:
      return false;
  }
  return true;
}

bool UrlListBox::notify(const NMHDR& header) {
  if (header.idFrom != kListId) return false;
  if (header.code == LVN_COLUMNCLICK)
    presenter_.sortBy(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
  else if (header.code == NM_DBLCLK)
    presenter_.edit();
  else if (header.code == LVN_KEYDOWN &&
           reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_DELETE)
    presenter_.remove();
  else if (header.code == LVN_ITEMCHANGED)
    enableButtons();
  return true;
}

void UrlListBox::showRows(const std::vector<runtime::UrlSource>& rows,
                          std::optional<size_t> selected) {
  ListView_DeleteAllItems(list_);
  for (size_t row = 0; row < rows.size(); ++row) {
    std::wstring cells[] = {uiText(app::urlKindName(rows[row]).c_str()),
                            platform::wideFromUtf8(rows[row].location)};
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(row);
    item.pszText = cells[0].data();
    ListView_InsertItem(list_, &item);
    ListView_SetItemText(list_, static_cast<int>(row), 1, cells[1].data());
  }
  if (selected) {
    const int row = static_cast<int>(*selected);
    ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list_, row, FALSE);
  }
  enableButtons();
}

std::optional<size_t> UrlListBox::selectedRow() const {
  const int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
  if (row < 0) return std::nullopt;
  return static_cast<size_t>(row);
}

std::optional<runtime::UrlSource> UrlListBox::askUrl(const runtime::UrlSource* current) {
  return UrlDialog().run(GetAncestor(page_, GA_ROOT), current);
}

void UrlListBox::enableButtons() {
  const std::optional<size_t> row = selectedRow();
  const size_t count = presenter_.rows().size();
  EnableWindow(GetDlgItem(page_, kEditId), row.has_value());
  EnableWindow(GetDlgItem(page_, kDeleteId), row.has_value());
  EnableWindow(GetDlgItem(page_, kUpId), row && *row > 0);
  EnableWindow(GetDlgItem(page_, kDownId), row && *row + 1 < count);
}

}  // namespace ravelin::win

#include "win/filter_window.h"

#include "desk/dialog_texts.h"
#include "serverlist/server_filter.h"
#include "win/ui_text.h"

namespace ravelin::win {

namespace {

void fillList(HWND box, const auto& items) {
  for (const auto& item : items)
    SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(uiText(item.windowItem).c_str()));
}

}  // namespace

FilterWindow::FilterWindow(serverlist::ServerList& list, runtime::AppContext& ctx, HWND owner)
    : presenter_(list, ctx, *this) {
  createModeless(owner);
}

DialogTemplate FilterWindow::layout() const {
  DialogTemplate form(uiText(serverlist::kFilterWindowCaption), 160, 114, DS_CENTER);
  const DWORD list = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
  form.add(DialogTemplate::kStatic, uiText(serverlist::kFilterPropertyLabel), -1, {7, 7, 153, 15},
           0);
  form.add(DialogTemplate::kComboBox, L"", kPropertyId, {7, 17, 153, 140}, list);
  form.add(DialogTemplate::kStatic, uiText(serverlist::kFilterOperatorLabel), -1, {7, 35, 153, 43},
           0);
  form.add(DialogTemplate::kComboBox, L"", kOperatorId, {7, 45, 153, 120}, list);
  form.add(DialogTemplate::kStatic, uiText(serverlist::kFilterValueLabel), -1, {7, 63, 153, 71}, 0);
  form.add(DialogTemplate::kEdit, L"", kValueId, {7, 73, 153, 87},
           ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP);
  form.add(DialogTemplate::kButton, uiText(desk::kFilterCaption), IDOK, {47, 94, 97, 108},
           BS_DEFPUSHBUTTON | WS_TABSTOP);
  form.add(DialogTemplate::kButton, uiText(desk::kCancelCaption), IDCANCEL, {103, 94, 153, 108},
           BS_PUSHBUTTON | WS_TABSTOP);
  return form;
}

void FilterWindow::created() {
  fillList(item(kPropertyId), serverlist::kFilterProperties);
  fillList(item(kOperatorId), serverlist::kFilterOperators);
  // On top of the other windows, as the main window's tool.
  SetWindowPos(window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

int FilterWindow::chosenProperty() const {
  return static_cast<int>(SendMessageW(item(kPropertyId), CB_GETCURSEL, 0, 0));
}

int FilterWindow::chosenOperator() const {
  return static_cast<int>(SendMessageW(item(kOperatorId), CB_GETCURSEL, 0, 0));
}

void FilterWindow::showChoices(int property, int op, const std::string& value) {
  SendMessageW(item(kPropertyId), CB_SETCURSEL, static_cast<WPARAM>(property), 0);
  SendMessageW(item(kOperatorId), CB_SETCURSEL, static_cast<WPARAM>(op), 0);
  setItemText(kValueId, value);
  focusItem(kPropertyId);
}

void FilterWindow::showWindow() {
  ShowWindow(window(), SW_SHOW);
  SetForegroundWindow(window());
}

void FilterWindow::command(int id, int code) {
  if (code != BN_CLICKED) return;
  if (id == IDOK) presenter_.filter();
  if (id == IDCANCEL) end(IDCANCEL);
}

}  // namespace ravelin::win

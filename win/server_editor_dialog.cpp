#include "win/server_editor_dialog.h"

#include <commctrl.h>

#include "desk/dialog_texts.h"
#include "platform/wide_text.h"
#include "win/ui_text.h"

namespace ravelin::win {

using serverlist::EditorBox;

namespace {

int boxId(EditorBox box) {
  return ServerEditorDialog::kFirstBoxId + static_cast<int>(box);
}

// The rows of the form, in dialog units.
constexpr int kLabelWidth = 52;
constexpr int kFieldLeft = 64;
constexpr int kFieldRight = 213;
constexpr int kFirstRowTop = 22;
constexpr int kRowHeight = 16;
constexpr int kRows = 9;

}  // namespace

DialogTemplate ServerEditorDialog::layout() const {
  const int buttonsTop = kFirstRowTop + kRows * kRowHeight + 4;
  DialogTemplate form(L"", kFieldRight + 7, static_cast<short>(buttonsTop + 21), DS_CENTER);
  form.add(DialogTemplate::kStatic, uiText(desk::kEditorInfoPlaceholder), kInfoId,
           {7, 7, kFieldRight, 15}, SS_NOPREFIX);
  // Label and field row by row: the tab order runs top to bottom.
  for (int row = 0; row < kRows; ++row) {
    const int top = kFirstRowTop + row * kRowHeight;
    form.add(DialogTemplate::kStatic, uiText(desk::kEditorLabels[static_cast<size_t>(row)]), -1,
             {7, top + 2, 7 + kLabelWidth, top + 10}, 0);
    if (row == desk::kEditorPrefLabelRow) {
      form.add(DialogTemplate::kComboBox, L"", kPreferenceId,
               {kFieldLeft, top, kFieldRight, top + 60},
               CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP);
      continue;
    }
    for (size_t i = 0; i < desk::kEditorBoxes.size(); ++i) {
      if (desk::kEditorBoxLabelRow[i] != row) continue;
      form.add(DialogTemplate::kEdit, L"", boxId(desk::kEditorBoxes[i]),
               {kFieldLeft, top, kFieldRight, top + 12}, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP);
    }
  }
  form.add(DialogTemplate::kButton, uiText(desk::kOkCaption), IDOK,
           {kFieldRight - 106, buttonsTop, kFieldRight - 56, buttonsTop + 14},
           BS_DEFPUSHBUTTON | WS_TABSTOP);
  form.add(DialogTemplate::kButton, uiText(desk::kCancelCaption), IDCANCEL,
           {kFieldRight - 50, buttonsTop, kFieldRight, buttonsTop + 14},
           BS_PUSHBUTTON | WS_TABSTOP);
  return form;
}

void ServerEditorDialog::created() {
  for (const char* pref : serverlist::kPrefItems)
    SendMessageW(item(kPreferenceId), CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(uiText(pref).c_str()));
  for (EditorBox box : desk::kEditorBoxes)
    SetWindowSubclass(item(boxId(box)), boxProc, 0, static_cast<DWORD_PTR>(box));
  // On top of the other windows, as the main window's filter window is.
  SetWindowPos(window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (editing_)
    presenter_.prepareEdit();
  else
    presenter_.prepareAdd();
}

bool ServerEditorDialog::runAdd(HWND owner) {
  editing_ = false;
  return runModal(owner) == IDOK;
}

bool ServerEditorDialog::runEdit(HWND owner) {
  if (!presenter_.hasRowToEdit()) return false;
  editing_ = true;
  return runModal(owner) == IDOK;
}

void ServerEditorDialog::showTexts(const std::string& caption, const std::string& info) {
  SetWindowTextW(window(), platform::wideFromUtf8(caption).c_str());
  setItemText(kInfoId, info);
}

void ServerEditorDialog::setBoxText(EditorBox box, const std::string& text) {
  setItemText(boxId(box), text);
}

std::string ServerEditorDialog::boxText(EditorBox box) const {
  return itemText(boxId(box));
}

void ServerEditorDialog::setPreference(int item) {
  SendMessageW(this->item(kPreferenceId), CB_SETCURSEL, static_cast<WPARAM>(item), 0);
}

int ServerEditorDialog::preference() const {
  return static_cast<int>(SendMessageW(item(kPreferenceId), CB_GETCURSEL, 0, 0));
}

void ServerEditorDialog::focusBox(EditorBox box) {
  focusItem(boxId(box));  // the dialog manager selects an edit box's whole text
}

void ServerEditorDialog::command(int id, int code) {
  if (code != BN_CLICKED) return;
  if (id == IDOK) presenter_.ok();
  if (id == IDCANCEL) end(IDCANCEL);
}

LRESULT CALLBACK ServerEditorDialog::boxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR which) {
  // A typed character passes the box's filter; the dialog's own keys (Enter, Escape, Tab)
  // never reach a box as characters.
  if (message == WM_CHAR && wParam != VK_RETURN && wParam != VK_ESCAPE && wParam != VK_TAB) {
    // A character beyond ASCII stands for its UTF-8 bytes, which the filters treat alike.
    const std::string typed(1, wParam < 0x80 ? static_cast<char>(wParam) : '\x80');
    if (!desk::ServerEditorPresenter::boxTakes(static_cast<EditorBox>(which), typed)) return 0;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(box, boxProc, 0);
  return DefSubclassProc(box, message, wParam, lParam);
}

}  // namespace ravelin::win

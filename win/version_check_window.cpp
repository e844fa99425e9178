#include "win/version_check_window.h"

#include <commctrl.h>

#include "desk/dialog_texts.h"
#include "win/ui_text.h"

namespace ravelin::win {

VersionCheckWindow::VersionCheckWindow(HWND owner) {
  createModeless(owner);
}

DialogTemplate VersionCheckWindow::layout() const {
  DialogTemplate form(uiText(desk::kVersionCheckCaption), 184, 56, 0);
  form.add(DialogTemplate::kStatic, L"", kLabelId, {7, 7, 177, 16},
           SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS);
  form.add(PROGRESS_CLASSW, L"", kBarId, {7, 19, 177, 28}, 0);
  form.add(DialogTemplate::kButton, uiText(desk::kCancelCaption), IDCANCEL, {67, 35, 117, 49},
           BS_DEFPUSHBUTTON | WS_TABSTOP);
  return form;
}

void VersionCheckWindow::created() {
  dropCloseBox();
  SendMessageW(item(kBarId), PBM_SETRANGE32, 0, 100);
}

void VersionCheckWindow::show() {
  setItemText(kLabelId, _("Info"));
  setProgress(0);
  centreOverOwner();
  // On top of the other windows, as the Linux program has it.
  SetWindowPos(window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ShowWindow(window(), SW_SHOW);
  focusItem(IDCANCEL);
}

void VersionCheckWindow::setProgress(int percent) {
  SendMessageW(item(kBarId), PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void VersionCheckWindow::command(int id, int code) {
  if (id == IDCANCEL && code == BN_CLICKED) cancel();
}

}  // namespace ravelin::win

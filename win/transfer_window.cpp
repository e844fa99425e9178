#include "win/transfer_window.h"

#include "desk/dialog_texts.h"
#include "win/ui_text.h"

namespace ravelin::win {

TransferWindow::TransferWindow(runtime::ProgressBar& loadSaveBar, HWND owner)
    : loadSaveBar_(loadSaveBar) {
  createModeless(owner);
}

DialogTemplate TransferWindow::layout() const {
  // The route's height follows its text (setDescription); the button moves with it.
  DialogTemplate form(uiText(client::kTransferCaption), 244, 49, 0);
  form.add(DialogTemplate::kStatic, L"", kStatusId, {7, 7, 237, 16},
           SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS);
  form.add(DialogTemplate::kStatic, L"", kRouteId, {7, 18, 237, 20}, SS_LEFT | SS_NOPREFIX);
  form.add(DialogTemplate::kButton, uiText(desk::kCancelCaption), IDCANCEL, {97, 28, 147, 42},
           BS_DEFPUSHBUTTON | WS_TABSTOP);
  return form;
}

void TransferWindow::created() {
  dropCloseBox();
  bold_ = boldFont();
  SendMessageW(item(kStatusId), WM_SETFONT, reinterpret_cast<WPARAM>(bold_.get()), FALSE);
}

void TransferWindow::show() {
  centreOverOwner();
  showInFront(IDCANCEL);
}

void TransferWindow::setMainWindowEnabled(bool enabled) {
  if (onMainWindowEnabled) onMainWindowEnabled(enabled);
}

void TransferWindow::setDescription(const std::string& text) {
  // A long route (a path) breaks into lines; the window grows to their height.
  setItemText(kRouteId, runtime::fillIn(_("Transfer to %s"), {text}));
  growToText(kRouteId);
}

void TransferWindow::command(int id, int code) {
  // The hand-over closes the window when it has ended; until then a close is a Cancel.
  if (id == IDCANCEL && code == BN_CLICKED) cancel();
}

}  // namespace ravelin::win

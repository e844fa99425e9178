#include "win/countdown_window.h"

#include <string>

#include "desk/dialog_texts.h"
#include "win/ui_text.h"

namespace ravelin::win {

DialogTemplate CountdownWindow::layout() const {
  // The lead's and tail's room holds their longest translation.
  DialogTemplate form(uiText(desk::kCountdownCaption), 190, 50, DS_CENTER);
  form.add(DialogTemplate::kStatic, uiText(desk::kCountdownLead), -1, {8, 10, 110, 20},
           SS_RIGHT | SS_NOPREFIX);
  form.add(DialogTemplate::kStatic, L"5", kSecondsId, {112, 10, 122, 20}, SS_CENTER);
  form.add(DialogTemplate::kStatic, uiText(desk::kCountdownTail), -1, {124, 10, 182, 20},
           SS_NOPREFIX);
  form.add(DialogTemplate::kButton, uiText(desk::kCancelCaption), IDCANCEL, {70, 28, 120, 42},
           BS_DEFPUSHBUTTON | WS_TABSTOP);
  return form;
}

void CountdownWindow::created() {
  boldFont_ = boldFont();
  SendMessageW(item(kSecondsId), WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.get()), TRUE);
  SetWindowPos(window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool CountdownWindow::run(HWND owner, runtime::AppContext& ctx) {
  cancelled_ = false;
  createModeless(owner);
  showInFront(IDCANCEL);
  // The taskbar entry asks for attention: the program is about to close by itself.
  FLASHWINFO flash{sizeof flash, owner, FLASHW_TRAY, 3, 0};
  FlashWindowEx(&flash);
  return client::runCloseCountdown(*this, ctx);
}

void CountdownWindow::showSeconds(int seconds) {
  SetDlgItemTextW(window(), kSecondsId, std::to_wstring(seconds).c_str());
}

void CountdownWindow::command(int id, int code) {
  // Cancel, Enter, Escape: the countdown sees it at its next look and ends.
  if (id == IDCANCEL && code == BN_CLICKED) cancelled_ = true;
}

std::optional<INT_PTR> CountdownWindow::message(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_CTLCOLORSTATIC || GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != kSecondsId)
    return std::nullopt;
  const auto dc = reinterpret_cast<HDC>(wParam);
  SetTextColor(dc, RGB(0xFF, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace ravelin::win

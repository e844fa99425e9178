#include "win/progress_window.h"

#include <commctrl.h>

#include <algorithm>

#include "desk/dialog_texts.h"
#include "win/ui_text.h"

namespace ravelin::win {

namespace {

// The window's width and the parts of its height, in dialog units.
constexpr int kWidth = 296;
constexpr int kMargin = 7;
constexpr int kButtonsTop = 46;
constexpr int kButtonsBottom = 60;
constexpr int kPaneTop = 66;
constexpr int kPaneHeader = 10;
constexpr int kPaneFooter = 4;

}  // namespace

ProgressWindow::ProgressWindow(const char* caption, int rows, int rowHeight)
    : caption_(caption), rows_(rows), rowHeight_(rowHeight) {}

DialogTemplate ProgressWindow::layout() const {
  const int right = kWidth - kMargin;
  const int paneBottom = kPaneTop + kPaneHeader + rows_ * rowHeight_ + kPaneFooter;
  DialogTemplate form(uiText(caption_), kWidth, static_cast<short>(paneBottom + kMargin), 0);
  const DWORD label = SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS;
  form.add(DialogTemplate::kStatic, L"", kHeadlineId, {kMargin, 7, right, 17}, label);
  form.add(DialogTemplate::kStatic, L"", kDescriptionId, {kMargin, 19, right, 28}, label);
  form.add(PROGRESS_CLASSW, L"", kBarId, {kMargin, 31, right, 40}, 0);
  form.add(DialogTemplate::kButton, uiText(desk::kCancelCaption), IDCANCEL,
           {right - 110, kButtonsTop, right - 60, kButtonsBottom}, BS_PUSHBUTTON | WS_TABSTOP);
  form.add(DialogTemplate::kButton, L"", kDetailsId,
           {right - 54, kButtonsTop, right, kButtonsBottom}, BS_DEFPUSHBUTTON | WS_TABSTOP);
  form.add(DialogTemplate::kButton, uiText(desk::kDetailsGroupCaption), kDetailsPaneId,
           {kMargin, kPaneTop, right, paneBottom}, BS_GROUPBOX);
  for (int slot = 0; slot < rows_; ++slot) {
    const int top = kPaneTop + kPaneHeader + slot * rowHeight_;
    addRow(form, slot, {kMargin + 5, top, right - 5, top + rowHeight_});
  }
  return form;
}

void ProgressWindow::created() {
  dropCloseBox();
  bold_ = boldFont();
  SendMessageW(item(kHeadlineId), WM_SETFONT, reinterpret_cast<WPARAM>(bold_.get()), FALSE);
  bar_.attach(item(kBarId));
  rowsCreated();
  drawDetails();
}

void ProgressWindow::showCentred() {
  drawDetails();
  centreOverOwner();
  showInFront(kDetailsId);
}

void ProgressWindow::enableMainWindow(bool enabled) {
  if (onMainWindowEnabled) onMainWindowEnabled(enabled);
}

void ProgressWindow::drawDetails() {
  if (!window()) return;
  const runtime::ProgressView& view = progressView();
  const bool shown = view.detailsShown();
  setItemText(kDetailsId, _(shown ? desk::kDetailsShownCaption : desk::kDetailsHiddenCaption));
  const int rows = std::min(view.slotCount(), rows_);
  for (int slot = 0; slot < rows_; ++slot)
    for (int part = 0; part < kIdsPerRow; ++part)
      if (const HWND control = item(rowItemId(slot, part)))
        ShowWindow(control, shown && slot < rows ? SW_SHOWNA : SW_HIDE);
  const int paneBottom = kPaneTop + kPaneHeader + rows * rowHeight_ + kPaneFooter;
  const RECT pane = pixels({kMargin, kPaneTop, kWidth - kMargin, paneBottom});
  placeItem(kDetailsPaneId, pane);
  ShowWindow(item(kDetailsPaneId), shown ? SW_SHOWNA : SW_HIDE);
  const RECT client = pixels({0, 0, kWidth, (shown ? paneBottom : kButtonsBottom) + kMargin});
  fitClient(client.right, client.bottom);
}

void ProgressWindow::command(int id, int code) {
  if (code != BN_CLICKED) return;
  // Escape, Alt+F4 and the button: the run is asked to stop and closes the window itself.
  if (id == IDCANCEL) progressView().cancel();
  if (id == kDetailsId) progressView().toggleDetails();
}

}  // namespace ravelin::win

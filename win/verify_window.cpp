#include "win/verify_window.h"

#include "desk/dialog_texts.h"
#include "platform/wide_text.h"
#include "win/ui_text.h"

namespace ravelin::win {

namespace {

// A status line's height in dialog units, and the room between its edge and its text in
// pixels at 96 DPI.
constexpr int kLineHeight = 10;
constexpr int kTextInset = 3;

// The verdict colours as a COLORREF (BGR) from their RGB value.
COLORREF verdictColour(unsigned rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

}  // namespace

VerifyWindow::VerifyWindow(HWND owner)
    : ProgressWindow(verify::kVerifyCaption, verify::kVerifySlotCount, kLineHeight) {
  createModeless(owner);
}

void VerifyWindow::addRow(DialogTemplate& form, int slot, RECT units) const {
  // Drawn by the window itself: the verdict's colour fills the whole line.
  form.add(DialogTemplate::kStatic, L"", rowItemId(slot, 0),
           {units.left, units.top, units.right, units.bottom - 1}, SS_OWNERDRAW);
}

void VerifyWindow::show() {
  resetLines();
  showCentred();
}

void VerifyWindow::resetLines() {
  for (int slot = 0; slot < verify::kVerifySlotCount; ++slot) {
    setSlotMark(slot, verify::SlotMark::Neutral);
    setSlotCaption(slot, _(verify::kThreadNotUsed));
  }
}

void VerifyWindow::setSlotMark(int slot, verify::SlotMark mark) {
  marks_[static_cast<size_t>(slot)] = mark;
  InvalidateRect(item(rowItemId(slot, 0)), nullptr, TRUE);
}

void VerifyWindow::setSlotCaption(int slot, const std::string& text) {
  setItemText(rowItemId(slot, 0), text);
  InvalidateRect(item(rowItemId(slot, 0)), nullptr, TRUE);
}

std::optional<INT_PTR> VerifyWindow::message(UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_DRAWITEM) return std::nullopt;
  const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  const int slot = (static_cast<int>(draw.CtlID) - kFirstRowId) / kIdsPerRow;
  if (slot < 0 || slot >= verify::kVerifySlotCount) return std::nullopt;
  const verify::SlotMark mark = marks_[static_cast<size_t>(slot)];
  COLORREF back = GetSysColor(COLOR_BTNFACE);
  COLORREF fore = GetSysColor(COLOR_BTNTEXT);
  if (mark != verify::SlotMark::Neutral) {
    // The verdict colours are dark: their text is white.
    back = verdictColour(mark == verify::SlotMark::Ok ? desk::kOkRgb : desk::kFailedRgb);
    fore = RGB(0xFF, 0xFF, 0xFF);
  }
  const BrushHandle fill(CreateSolidBrush(back));
  FillRect(draw.hDC, &draw.rcItem, fill.get());
  const std::wstring line = platform::wideFromUtf8(itemText(static_cast<int>(draw.CtlID)));
  RECT room = draw.rcItem;
  InflateRect(&room, -MulDiv(kTextInset, static_cast<int>(GetDpiForWindow(window())), 96), 0);
  SetBkMode(draw.hDC, TRANSPARENT);
  SetTextColor(draw.hDC, fore);
  const HGDIOBJ font = SelectObject(
      draw.hDC, reinterpret_cast<HFONT>(SendMessageW(draw.hwndItem, WM_GETFONT, 0, 0)));
  DrawTextW(draw.hDC, line.c_str(), static_cast<int>(line.size()), &room,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(draw.hDC, font);
  return TRUE;
}

DialogTemplate VerifyWarningWindow::layout() const {
  // The text's height follows it (created()); the row below moves with it.
  DialogTemplate form(uiText(verify::kVerifyWarningCaption), 320, 40, DS_CENTER);
  form.add(DialogTemplate::kStatic, platform::wideFromUtf8(text_), kTextId, {7, 7, 313, 15},
           SS_LEFT | SS_NOPREFIX);
  form.add(DialogTemplate::kButton, uiText(verify::kVerifyWarningCheckBox), kBoxId,
           {7, 20, 199, 34}, BS_AUTOCHECKBOX | WS_TABSTOP);
  form.add(DialogTemplate::kButton, uiText(desk::kProceedCaption), IDOK, {205, 20, 257, 34},
           BS_DEFPUSHBUTTON | WS_TABSTOP);
  form.add(DialogTemplate::kButton, uiText(desk::kCancelCaption), IDCANCEL, {261, 20, 313, 34},
           BS_PUSHBUTTON | WS_TABSTOP);
  return form;
}

void VerifyWarningWindow::created() {
  growToText(kTextId);
  centreOverOwner();
  CheckDlgButton(window(), kBoxId, checked_ ? BST_CHECKED : BST_UNCHECKED);
  focusItem(IDOK);
}

void VerifyWarningWindow::command(int id, int code) {
  if (code != BN_CLICKED || (id != IDOK && id != IDCANCEL)) return;
  checked_ = IsDlgButtonChecked(window(), kBoxId) == BST_CHECKED;
  end(id);
}

bool VerifyWarningWindow::showModal(const std::string& text, bool& checked) {
  text_ = text;
  checked_ = checked;
  const bool proceed = runModal(owner_) == IDOK;
  checked = checked_;
  return proceed;
}

}  // namespace ravelin::win

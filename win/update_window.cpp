#include "win/update_window.h"

#include <commctrl.h>

#include "desk/dialog_texts.h"

namespace ravelin::win {

namespace {

// A slot's frame in dialog units: the caption on its top line, the status text, the bar.
constexpr int kRowHeight = 28;

}  // namespace

UpdateWindow::UpdateWindow(HWND owner) : ProgressWindow(desk::kUpdateCaption, kSlots, kRowHeight) {
  createModeless(owner);
}

void UpdateWindow::addRow(DialogTemplate& form, int slot, RECT units) const {
  const LONG left = units.left + 6, right = units.right - 6, top = units.top;
  form.add(DialogTemplate::kButton, L"", rowItemId(slot, kFramePart),
           {units.left, top, units.right, units.bottom - 1}, BS_GROUPBOX);
  form.add(DialogTemplate::kStatic, L"", rowItemId(slot, kLabelPart),
           {left, top + 10, right, top + 18}, SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS);
  form.add(PROGRESS_CLASSW, L"", rowItemId(slot, kBarPart), {left, top + 19, right, top + 24}, 0);
}

void UpdateWindow::rowsCreated() {
  for (int slot = 0; slot < kSlots; ++slot)
    slotBars_[static_cast<size_t>(slot)].attach(item(rowItemId(slot, kBarPart)));
  resetSlots();
}

void UpdateWindow::show() {
  resetSlots();
  showCentred();
}

void UpdateWindow::resetSlots() {
  for (int slot = 0; slot < kSlots; ++slot) showIdleSlot(slot);
}

void UpdateWindow::setSlotCaption(int slot, const std::string& text) {
  // A frame's caption takes & as a mnemonic; an address may hold one.
  std::string caption;
  for (char c : text) caption += c == '&' ? std::string("&&") : std::string(1, c);
  setItemText(rowItemId(slot, kFramePart), caption);
}

void UpdateWindow::setSlotLabel(int slot, const std::string& text) {
  setItemText(rowItemId(slot, kLabelPart), text);
}

runtime::ProgressBar& UpdateWindow::slotBar(int slot) {
  return slotBars_[static_cast<size_t>(slot)];
}

}  // namespace ravelin::win

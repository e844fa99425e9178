#include "win/status_bar.h"

#include <commctrl.h>

#include "platform/wide_text.h"
#include "win/dpi.h"
#include "win/progress_control.h"
#include "win/window_metrics.h"

namespace ravelin::win {

namespace {

constexpr int kPanelCount = 3;
constexpr int kProgressPanel = 1;

}  // namespace

void setPanelText(HWND bar, int panel, const std::string& utf8) {
  SendMessageW(bar, SB_SETTEXTW, static_cast<WPARAM>(panel),
               reinterpret_cast<LPARAM>(platform::wideFromUtf8(utf8).c_str()));
}

std::string panelText(HWND bar, int panel) {
  const auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(panel), 0));
  std::wstring text(length + 1u, L'\0');
  SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(text.data()));
  text.resize(length);
  return platform::utf8FromWide(text);
}

StatusBar::StatusBar(HWND parent, int id) {
  bar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0,
                         0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         programInstance(), nullptr);
  // The bar lies over the middle panel, as a child of the status bar.
  progress_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 0, 0, 0, bar_, nullptr,
                              programInstance(), nullptr);
  changed();
}

void StatusBar::setText(Panel panel, const std::string& utf8) {
  setPanelText(bar_, panel, utf8);
}

std::string StatusBar::text(Panel panel) const {
  return panelText(bar_, panel);
}

int StatusBar::layout(UINT dpi) {
  dpi_ = dpi;
  // The status bar places itself along its parent's bottom and takes its height from the
  // font it was given.
  SendMessageW(bar_, WM_SIZE, 0, 0);
  placePanels();
  RECT rect{};
  GetWindowRect(bar_, &rect);
  return rect.bottom - rect.top;
}

void StatusBar::placePanels() {
  int right[kPanelCount];
  int edge = 0;
  for (int panel = 0; panel < kPanelCount - 1; ++panel) {
    if (panel != kProgressPanel || progressShown_) edge += scaled(kStatusPanelWidths[panel], dpi_);
    right[panel] = edge;
  }
  right[kPanelCount - 1] = -1;  // to the end of the bar
  SendMessageW(bar_, SB_SETPARTS, kPanelCount, reinterpret_cast<LPARAM>(right));
  RECT cell{};
  SendMessageW(bar_, SB_GETRECT, kProgressPanel, reinterpret_cast<LPARAM>(&cell));
  const int inset = scaled(1, dpi_);
  SetWindowPos(progress_, nullptr, cell.left + inset, cell.top + inset,
               cell.right - cell.left - 2 * inset, cell.bottom - cell.top - 2 * inset,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void StatusBar::changed() {
  drawProgress(progress_, *this);
  if (visible() != progressShown_) {
    progressShown_ = visible();
    placePanels();
    ShowWindow(progress_, progressShown_ ? SW_SHOWNA : SW_HIDE);
  }
}

}  // namespace ravelin::win

#include "win/main_frame.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

#include "runtime/translate.h"
#include "win/dpi.h"
#include "win/window_metrics.h"

namespace ravelin::win {

MainFrame::MainFrame(serverlist::ServerList& list) {
  static const WindowClass windowClass(L"RavelinMainWindow", windowProc);
  window_ = CreateWindowExW(0, windowClass.name(), L"Ravelin " RAVELIN_VERSION, WS_OVERLAPPEDWINDOW,
                            CW_USEDEFAULT, CW_USEDEFAULT, kMainWindowWidth, kMainWindowHeight,
                            nullptr, nullptr, programInstance(), this);
  if (!window_) throw std::runtime_error(_("The main window cannot be created."));
  dpi_ = windowDpi(window_);
  status_ = std::make_unique<StatusBar>(window_, kStatusBarId);
  list_ = std::make_unique<ServerListView>(window_, kListId, list);
  list_->onStatusChanged = [this] {
    status_->setText(StatusBar::kCounts, list_->list().statusText());
  };
  status_->setText(StatusBar::kCounts, list.statusText());
  // The starting size is for 96 DPI: a window that opens on a screen of more dots per inch
  // is as large to the eye.
  SetWindowPos(window_, nullptr, 0, 0, scaled(kMainWindowWidth, dpi_),
               scaled(kMainWindowHeight, dpi_), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  applyDpi();
  list_->fitColumns(dpi_);
}

ToolBar& MainFrame::addToolBar(const std::vector<ToolBar::Button>& buttons) {
  tools_ = std::make_unique<ToolBar>(window_, kToolBarId, buttons);
  SetWindowFont(tools_->window(), font_.get(), FALSE);
  layout();
  return *tools_;
}

MainFrame::~MainFrame() {
  list_.reset();
  if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK MainFrame::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MainFrame* self = windowObject<MainFrame>(window, message, lParam);
  if (self && self->window_ == window) return self->handle(message, wParam, lParam);
  if (self && message == WM_NCCREATE) self->window_ = window;
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MainFrame::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (onMessage && list_) {
    if (const std::optional<LRESULT> answer = onMessage(message, wParam, lParam)) return *answer;
  }
  switch (message) {
    case WM_SIZE:
      layout();
      return 0;
    case WM_SETFOCUS:
      if (list_) SetFocus(list_->window());
      return 0;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (list_ && header.hwndFrom == list_->window()) return list_->notify(header);
      break;
    }
    case WM_DPICHANGED: {
      const UINT old = dpi_;
      dpi_ = HIWORD(wParam);
      // The system's suggestion keeps the window's size to the eye on the new screen.
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      applyDpi();
      list_->rescaleColumns(old, dpi_);
      return 0;
    }
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETNONCLIENTMETRICS) applyDpi();
      break;
    case WM_CLOSE:
      if (onCloseRequest && !onCloseRequest()) return 0;
      DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      list_.reset();
      status_.reset();
      tools_.reset();
      window_ = nullptr;
      if (onDestroyed) onDestroyed();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void MainFrame::applyDpi() {
  FontHandle font = messageFont(dpi_);
  setFontOfTree(window_, font.get());
  IconHandle small = programIcon(dpi_, true);
  IconHandle large = programIcon(dpi_, false);
  if (small) SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
  if (large) SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.get()));
  // The old font and icons go only once no window uses them.
  font_ = std::move(font);
  smallIcon_ = std::move(small);
  largeIcon_ = std::move(large);
  layout();
}

void MainFrame::layout() {
  if (!status_ || !list_) return;
  RECT client{};
  GetClientRect(window_, &client);
  const int barHeight = status_->layout(dpi_);
  const int toolsHeight = tools_ ? tools_->layout(dpi_) : 0;
  SetWindowPos(list_->window(), nullptr, 0, toolsHeight, client.right,
               std::max(0L, client.bottom - barHeight - toolsHeight),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace ravelin::win

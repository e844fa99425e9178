#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>

#include "serverlist/server_list.h"
#include "win/handles.h"
#include "win/server_list_view.h"
#include "win/status_bar.h"
#include "win/tool_bar.h"

namespace ravelin::win {

// The main window's frame: the server list over the whole client area, the status bar
// below it, all in the system's message font and with the program's icon in the sizes of
// the window's DPI, laid out again when the window moves to a screen of another DPI or the
// user changes the system's fonts.
class MainFrame {
 public:
  static constexpr int kListId = 100;
  static constexpr int kStatusBarId = 101;
  static constexpr int kToolBarId = 102;

  // Creates the window, hidden.
  explicit MainFrame(serverlist::ServerList& list);
  ~MainFrame();
  MainFrame(const MainFrame&) = delete;
  MainFrame& operator=(const MainFrame&) = delete;

  HWND window() const { return window_; }
  ServerListView& listView() { return *list_; }
  StatusBar& statusBar() { return *status_; }
  // The toolbar above the list, made once; none until then.
  ToolBar& addToolBar(const std::vector<ToolBar::Button>& buttons);
  ToolBar* toolBar() { return tools_.get(); }
  UINT dpi() const { return dpi_; }

  // Asked when the user closes the window: true lets it close. Without it, it closes.
  std::function<bool()> onCloseRequest;
  // Sees each message of the window first; an answer ends its handling.
  std::function<std::optional<LRESULT>(UINT message, WPARAM wParam, LPARAM lParam)> onMessage;
  // After the window is gone (the program's end).
  std::function<void()> onDestroyed;

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  // The font and the icons of the window's DPI.
  void applyDpi();
  void layout();

  HWND window_ = nullptr;
  UINT dpi_ = 96;
  FontHandle font_;
  IconHandle smallIcon_;
  IconHandle largeIcon_;
  std::unique_ptr<StatusBar> status_;
  std::unique_ptr<ToolBar> tools_;
  std::unique_ptr<ServerListView> list_;
};

}  // namespace ravelin::win

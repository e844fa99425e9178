#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/startup.h"
#include "desk/main_presenter.h"
#include "serverlist/server_list.h"
#include "win/filter_window.h"
#include "win/handles.h"
#include "win/main_frame.h"
#include "win/script_editor_window.h"
#include "win/system_file_chooser.h"
#include "win/transfer_window.h"
#include "win/update_window.h"
#include "win/verify_window.h"
#include "win/version_check_window.h"
#include "win/win_ui_thread.h"

namespace ravelin::win {

// The main window as desk's presenter drives it: the frame with its menus, keys and popup
// menu, each command handed to the presenter, and the close question through the
// presenter's close decision.
class MainWindow : public desk::MainView, public desk::Clipboard {
 public:
  // The ids of the window's WM_COMMAND messages.
  static constexpr int kCommandId = 1000;  // + desk::Command
  static constexpr int kPopupId = 1100;    // + serverlist::PopupItem
  static constexpr int kRecentId = 1200;   // + the index of a recent script
  static constexpr int kSelectAllId = 1300;

  // files: the dialogs that choose files; none: the system's.
  MainWindow(serverlist::ServerList& list, app::AppSession& session, WinUiThread& ui,
             desk::FileChooser* files = nullptr);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND window() const { return frame_.window(); }
  MainFrame& frame() { return frame_; }
  desk::MainPresenter& presenter() { return *presenter_; }
  // Shows the window (maximized when its kept state says so).
  void show();
  // Hands a key message meant for this window to its accelerators, or one meant for a
  // modeless dialog of the program to the dialog's keys; true: it was one.
  bool translateKey(MSG& msg);
  // The filter window, once it was opened; none before.
  FilterWindow* filterWindow() { return filter_.get(); }
  ScriptEditorWindow& scriptEditor() { return *editor_; }
  // The windows of the long commands, once a command used them; none before.
  UpdateWindow* updateWindow() { return update_.get(); }
  VerifyWindow* verifyWindow() { return verify_.get(); }
  TransferWindow* transferWindow() { return transfer_.get(); }
  VersionCheckWindow* versionCheckWindow() { return versionCheck_.get(); }

  // desk::MainView.
  void showListStatus(const std::string& text) override;
  void showMessage(const std::string& text, const std::string& detail) override;
  void setInputEnabled(bool enabled) override;
  void setBusy(bool busy) override;
  bool isShown() const override;
  void requestClose() override;
  void bringToFront() override;
  void showRecentScripts(const std::vector<std::string>& captions) override;
  void setTerminating(bool terminating) override { ui_.setTerminating(terminating); }
  void cancelLongCommands() override;
  void hideWindowsForScript() override;
  void restoreWindowsAfterScript() override;
  desk::WindowPlace place() const override;
  bool isMaximized() const override;
  void placeWindow(const desk::WindowPlace& place) override;
  void maximize() override;
  void editServer() override;
  void addServer() override;
  void openFilter() override;
  void runOptions() override;
  void showAbout() override;
  bool runCloseCountdown() override;
  update::UpdateView& updateView() override;
  verify::VerifyView& verifyView() override;
  verify::VerifyWarningDialog* verifyWarning() override;
  client::TransferView& transferView() override;
  app::VersionCheckView& versionCheckView() override;
  desk::ScriptEditor& scriptWindow() override { return *editor_; }

  // desk::Clipboard.
  std::string text() const override;
  void setText(const std::string& text) override;

 private:
  std::optional<LRESULT> handle(UINT message, WPARAM wParam, LPARAM lParam);
  void command(int id);
  void buildMenus();
  void buildToolBar();
  // The drop-down menu of the toolbar button with that command id, below the button.
  void dropDown(int buttonId);
  void showPopupMenu(POINT at);
  // What a window of a long command calls to disable and enable the main window's input.
  std::function<void(bool enabled)> inputLock();
  // A drop-down menu of commands, the recent scripts as a submenu of their item.
  MenuHandle commandMenu(const std::vector<std::optional<desk::Command>>& items) const;

  serverlist::ServerList& list_;
  app::AppSession& session_;
  runtime::AppContext& ctx_;
  WinUiThread& ui_;
  MainFrame frame_;
  std::unique_ptr<SystemFileChooser> systemFiles_;
  std::unique_ptr<desk::MainPresenter> presenter_;
  std::unique_ptr<FilterWindow> filter_;
  std::unique_ptr<ScriptEditorWindow> editor_;
  std::unique_ptr<UpdateWindow> update_;
  std::unique_ptr<VerifyWindow> verify_;
  std::unique_ptr<VerifyWarningWindow> warning_;
  std::unique_ptr<TransferWindow> transfer_;
  std::unique_ptr<VersionCheckWindow> versionCheck_;
  AcceleratorHandle keys_;
  std::vector<std::string> recentScripts_;
  std::vector<HWND> hiddenWindows_;
  bool busy_ = false;
  bool inputEnabled_ = true;
  bool maximized_ = false;
};

}  // namespace ravelin::win

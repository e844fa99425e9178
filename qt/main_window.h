#pragma once
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QProgressBar>
#include <QToolButton>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desk/main_presenter.h"
#include "qt/about_box.h"
#include "qt/countdown_dialog.h"
#include "qt/file_dialogs.h"
#include "qt/filter_window.h"
#include "qt/options_dialog.h"
#include "qt/qt_progress_bar.h"
#include "qt/qt_ui_thread.h"
#include "qt/script_editor_window.h"
#include "qt/server_editor_dialog.h"
#include "qt/server_list_model.h"
#include "qt/server_list_view.h"
#include "qt/transfer_window.h"
#include "qt/update_window.h"
#include "qt/verify_window.h"
#include "qt/version_check_window.h"

class QMenu;
class QToolBar;

namespace ravelin::qt {

// The main window: the toolbar with its five drop-down buttons, the main menu, the server
// list and the status bar with the load/save bar. What its commands do is its presenter's;
// the window shows what the presenter asks for.
class MainWindow : public QMainWindow, private desk::MainView {
 public:
  using Command = desk::Command;
  using enum desk::Command;
  using ToolButton = desk::ToolButton;
  using enum desk::ToolButton;

  MainWindow(serverlist::ServerList& list, app::AppSession& session, QtUiThread& ui);
  ~MainWindow() override;

  QAction* action(Command command) const { return actions_[command]; }
  QToolButton* toolButton(ToolButton button) const { return buttons_[button]; }
  ServerListView* serverView() const { return view_; }
  ServerListModel& serverModel() { return *model_; }
  FilterWindow* filterWindow() const { return filter_; }
  ServerEditorDialog* editorDialog() const { return editor_; }
  CountdownDialog* countdownDialog() const { return countdown_; }
  UpdateWindow* updateWindow() const { return update_; }
  VerifyWindow* verifyWindow() const { return verify_; }
  VerifyWarningWindow* verifyWarningWindow() const { return warning_; }
  TransferWindow* transferWindow() const { return transfer_; }
  OptionsDialog* optionsDialog() const { return options_; }
  AboutBox* aboutBox() const { return about_; }
  ScriptEditorWindow* scriptEditor() const { return scriptEditor_; }
  QMenu* recentScriptsMenu() const { return recentMenu_; }
  QLabel* statusLabel() const { return status_; }
  // What the last command did to the list, or the failed commands of the last script.
  QLabel* messageLabel() const { return message_; }
  QProgressBar* progressBar() const { return progress_; }
  runtime::ProgressBar& loadSaveBar() { return bar_; }
  runtime::AppContext& context() { return ctx_; }
  serverlist::ServerList& list() { return list_; }

  // The list's popup menu, its items enabled for the list's current state.
  std::unique_ptr<QMenu> makePopupMenu();
  void runPopupItem(serverlist::PopupItem item) { presenter_->runPopupItem(item); }

  void setStartupScript(desk::ScriptRequest script) {
    presenter_->setStartupScript(std::move(script));
  }
  void takeHandedScript(const std::string& text) {
    presenter_->takeHandedScript(desk::handedRequest(text));
  }
  bool runScript(const std::string& path) { return presenter_->runScript(path); }
  void runEditorScript() { presenter_->runEditorScript(); }
  void setScriptAssociation(std::unique_ptr<const app::ScriptAssociation> association) {
    presenter_->setScriptAssociation(std::move(association));
  }
  // Replaces the desktop's browser for the site of a newer version (tests).
  std::function<bool(const std::string& url)> openUrl;
  VersionCheckWindow* versionCheckWindow() const { return versionCheck_; }
  bool commandRunning() const { return presenter_->commandRunning(); }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildToolBar();
  void buildMenus();
  void buildStatusBar();
  void fillRecentScripts(const std::vector<std::string>& captions);

  // desk::MainView
  void showListStatus(const std::string& text) override;
  void showMessage(const std::string& text, const std::string& detail) override;
  void setInputEnabled(bool enabled) override;
  void setBusy(bool busy) override;
  bool isShown() const override { return isVisible(); }
  void requestClose() override { close(); }
  void bringToFront() override;
  void showRecentScripts(const std::vector<std::string>& captions) override {
    fillRecentScripts(captions);
  }
  void setTerminating(bool terminating) override { ui_.setTerminating(terminating); }
  void cancelLongCommands() override;
  void hideWindowsForScript() override;
  void restoreWindowsAfterScript() override;
  desk::WindowPlace place() const override;
  bool isMaximized() const override { return QMainWindow::isMaximized(); }
  void placeWindow(const desk::WindowPlace& place) override;
  void maximize() override { setWindowState(windowState() | Qt::WindowMaximized); }
  void editServer() override { editor_->runEdit(); }
  void addServer() override { editor_->runAdd(); }
  void openFilter() override { filter_->open(); }
  void runOptions() override { options_->run(); }
  void showAbout() override { about_->exec(); }
  bool runCloseCountdown() override { return countdown_->run(ctx_); }
  update::UpdateView& updateView() override { return *update_; }
  verify::VerifyView& verifyView() override { return *verify_; }
  verify::VerifyWarningDialog* verifyWarning() override { return warning_; }
  client::TransferView& transferView() override { return *transfer_; }
  app::VersionCheckView& versionCheckView() override { return *versionCheck_; }
  desk::ScriptEditor& scriptWindow() override { return *scriptEditor_; }

  serverlist::ServerList& list_;
  runtime::AppContext& ctx_;
  QtUiThread& ui_;
  std::unique_ptr<ServerListModel> model_;
  ServerListView* view_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  std::array<QToolButton*, kToolButtonCount> buttons_{};
  std::array<QAction*, kCommandCount> actions_{};
  QLabel* status_ = nullptr;
  QLabel* message_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QtProgressBar bar_{nullptr};
  FilterWindow* filter_ = nullptr;
  ServerEditorDialog* editor_ = nullptr;
  CountdownDialog* countdown_ = nullptr;
  UpdateWindow* update_ = nullptr;
  VerifyWindow* verify_ = nullptr;
  VerifyWarningWindow* warning_ = nullptr;
  TransferWindow* transfer_ = nullptr;
  OptionsDialog* options_ = nullptr;
  AboutBox* about_ = nullptr;
  ScriptEditorWindow* scriptEditor_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  VersionCheckWindow* versionCheck_ = nullptr;
  std::unique_ptr<FileDialogs> dialogs_;
  std::unique_ptr<desk::Clipboard> clipboard_;
  std::unique_ptr<desk::MainPresenter> presenter_;
  std::vector<QPointer<QWidget>> hiddenWindows_;
};

}  // namespace ravelin::qt

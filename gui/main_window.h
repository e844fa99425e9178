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

#include "app/file_association.h"
#include "app/startup.h"
#include "app/transfer_time_file.h"
#include "gui/about_box.h"
#include "gui/countdown_dialog.h"
#include "gui/file_dialogs.h"
#include "gui/filter_window.h"
#include "gui/load_save_bar.h"
#include "gui/options_dialog.h"
#include "gui/qt_ui_thread.h"
#include "gui/script_editor_window.h"
#include "gui/server_editor_dialog.h"
#include "gui/server_list_model.h"
#include "gui/server_list_view.h"
#include "gui/transfer_window.h"
#include "gui/update_window.h"
#include "gui/verify_window.h"
#include "gui/version_check_window.h"
#include "script/script_executor.h"
#include "script/script_host.h"
#include "serverlist/list_commands.h"
#include "serverlist/save_flow.h"

class QMenu;
class QToolBar;

namespace ravelin::gui {

class MainWindow;

// The script host of the desktop program: the readers and writers drive the main
// window's load/save bar, the updates, verifications and the hand-over to the running
// client run in their windows, CloseUtils counts down in its window, HideWindows hides the
// program's windows until the script ends.
class GuiScriptHost : public script::ScriptHost {
 public:
  explicit GuiScriptHost(MainWindow& window) : window_(window) {}

  runtime::ProgressBar& loadSaveBar() override;
  update::UpdateOutcome update(update::UpdateKind kind) override;
  verify::VerifyOutcome verify(bool all) override;
  bool closeCountdown() override;
  void hideWindows() override;
  void restoreWindows() override;
  void saveRunningEDonkey() override;
  void sendToEDonkeyConsole(const std::string& text) override;
  void startEDonkey() override;
  void startFile(const std::string& path) override;

 private:
  MainWindow& window_;
};

// The main window: the toolbar with its five drop-down buttons, the main menu, the server
// list and the status bar with the load/save bar. Every command runs in the command frame
// (the window takes no input while it runs; a failure is shown once it is over).
class MainWindow : public QMainWindow {
 public:
  enum Command : int {
    cmdRefreshStandard,
    cmdRefreshMet,
    cmdRefreshBot,
    cmdRefreshHtml,
    cmdUpdateAll,
    cmdUpdateHtml,
    cmdUpdateMet,
    cmdUpdateBot,
    cmdUpdateDns,
    cmdVerifyChecked,
    cmdVerifyAll,
    cmdSaveStandard,
    cmdSaveMet,
    cmdSaveBot,
    cmdSaveTxt,
    cmdSaveHtml,
    cmdSaveTemplate,
    cmdSaveRunning,
    cmdOpenScript,
    cmdRecentScripts,
    cmdScriptEditor,
    cmdOptions,
    cmdExit,
    cmdCheckForUpdates,
    cmdAbout,
    cmdCopy,
    cmdPaste,
    kCommandCount
  };
  // The toolbar's buttons, left to right.
  enum ToolButton : int { tbRefresh, tbUpdate, tbVerify, tbSave, tbScript, kToolButtonCount };

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
  void runPopupItem(serverlist::PopupItem item);

  // The script named on the command line, run at the first activation.
  void setStartupScript(std::string path) { startupScript_ = std::move(path); }
  // A script that a later start of the program handed over: run as ScrExecOrEdit says, or
  // shown in the script editor (always while something runs). Empty: only shows the window.
  void takeHandedScript(const std::string& path);
  // Runs a script file in the command frame: history, syntax check when configured, run.
  // A script that ends with CloseUtils' countdown run out closes the window. Returns
  // false when it closed the window or failed its syntax check.
  bool runScript(const std::string& path);
  // Runs the script editor's text in the command frame.
  void runEditorScript();
  // Where the first activation checks the association of script files; without it (the
  // tests' windows) nothing is checked.
  void setScriptAssociation(app::XdgPlaces places) { associationPlaces_ = std::move(places); }
  // "&Check for updates". Opens the site of a newer version with openUrl when it is set.
  void checkForUpdates();
  std::function<bool(const std::string& url)> openUrl;
  VersionCheckWindow* versionCheckWindow() const { return versionCheck_; }
  bool commandRunning() const { return commandDepth_ > 0; }

  // The long commands in their windows, as the menus and the script host run them (inside
  // a command frame).
  update::UpdateOutcome updateServers(update::UpdateKind kind);
  verify::VerifyOutcome verifyServers(bool all);
  void saveToRunningClient();

  // For the script host.
  bool runCloseCountdown();
  void hideForScript();
  void restoreAfterScript();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildToolBar();
  void buildMenus();
  void buildStatusBar();
  void connectCommands();
  // The command frame: input to the window off, the command, input on again, then a
  // failure's message in the standard error box.
  void runCommand(const std::function<void()>& command);
  // Input to the window off while at least one command or progress window holds it.
  void lockInput(bool lock);
  void showStandardError(const std::string& text);
  void updateStatus();
  // The status bar's last panel: what the last command did to the list.
  void showMessage(const std::string& text);
  // The window's place and size, the columns and the sort as ravelin.ini keeps them.
  void restoreWindowState();
  void storeWindowState();
  // Closing a list that changed since it was loaded or saved: Yes saves it to the client's
  // server.met, No drops it, Cancel (or a save that failed) keeps the window open.
  bool mayCloseChangedList();
  void copyServerLinks();
  void pasteServerLinks();
  // What a read into the list read: its source, and whether that was damaged or unreadable.
  struct ListSource {
    std::string name;
    bool damaged = false;
  };
  // Reads into the list; read returns the source it read, or nothing when it read none. A
  // list that was empty is then what its source holds, unless that was damaged.
  void readIntoList(const std::function<std::optional<ListSource>()>& read);
  // Runs a save to path and says in the status bar how it went.
  void saveThen(const std::string& path, const std::function<serverlist::SaveResult()>& save);
  // After a script: its failed commands in the status bar and, when there are any, in one
  // box.
  void reportScriptFailures(const script::ScriptRun& run);

  void refreshStandard();
  void refreshFile(OpenDialogKind kind);
  void saveStandard();
  void saveFile(SaveDialogKind kind);
  void saveTemplate();
  void openScript();
  void fillRecentScripts();
  void offerScriptAssociation();

  serverlist::ServerList& list_;
  app::AppSession& session_;
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
  LoadSaveBar bar_{nullptr};
  FilterWindow* filter_ = nullptr;
  ServerEditorDialog* editor_ = nullptr;
  CountdownDialog* countdown_ = nullptr;
  UpdateWindow* update_ = nullptr;
  VerifyWindow* verify_ = nullptr;
  VerifyWarningWindow* warning_ = nullptr;
  TransferWindow* transfer_ = nullptr;
  app::TransferTimeFile transferTime_;
  OptionsDialog* options_ = nullptr;
  AboutBox* about_ = nullptr;
  ScriptEditorWindow* scriptEditor_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  VersionCheckWindow* versionCheck_ = nullptr;
  std::optional<app::XdgPlaces> associationPlaces_;
  std::unique_ptr<FileDialogs> dialogs_;
  GuiScriptHost host_{*this};
  std::optional<std::string> startupScript_;
  int commandDepth_ = 0;
  int inputLocks_ = 0;
  bool closeRequested_ = false;
  std::vector<QPointer<QWidget>> hiddenWindows_;
};

}  // namespace ravelin::gui

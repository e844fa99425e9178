#pragma once
// The main window's behaviour without a toolkit: what each command does, the command frame
// that locks the window's input while one runs, what the status bar says afterwards, the
// script runs, the close decision, the recent scripts and the window's kept state.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/script_association.h"
#include "app/startup.h"
#include "app/transfer_time_file.h"
#include "desk/command_line.h"
#include "desk/commands.h"
#include "desk/desk_script_host.h"
#include "desk/file_chooser.h"
#include "desk/main_view.h"
#include "script/script_executor.h"
#include "serverlist/list_commands.h"
#include "serverlist/save_flow.h"
#include "update/update_command.h"
#include "verify/verify_command.h"

namespace ravelin::desk {

// What a close of the main window comes to.
enum class CloseDecision {
  Close,  // the program ends
  Defer,  // a command still runs: it is cancelled, and the close comes back once it ended
  Refuse  // the user kept the window open (a question about unsaved changes)
};

class MainPresenter {
 public:
  struct Views {
    MainView& main;
    ListView& list;
    FileChooser& files;
    Clipboard& clipboard;
  };
  MainPresenter(serverlist::ServerList& list, app::AppSession& session, Views views,
                runtime::ProgressBar& loadSaveBar);
  ~MainPresenter();
  MainPresenter(const MainPresenter&) = delete;
  MainPresenter& operator=(const MainPresenter&) = delete;

  // A command of the menus, the toolbar or a key.
  void run(Command command);
  // An item of the list's popup menu (also the Delete key and a double click).
  void runPopupItem(serverlist::PopupItem item);
  // Space on the list: the selected rows take the opposite of the first one's check mark.
  void toggleChecks();
  // "&Check for updates"; opens the site of a newer version with openUrl when it is set.
  void checkForUpdates(const std::function<bool(const std::string& url)>& openUrl);
  void chooseRecentScript(const std::string& caption);
  // The list's counts changed.
  void listStatusChanged();

  // The script named on the command line, run or opened at the first activation (none
  // when its path is empty).
  void setStartupScript(ScriptRequest script) { startupScript_ = std::move(script); }
  // Where the first activation checks the association of script files; without it
  // nothing is checked.
  void setScriptAssociation(std::unique_ptr<const app::ScriptAssociation> association) {
    association_ = std::move(association);
  }
  // The window is shown: true the first time, when startUp() is to follow once it is on
  // screen.
  bool shown();
  // The start-up script runs (or opens in the editor, as ScrExecOrEdit says), then comes
  // the question about script files, unless the script closed the program or failed.
  void startUp();
  // A script that a later start of the program handed over: run as ScrExecOrEdit says, or
  // shown in the script editor (always while something runs). Empty: only shows the window.
  void takeHandedScript(const ScriptRequest& script);
  // Runs a script file in the command frame. A script that ends with CloseUtils' countdown
  // run out closes the window. Returns false when it closed the window or failed its
  // syntax check.
  bool runScript(const std::string& path);
  void runEditorScript();
  bool commandRunning() const { return commandDepth_ > 0; }

  // The long commands, as the menus and the script host run them (inside a command frame).
  update::UpdateOutcome updateServers(update::UpdateKind kind);
  verify::VerifyOutcome verifyServers(bool all);
  void saveToRunningClient();
  // A progress window holds the window's input while it is shown (lock true).
  void lockInput(bool lock);

  CloseDecision closeDecision();
  // The window's place, columns and sort as ravelin.ini keeps them.
  void restoreWindowState();

  runtime::AppContext& context() { return ctx_; }
  runtime::ProgressBar& loadSaveBar() { return bar_; }
  MainView& view() { return main_; }

 private:
  // The command frame: input to the window off, the command, input on again, then a
  // failure's message in the standard error box.
  void frame(const std::function<void()>& command);
  void showMessage(const std::string& text, const std::string& detail = {});
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
  void refreshStandard();
  void refreshFile(OpenKind kind);
  void saveFile(SaveKind kind);
  void saveTemplate();
  void update(update::UpdateKind kind);
  void verify(bool all);
  void copyServerLinks();
  void pasteServerLinks();
  void openScript();
  // After a script: the window closes when CloseUtils' countdown ran out; else its failed
  // commands show in the status bar and, when there are any, in one box.
  void scriptEnded(const script::ScriptRun& run);
  void offerScriptAssociation();
  // Closing a list that changed since it was loaded or saved: Yes saves it to the client's
  // server.met, No drops it, Cancel (or a save that failed) keeps the window open.
  bool mayCloseChangedList();
  void storeWindowState();

  serverlist::ServerList& list_;
  app::AppSession& session_;
  runtime::AppContext& ctx_;
  MainView& main_;
  ListView& listView_;
  FileChooser& files_;
  Clipboard& clipboard_;
  runtime::ProgressBar& bar_;
  app::TransferTimeFile transferTime_;
  DeskScriptHost host_{*this};
  ScriptRequest startupScript_;
  std::unique_ptr<const app::ScriptAssociation> association_;
  int commandDepth_ = 0;
  int inputLocks_ = 0;
  bool closeRequested_ = false;
};

}  // namespace ravelin::desk

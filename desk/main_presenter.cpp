#include "desk/main_presenter.h"

#include "app/file_commands.h"
#include "app/script_file_run.h"
#include "app/version_check.h"
#include "app/window_state.h"
#include "client/transfer.h"
#include "runtime/silent_abort.h"
#include "runtime/translate.h"
#include "serverlist/bot_file.h"
#include "serverlist/met_file.h"
#include "serverlist/server_links.h"
#include "serverlist/server_sort.h"
#include "serverlist/template_writer.h"
#include "serverlist/text_writers.h"

namespace ravelin::desk {

using namespace serverlist;

namespace {

// "1 server", "2 servers".
std::string servers(size_t count) {
  return runtime::fillIn(P_("%s server", "%s servers", count), {std::to_string(count)});
}

// The busy pointer for as long as a list is read.
class Busy {
 public:
  explicit Busy(MainView& view) : view_(view) { view_.setBusy(true); }
  ~Busy() { view_.setBusy(false); }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  MainView& view_;
};

}  // namespace

MainPresenter::MainPresenter(ServerList& list, app::AppSession& session, Views views,
                             runtime::ProgressBar& loadSaveBar)
    : list_(list),
      session_(session),
      ctx_(session.context()),
      main_(views.main),
      listView_(views.list),
      files_(views.files),
      clipboard_(views.clipboard),
      bar_(loadSaveBar),
      transferTime_(session.places().transferFile) {
  app::HistoryList& history = session_.history();
  history.onChange = [this] { main_.showRecentScripts(session_.history().menuCaptions()); };
  // A recent script always runs; one whose file has gone is passed over without a word.
  history.onChosen = [this](const std::string& path) { runScript(path); };
  main_.showRecentScripts(history.menuCaptions());
}

MainPresenter::~MainPresenter() {
  session_.history().onChange = nullptr;
  session_.history().onChosen = nullptr;
}

void MainPresenter::run(Command command) {
  switch (command) {
    case cmdRefreshStandard:
      return refreshStandard();
    case cmdRefreshMet:
      return refreshFile(OpenKind::Met);
    case cmdRefreshBot:
      return refreshFile(OpenKind::Bot);
    case cmdRefreshHtml:
      return refreshFile(OpenKind::Html);
    case cmdUpdateAll:
      return update(update::UpdateKind::All);
    case cmdUpdateHtml:
      return update(update::UpdateKind::HTML);
    case cmdUpdateMet:
      return update(update::UpdateKind::MET);
    case cmdUpdateBot:
      return update(update::UpdateKind::BOT);
    case cmdUpdateDns:
      return update(update::UpdateKind::DNS);
    case cmdVerifyChecked:
      return verify(false);
    case cmdVerifyAll:
      return verify(true);
    case cmdSaveStandard:
      return frame([this] {
        saveThen(runtime::clientFile(ctx_.settings.EDPath, "server.met"),
                 [this] { return client::saveClientServerMet(list_, bar_, ctx_).result; });
      });
    case cmdSaveMet:
      return saveFile(SaveKind::Met);
    case cmdSaveBot:
      return saveFile(SaveKind::Bot);
    case cmdSaveTxt:
      return saveFile(SaveKind::Txt);
    case cmdSaveHtml:
      return saveFile(SaveKind::Html);
    case cmdSaveTemplate:
      return saveTemplate();
    case cmdSaveRunning:
      return frame([this] {
        if (app::haveServersToSave(list_, ctx_)) saveToRunningClient();
      });
    case cmdOpenScript:
      return openScript();
    case cmdRecentScripts:  // a submenu, no command of its own
      return;
    case cmdScriptEditor:
      return main_.scriptWindow().open();
    case cmdOptions:
      return frame([this] { main_.runOptions(); });
    case cmdExit:
      return main_.requestClose();
    case cmdCheckForUpdates:
      return checkForUpdates(nullptr);
    case cmdAbout:
      return main_.showAbout();
    case cmdCopy:
      return copyServerLinks();
    case cmdPaste:
      return frame([this] { pasteServerLinks(); });
    case kCommandCount:
      break;
  }
}

void MainPresenter::runPopupItem(PopupItem item) {
  switch (item) {
    case piEditServer:
      if (list_.selected()) main_.editServer();
      break;
    case piDeleteServer: {
      const std::vector<size_t> rows = listView_.selectedRows();
      if (deleteServers(list_, rows, ctx_))
        showMessage(runtime::fillIn(_("Deleted %s"), {servers(rows.size())}));
      break;
    }
    case piCheckSelected:
    case piUncheckSelected:
      setChecked(list_, listView_.selectedRows(), item == piCheckSelected);
      break;
    case piAddServer:
      main_.addServer();
      break;
    case piCheckAll:
      checkAllServers(list_, ctx_);
      break;
    case piUncheckAll:
      uncheckAllServers(list_, ctx_);
      break;
    case piInvert:
      invertCheckMarks(list_, ctx_);
      break;
    case piFilter:
      main_.openFilter();
      break;
    case piClearList:
      clearServerList(list_, ctx_);
      break;
  }
  listView_.showListSelection();
}

void MainPresenter::toggleChecks() {
  const std::vector<size_t> rows = listView_.selectedRows();
  if (!rows.empty()) setChecked(list_, rows, !list_[rows.front()].checked);
}

void MainPresenter::listStatusChanged() {
  main_.showListStatus(list_.statusText());
}

void MainPresenter::chooseRecentScript(const std::string& caption) {
  session_.history().choose(caption);
}

void MainPresenter::lockInput(bool lock) {
  inputLocks_ += lock ? 1 : -1;
  main_.setInputEnabled(inputLocks_ == 0);
}

void MainPresenter::frame(const std::function<void()>& command) {
  ++commandDepth_;
  lockInput(true);
  std::optional<std::string> failure;
  try {
    command();
  } catch (const runtime::SilentAbort&) {
    // Reported where it was raised.
  } catch (const std::exception& e) {
    failure = e.what();
  }
  lockInput(false);
  --commandDepth_;
  if (failure)
    ctx_.message(N_("Ravelin"), *failure, runtime::MsgIcon::Error, runtime::MsgButtons::Ok);
  if (closeRequested_ && commandDepth_ == 0) main_.requestClose();
}

void MainPresenter::showMessage(const std::string& text, const std::string& detail) {
  main_.showMessage(text, detail.empty() ? text : detail);
}

void MainPresenter::readIntoList(const std::function<std::optional<ListSource>()>& read) {
  const bool wasEmpty = list_.empty();
  const size_t before = list_.size();
  const std::optional<ListSource> source = read();
  if (!source) return;
  const std::string added = servers(list_.size() - before);
  if (source->damaged) {
    // Not a read that worked: an empty or broken download must not look like one.
    showMessage(runtime::fillIn(_("%s is damaged or unreadable: %s added"), {source->name, added}));
    return;
  }
  if (wasEmpty) list_.markSaved();
  showMessage(runtime::fillIn(_("Added %s from %s"), {added, source->name}));
}

void MainPresenter::saveThen(const std::string& path, const std::function<SaveResult()>& save) {
  const size_t count = list_.checkedCount();
  // A failure's box names the file and the reason; the status bar must not keep telling of
  // the last save that worked.
  const auto failed = [&] { showMessage(runtime::fillIn(_("Saving to %s failed"), {path})); };
  SaveResult result;
  try {
    result = save();
  } catch (const std::exception&) {
    failed();
    throw;
  }
  if (result == SaveResult::Saved)
    showMessage(runtime::fillIn(_("Saved %s to %s"), {servers(count), path}));
  else if (result == SaveResult::Failed)
    failed();
}

void MainPresenter::refreshStandard() {
  frame([this] {
    Busy busy(main_);
    readIntoList([this]() -> std::optional<ListSource> {
      std::optional<std::string> chosen;
      const app::RefreshResult result = app::refreshStandardServerMet(
          list_, bar_, ctx_, [this, &chosen] { return chosen = files_.open(OpenKind::Met); });
      if (result == app::RefreshResult::NoFile) return std::nullopt;
      return ListSource{chosen.value_or(runtime::clientFile(ctx_.settings.EDPath, "server.met")),
                        result == app::RefreshResult::Damaged};
    });
  });
}

void MainPresenter::refreshFile(OpenKind kind) {
  frame([this, kind] {
    Busy busy(main_);
    const std::optional<std::string> path = files_.open(kind);
    if (!path) return;
    readIntoList([&]() -> std::optional<ListSource> {
      bool read = true;
      switch (kind) {
        case OpenKind::Met:
          read = readServersFromMet(list_, *path, bar_, ctx_).gaveList();
          break;
        case OpenKind::Bot:
          read = readServersFromBOT(list_, *path, bar_, ctx_);
          break;
        case OpenKind::Html:
          readServersFromHTML(list_, *path, ctx_);
          break;
        case OpenKind::Script:
        case OpenKind::Template:
          break;
      }
      return ListSource{*path, !read};
    });
  });
}

void MainPresenter::saveFile(SaveKind kind) {
  frame([this, kind] {
    if (!app::haveServersToSave(list_, ctx_)) return;
    const std::optional<std::string> path = files_.save(kind);
    if (!path) return;
    // Past the check above, a writer that did not save failed.
    saveThen(*path, [&] {
      bool saved = false;
      switch (kind) {
        case SaveKind::Met:
          saved = writeServersToMet(list_, *path, bar_, ctx_);
          break;
        case SaveKind::Bot:
          saved = writeServersToBOT(list_, *path, bar_, ctx_);
          break;
        case SaveKind::Txt:
          saved = writeServersToTXT(list_, *path, bar_, ctx_);
          break;
        case SaveKind::Html:
          saved = writeServersToHTML(list_, *path, bar_, ctx_);
          break;
        case SaveKind::Template:
          break;
      }
      return saved ? SaveResult::Saved : SaveResult::Failed;
    });
  });
}

void MainPresenter::saveTemplate() {
  frame([this] {
    if (!app::haveServersToSave(list_, ctx_)) return;
    const std::optional<std::string> templateFile = files_.open(OpenKind::Template);
    if (!templateFile) return;
    const std::optional<std::string> path = files_.save(SaveKind::Template);
    if (!path) return;
    saveThen(*path, [&] {
      return writeServersToTemplate(list_, *templateFile, *path, bar_, ctx_) ? SaveResult::Saved
                                                                             : SaveResult::Failed;
    });
  });
}

void MainPresenter::update(update::UpdateKind kind) {
  frame([this, kind] {
    const size_t before = list_.size();
    switch (updateServers(kind)) {
      case update::UpdateOutcome::Ended:
        showMessage(runtime::fillIn(_("Updated: %s added"), {servers(list_.size() - before)}));
        break;
      case update::UpdateOutcome::NoSourceRead:
        showMessage(_(update::kNoSourceReadText));
        break;
      case update::UpdateOutcome::Cancelled:
        showMessage(_("Update cancelled"));
        break;
    }
  });
}

void MainPresenter::verify(bool all) {
  frame([this, all] {
    if (!verify::haveServersToVerify(list_, all, ctx_)) return;
    const size_t tested = all ? list_.size() : list_.checkedCount();
    switch (verifyServers(all)) {
      case verify::VerifyOutcome::Ended:
        showMessage(
            runtime::fillIn(_("Verified %s servers: %s reachable"),
                            {std::to_string(tested), std::to_string(list_.checkedCount())}));
        break;
      case verify::VerifyOutcome::Cancelled:
        showMessage(_("Verification cancelled"));
        break;
      case verify::VerifyOutcome::NetworkDown:
        showMessage(_(verify::kNetworkDownText));
        break;
    }
  });
}

update::UpdateOutcome MainPresenter::updateServers(update::UpdateKind kind) {
  return update::runUpdate(list_, ctx_, main_.updateView(), kind, bar_);
}

verify::VerifyOutcome MainPresenter::verifyServers(bool all) {
  return verify::runVerify(list_, ctx_, main_.verifyView(), all, main_.verifyWarning(),
                           [this] { session_.saveVrfWarning(); });
}

void MainPresenter::saveToRunningClient() {
  const auto bridge = client::makeClientBridge(ctx_.settings);
  client::sendToRunningClient(list_, ctx_, main_.transferView(), transferTime_, *bridge);
}

void MainPresenter::copyServerLinks() {
  const std::vector<size_t> rows = listView_.selectedRows();
  if (rows.empty()) return;
  clipboard_.setText(serverLinkLines(list_, rows));
  showMessage(runtime::fillIn(P_("Copied %s server link", "Copied %s server links", rows.size()),
                              {std::to_string(rows.size())}));
}

void MainPresenter::pasteServerLinks() {
  const std::string text = clipboard_.text();
  readIntoList([&]() -> std::optional<ListSource> {
    readServersFromLinks(list_, text, app::kClipboardSource, ctx_);
    return ListSource{_("the clipboard")};
  });
}

void MainPresenter::checkForUpdates(const std::function<bool(const std::string& url)>& openUrl) {
  frame([this, &openUrl] {
    app::VersionCheck check(ctx_, main_.versionCheckView());
    if (openUrl) check.openUrl = openUrl;
    check.run();
  });
}

void MainPresenter::openScript() {
  const std::optional<std::string> path = files_.open(OpenKind::Script);
  if (path) runScript(*path);
}

bool MainPresenter::runScript(const std::string& path) {
  script::ScriptRun run;
  bool checked = true;
  frame([&] {
    checked = app::runScriptFile(path, session_.history(), list_, host_, ctx_, run) !=
              app::ScriptFileOutcome::SyntaxError;
  });
  scriptEnded(run);
  return checked && !run.closed;
}

void MainPresenter::runEditorScript() {
  script::ScriptRun run;
  frame([&] {
    app::runEditorScript(main_.scriptWindow().document(), session_.history(), list_, host_, ctx_,
                         run);
  });
  scriptEnded(run);
}

void MainPresenter::scriptEnded(const script::ScriptRun& run) {
  if (run.closed) {
    main_.requestClose();
    return;
  }
  // Not when a close during the run has ended the program.
  if (!main_.isShown()) return;
  if (run.failures.empty()) {
    main_.showMessage({}, {});
    return;
  }
  const std::string summary = script::failureSummary(run);
  // The status bar keeps the first line (without its colon) until the next script ends.
  showMessage(summary.substr(0, summary.find(':')), summary);
  ctx_.message(N_("Ravelin"), summary, runtime::MsgIcon::Exclamation, runtime::MsgButtons::Ok);
}

bool MainPresenter::shown() {
  if (ctx_.state.firstActivationDone) return false;
  ctx_.state.firstActivationDone = true;
  return true;
}

void MainPresenter::startUp() {
  const std::string& script = startupScript_.path;
  if (!script.empty() && startupScript_.edits(ctx_.settings.ScrExecOrEdit))
    main_.scriptWindow().openFile(script);
  else if (!script.empty() && !runScript(script))
    return;
  offerScriptAssociation();
}

void MainPresenter::offerScriptAssociation() {
  if (!association_ || closeRequested_ || !main_.isShown()) return;
  frame([this] { app::offerScriptAssociation(ctx_, session_.iniPath(), *association_); });
}

void MainPresenter::takeHandedScript(const ScriptRequest& script) {
  if (!ctx_.state.hiddenByScript) main_.bringToFront();
  if (script.path.empty()) return;
  if (script.edits(ctx_.settings.ScrExecOrEdit) || commandRunning() || ctx_.state.scriptRunning)
    main_.scriptWindow().openFile(script.path);
  else
    runScript(script.path);
}

bool MainPresenter::mayCloseChangedList() {
  // A close that a script asked for (CloseUtils) asks nothing; a close that came while a
  // command ran asks once the command has ended, since the list may have changed before or
  // during it. A list without a checked server has nothing server.met could take.
  if (ctx_.state.closeConfirmed || !list_.changedSinceSaved() || list_.checkedCount() == 0)
    return true;
  switch (ctx_.message(N_("Ravelin"), app::kSaveChangedListQuestion, runtime::MsgIcon::Question,
                       runtime::MsgButtons::YesNoCancel, runtime::MsgResult::No)) {
    case runtime::MsgResult::Yes:
      return bool(client::saveClientServerMet(list_, bar_, ctx_));
    case runtime::MsgResult::No:
      return true;
    default:
      return false;
  }
}

CloseDecision MainPresenter::closeDecision() {
  if (commandDepth_ > 0) {
    // A command is still running (a script waiting, say): it ends at its next wait, a
    // running update, verification, hand-over or version check is cancelled and waits for
    // its workers, and the close comes back once the command has ended.
    closeRequested_ = true;
    main_.setTerminating(true);
    main_.cancelLongCommands();
    return CloseDecision::Defer;
  }
  // Unsaved changes in the script editor and in the list are not lost without a question.
  // Both questions come before anything closes: a refused close leaves the program as it
  // was before the close began, the editor open with its text.
  ScriptEditor& editor = main_.scriptWindow();
  const bool editorOpen = editor.isOpen();
  if ((editorOpen && !editor.mayClose()) || !mayCloseChangedList()) {
    closeRequested_ = false;
    main_.setTerminating(false);
    return CloseDecision::Refuse;
  }
  if (editorOpen) editor.closeAsked();
  storeWindowState();
  session_.close();
  main_.setTerminating(true);
  return CloseDecision::Close;
}

void MainPresenter::restoreWindowState() {
  const app::WindowState state = app::loadWindowState(session_.iniPath());
  if (state.geometry) {
    const auto& g = *state.geometry;
    main_.placeWindow({g.left, g.top, g.width, g.height});
  }
  if (state.maximized) main_.maximize();
  for (size_t c = 0; c < state.columnWidths.size(); ++c)
    listView_.setColumnWidth(static_cast<int>(c), state.columnWidths[c]);
  if (state.sortColumn) {
    list_.sortBy(*state.sortColumn, state.sortDescending);
    list_.keepSort(true);
    sortServers(list_);
    listView_.showSortIndicator();
  }
}

void MainPresenter::storeWindowState() {
  app::WindowState state;
  const WindowPlace place = main_.place();
  state.geometry = app::WindowState::Geometry{place.left, place.top, place.width, place.height};
  state.maximized = main_.isMaximized();
  for (int c = 0; c < listView_.columnCount(); ++c)
    state.columnWidths.push_back(listView_.columnWidth(c));
  if (list_.sortKept()) {
    state.sortColumn = list_.sortColumn();
    state.sortDescending = list_.sortDescending();
  }
  try {
    app::ensureIniDirectory(session_.iniPath());
    app::storeWindowState(state, session_.iniPath());
  } catch (const std::exception&) {
    // The window's place is a convenience: a file that cannot take it stops no close.
  }
}

}  // namespace ravelin::desk

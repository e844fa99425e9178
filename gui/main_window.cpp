#include "gui/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <stdexcept>

#include "app/file_commands.h"
#include "app/script_file_run.h"
#include "app/version_check.h"
#include "app/window_state.h"
#include "client/launch.h"
#include "client/transfer.h"
#include "gui/field_text.h"
#include "gui/icons.h"
#include "gui/override_cursor.h"
#include "gui/ui_text.h"
#include "gui/version_check_window.h"
#include "gui/window_metrics.h"
#include "runtime/silent_abort.h"
#include "runtime/translate.h"
#include "script/script_executor.h"
#include "serverlist/bot_file.h"
#include "serverlist/met_file.h"
#include "serverlist/server_links.h"
#include "serverlist/server_sort.h"
#include "serverlist/template_writer.h"
#include "serverlist/text_writers.h"
#include "update/update_command.h"
#include "verify/verify_command.h"

namespace ravelin::gui {

using namespace serverlist;

namespace {

// The captions of the commands, in the order of MainWindow::Command.
constexpr std::array<const char*, MainWindow::kCommandCount> kCommandCaptions = {
    N_("Refresh standard server.met"),
    N_("Refresh custom MET-File"),
    N_("Refresh custom BOT-File"),
    N_("Refresh custom HTML-File"),
    N_("Update from all sources"),
    N_("Update only from HTML URLs"),
    N_("Update only from MET-File URLs"),
    N_("Update only from BOT-File URLs"),
    N_("Update only from local DNS-File"),
    N_("Verify checked IPs"),
    N_("Verify all IPs"),
    N_("Save to standard server.met"),
    N_("Save to MET-File"),
    N_("Save to BOT-File"),
    N_("Save to TXT-File"),
    N_("Save to HTML-File"),
    N_("Save to Template"),
    N_("Save to running EDonkey"),
    N_("Open script ..."),
    N_("Recently used scripts"),
    N_("Open script editor..."),
    kOptionsCaption,
    kExitCaption,
    kCheckForUpdatesCaption,
    kAboutCaption,
    kCopyCaption,
    kPasteCaption,
};

// The toolbar's buttons: caption, picture and the commands of the drop-down menu (the
// first is the button's own click).
struct ToolButtonLayout {
  const char* caption;
  ToolIcon icon;
  std::initializer_list<MainWindow::Command> items;
};
const std::array<ToolButtonLayout, MainWindow::kToolButtonCount> kButtons = {{
    {kRefreshButtonCaption,
     ToolIcon::Refresh,
     {MainWindow::cmdRefreshStandard, MainWindow::cmdRefreshMet, MainWindow::cmdRefreshBot,
      MainWindow::cmdRefreshHtml}},
    {kUpdateButtonCaption,
     ToolIcon::Update,
     {MainWindow::cmdUpdateAll, MainWindow::cmdUpdateHtml, MainWindow::cmdUpdateMet,
      MainWindow::cmdUpdateBot, MainWindow::cmdUpdateDns}},
    {kVerifyButtonCaption,
     ToolIcon::Verify,
     {MainWindow::cmdVerifyChecked, MainWindow::cmdVerifyAll}},
    {kSaveButtonCaption,
     ToolIcon::Save,
     {MainWindow::cmdSaveStandard, MainWindow::cmdSaveMet, MainWindow::cmdSaveBot,
      MainWindow::cmdSaveTxt, MainWindow::cmdSaveHtml, MainWindow::cmdSaveTemplate,
      MainWindow::cmdSaveRunning}},
    {kScriptButtonCaption,
     ToolIcon::Script,
     {MainWindow::cmdOpenScript, MainWindow::cmdRecentScripts, MainWindow::cmdScriptEditor}},
}};

// "1 server", "2 servers".
std::string servers(size_t count) {
  return runtime::fillIn(P_("%s server", "%s servers", count), {std::to_string(count)});
}

}  // namespace

// ---- GuiScriptHost

runtime::ProgressBar& GuiScriptHost::loadSaveBar() {
  return window_.loadSaveBar();
}

update::UpdateOutcome GuiScriptHost::update(update::UpdateKind kind) {
  return window_.updateServers(kind);
}

verify::VerifyOutcome GuiScriptHost::verify(bool all) {
  return window_.verifyServers(all);
}

bool GuiScriptHost::closeCountdown() {
  return window_.runCloseCountdown();
}

void GuiScriptHost::hideWindows() {
  window_.hideForScript();
}

void GuiScriptHost::restoreWindows() {
  window_.restoreAfterScript();
}

void GuiScriptHost::saveRunningEDonkey() {
  window_.saveToRunningClient();
}

void GuiScriptHost::sendToEDonkeyConsole(const std::string& text) {
  // No window of its own: the outcome goes to the log, and a script asks nothing.
  client::sendToClientConsole(text, window_.context());
}

void GuiScriptHost::startEDonkey() {
  client::startEDonkey(window_.context());
}

void GuiScriptHost::startFile(const std::string& path) {
  client::startFile(path, window_.context());
}

// ---- MainWindow

MainWindow::MainWindow(ServerList& list, app::AppSession& session, QtUiThread& ui)
    : list_(list),
      session_(session),
      ctx_(session.context()),
      ui_(ui),
      transferTime_(session.places().transferFile) {
  setWindowTitle(QStringLiteral("Ravelin " RAVELIN_VERSION));
  resize(kMainWindowWidth, kMainWindowHeight);

  model_ = std::make_unique<ServerListModel>(list_);
  view_ = new ServerListView(*model_, this);
  setCentralWidget(view_);

  for (int c = 0; c < kCommandCount; ++c) {
    actions_[static_cast<size_t>(c)] =
        new QAction(uiText(kCommandCaptions[static_cast<size_t>(c)]), this);
  }
  recentMenu_ = new QMenu(this);
  actions_[cmdRecentScripts]->setMenu(recentMenu_);

  // The menus first: they give the actions their keys, which the drop-downs measure.
  buildMenus();
  buildToolBar();
  buildStatusBar();
  // Wide enough for the toolbar's captions, which a translation may make longer.
  resize(std::max(kMainWindowWidth, toolBar_->sizeHint().width()), kMainWindowHeight);
  connectCommands();

  filter_ = new FilterWindow(list_, ctx_, this);
  editor_ = new ServerEditorDialog(list_, ctx_, this);
  countdown_ = new CountdownDialog(this);
  update_ = new UpdateWindow(this);
  verify_ = new VerifyWindow(this);
  warning_ = new VerifyWarningWindow(this);
  transfer_ = new TransferWindow(bar_, this);
  const auto lock = [this](bool enabled) { lockInput(!enabled); };
  update_->onMainWindowEnabled = lock;
  verify_->onMainWindowEnabled = lock;
  transfer_->onMainWindowEnabled = lock;
  options_ = new OptionsDialog(session_, this);
  about_ = new AboutBox(builtAboutFacts(), this);
  scriptEditor_ = new ScriptEditorWindow(ctx_, this);
  scriptEditor_->onRunScript = [this] { runEditorScript(); };
  app::HistoryList& history = session_.history();
  history.onChange = [this] { fillRecentScripts(); };
  // A recent script always runs; one whose file has gone is passed over without a word.
  history.onChosen = [this](const std::string& path) { runScript(path); };
  fillRecentScripts();
  versionCheck_ = new VersionCheckWindow(this);
  dialogs_ = std::make_unique<FileDialogs>(this, ctx_.settings);

  model_->onStatusChanged = [this] { updateStatus(); };
  view_->onDeleteKey = [this] { runPopupItem(piDeleteServer); };
  view_->onDoubleClick = [this] { runPopupItem(piEditServer); };
  view_->onToggleChecks = [this] {
    const std::vector<size_t> rows = view_->selectedRows();
    if (!rows.empty()) setChecked(list_, rows, !list_[rows.front()].checked);
  };
  view_->onPopupMenu = [this](const QPoint& at) {
    std::unique_ptr<QMenu> menu = makePopupMenu();
    menu->exec(at);
  };
  updateStatus();
  restoreWindowState();
}

MainWindow::~MainWindow() {
  session_.history().onChange = nullptr;
  session_.history().onChosen = nullptr;
  // The view goes before the model it shows.
  delete view_;
  view_ = nullptr;
}

void MainWindow::buildToolBar() {
  toolBar_ = addToolBar(QStringLiteral("Commands"));
  toolBar_->setMovable(false);
  toolBar_->setFloatable(false);
  toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
  toolBar_->setIconSize(QSize(kToolIconSize, kToolIconSize));
  toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  for (int b = 0; b < kToolButtonCount; ++b) {
    const ToolButtonLayout& layout = kButtons[static_cast<size_t>(b)];
    if (b > 0) toolBar_->addSeparator();
    auto* button = new QToolButton(toolBar_);
    button->setText(uiText(layout.caption));
    button->setIcon(toolIcon(layout.icon));
    button->setIconSize(QSize(kToolIconSize, kToolIconSize));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    button->setAutoRaise(true);
    button->setMinimumSize(kToolButtonWidth, kToolButtonHeight);
    // A stray Space must not start a command: the keyboard stays with the list.
    button->setFocusPolicy(Qt::NoFocus);
    auto* menu = new QMenu(button);
    for (Command c : layout.items) menu->addAction(actions_[c]);
    const Command first = *layout.items.begin();
    menu->setDefaultAction(actions_[first]);
    // The style draws the default item bold, but the menu measures it in the plain font:
    // the bold text's extra width keeps it from being cut off.
    QFont bold = menu->font();
    bold.setBold(true);
    // (Its key too, where it has one.)
    int extra = 0;
    for (const QString& text : {actions_[first]->text().remove(QLatin1Char('&')),
                                actions_[first]->shortcut().toString(QKeySequence::NativeText)})
      extra +=
          QFontMetrics(bold).horizontalAdvance(text) - menu->fontMetrics().horizontalAdvance(text);
    menu->setMinimumWidth(menu->sizeHint().width() + extra);
    button->setMenu(menu);
    connect(button, &QToolButton::clicked, this, [this, first] { actions_[first]->trigger(); });
    // A button whose own command is not available is not available as a whole.
    button->setEnabled(actions_[first]->isEnabled());
    toolBar_->addWidget(button);
    buttons_[static_cast<size_t>(b)] = button;
  }
}

void MainWindow::buildMenus() {
  // The keys of the commands used most; the window holds the actions, so that the keys
  // work wherever their menus are.
  const std::pair<Command, QKeySequence> keys[] = {
      {cmdRefreshStandard, QKeySequence(Qt::Key_F5)},
      {cmdUpdateAll, QKeySequence(Qt::CTRL | Qt::Key_U)},
      {cmdSaveStandard, QKeySequence(Qt::CTRL | Qt::Key_S)},
      {cmdExit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
      {cmdCopy, QKeySequence(Qt::CTRL | Qt::Key_C)},
      {cmdPaste, QKeySequence(Qt::CTRL | Qt::Key_V)},
  };
  for (const auto& [command, key] : keys) {
    actions_[command]->setShortcut(key);
    addAction(actions_[command]);
  }

  QMenu* file = menuBar()->addMenu(uiText(kFileMenuCaption));
  file->addAction(actions_[cmdRefreshStandard]);
  file->addAction(actions_[cmdSaveStandard]);
  file->addSeparator();
  file->addAction(actions_[cmdOptions]);
  file->addSeparator();
  file->addAction(actions_[cmdExit]);
  QMenu* edit = menuBar()->addMenu(uiText(kEditMenuCaption));
  edit->addAction(actions_[cmdCopy]);
  edit->addAction(actions_[cmdPaste]);
  QMenu* help = menuBar()->addMenu(uiText(kHelpMenuCaption));
  help->addAction(actions_[cmdCheckForUpdates]);
  help->addSeparator();
  help->addAction(actions_[cmdAbout]);
}

void MainWindow::buildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setSizeGripEnabled(true);
  status_ = new QLabel(bar);
  status_->setFixedWidth(kStatusPanelWidths[0]);
  bar->addWidget(status_);
  // The load/save bar is the second panel while it is visible; hidden, it leaves its room
  // to the last panel, whose texts are too long for the rest of a window of the default
  // width.
  progress_ = new QProgressBar(bar);
  progress_->setFixedWidth(kStatusPanelWidths[1]);
  progress_->setTextVisible(false);
  progress_->setRange(0, 100);
  progress_->setVisible(false);
  bar->addWidget(progress_);
  message_ = new QLabel(bar);
  // The last panel takes the rest of the bar: what the last command did.
  message_->setMinimumWidth(kStatusPanelWidths[2]);
  bar->addWidget(message_, 1);
  bar_.attach(progress_);
}

void MainWindow::connectCommands() {
  const auto on = [this](Command c, std::function<void()> fn) {
    connect(actions_[c], &QAction::triggered, this, [fn = std::move(fn)] { fn(); });
  };
  on(cmdRefreshStandard, [this] { refreshStandard(); });
  on(cmdRefreshMet, [this] { refreshFile(OpenDialogKind::Met); });
  on(cmdRefreshBot, [this] { refreshFile(OpenDialogKind::Bot); });
  on(cmdRefreshHtml, [this] { refreshFile(OpenDialogKind::Html); });
  on(cmdSaveStandard, [this] { saveStandard(); });
  on(cmdSaveMet, [this] { saveFile(SaveDialogKind::Met); });
  on(cmdSaveBot, [this] { saveFile(SaveDialogKind::Bot); });
  on(cmdSaveTxt, [this] { saveFile(SaveDialogKind::Txt); });
  on(cmdSaveHtml, [this] { saveFile(SaveDialogKind::Html); });
  on(cmdSaveTemplate, [this] { saveTemplate(); });
  const auto update = [this, &on](Command c, update::UpdateKind kind) {
    on(c, [this, kind] {
      runCommand([this, kind] {
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
    });
  };
  update(cmdUpdateAll, update::UpdateKind::All);
  update(cmdUpdateHtml, update::UpdateKind::HTML);
  update(cmdUpdateMet, update::UpdateKind::MET);
  update(cmdUpdateBot, update::UpdateKind::BOT);
  update(cmdUpdateDns, update::UpdateKind::DNS);
  const auto verify = [this, &on](Command c, bool all) {
    on(c, [this, all] {
      runCommand([this, all] {
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
    });
  };
  verify(cmdVerifyChecked, false);
  verify(cmdVerifyAll, true);
  on(cmdSaveRunning, [this] {
    runCommand([this] {
      if (app::haveServersToSave(list_, ctx_)) saveToRunningClient();
    });
  });
  on(cmdOpenScript, [this] { openScript(); });
  on(cmdScriptEditor, [this] { scriptEditor_->open(); });
  on(cmdExit, [this] { close(); });
  on(cmdOptions, [this] { runCommand([this] { options_->run(); }); });
  on(cmdAbout, [this] { about_->exec(); });
  on(cmdCopy, [this] { copyServerLinks(); });
  on(cmdPaste, [this] { runCommand([this] { pasteServerLinks(); }); });
  on(cmdCheckForUpdates, [this] { checkForUpdates(); });
}

void MainWindow::updateStatus() {
  status_->setText(fieldText(list_.statusText()));
}

std::unique_ptr<QMenu> MainWindow::makePopupMenu() {
  auto menu = std::make_unique<QMenu>(this);
  const std::array<bool, kPopupItemCount> enabled = popupItemsEnabled(list_);
  for (int i = 0; i < kPopupItemCount; ++i) {
    QAction* item = menu->addAction(uiText(kPopupItemCaptions[static_cast<size_t>(i)]));
    item->setEnabled(enabled[static_cast<size_t>(i)]);
    const auto which = static_cast<PopupItem>(i);
    connect(item, &QAction::triggered, this, [this, which] { runPopupItem(which); });
    if (i == kPopupDefaultItem) menu->setDefaultAction(item);
  }
  return menu;
}

void MainWindow::runPopupItem(PopupItem item) {
  switch (item) {
    case piEditServer:
      if (list_.selected()) editor_->runEdit();
      break;
    case piDeleteServer: {
      const std::vector<size_t> rows = view_->selectedRows();
      if (deleteServers(list_, rows, ctx_))
        showMessage(runtime::fillIn(_("Deleted %s"), {servers(rows.size())}));
      break;
    }
    case piCheckSelected:
    case piUncheckSelected:
      setChecked(list_, view_->selectedRows(), item == piCheckSelected);
      break;
    case piAddServer:
      editor_->runAdd();
      break;
    case piCheckAll:
      checkAllServers(list_, ctx_);
      break;
    case piUncheckAll:
      uncheckAllServers(list_, ctx_);
      break;
    case piInvert:
      invertSelection(list_, ctx_);
      break;
    case piFilter:
      filter_->open();
      break;
    case piClearList:
      clearServerList(list_, ctx_);
      break;
  }
  view_->showListSelection();
}

void MainWindow::lockInput(bool lock) {
  inputLocks_ += lock ? 1 : -1;
  const bool enabled = inputLocks_ == 0;
  centralWidget()->setEnabled(enabled);
  toolBar_->setEnabled(enabled);
  menuBar()->setEnabled(enabled);
  // Disabling the list took the keyboard focus from it, and the toolbar's buttons take none:
  // the keys (Delete, Space, Enter, the arrows) work on the list again at once.
  if (enabled) view_->setFocus(Qt::OtherFocusReason);
}

void MainWindow::runCommand(const std::function<void()>& command) {
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
  if (failure) showStandardError(*failure);
  if (closeRequested_ && commandDepth_ == 0) close();
}

void MainWindow::showStandardError(const std::string& text) {
  if (ctx_.prompter) {
    ctx_.prompter->message(N_("Ravelin"), text, runtime::MsgIcon::Error, runtime::MsgButtons::Ok);
  }
}

void MainWindow::showMessage(const std::string& text) {
  message_->setText(fieldText(text));
  message_->setToolTip(message_->text());
}

void MainWindow::readIntoList(const std::function<std::optional<ListSource>()>& read) {
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

void MainWindow::saveThen(const std::string& path, const std::function<SaveResult()>& save) {
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

void MainWindow::refreshStandard() {
  runCommand([this] {
    OverrideCursor wait(Qt::WaitCursor);
    readIntoList([this]() -> std::optional<ListSource> {
      std::optional<std::string> chosen;
      const app::RefreshResult result = app::refreshStandardServerMet(
          list_, bar_, ctx_,
          [this, &chosen] { return chosen = dialogs_->open(OpenDialogKind::Met); });
      if (result == app::RefreshResult::NoFile) return std::nullopt;
      return ListSource{chosen.value_or(runtime::clientFile(ctx_.settings.EDPath, "server.met")),
                        result == app::RefreshResult::Damaged};
    });
  });
}

void MainWindow::refreshFile(OpenDialogKind kind) {
  runCommand([this, kind] {
    OverrideCursor wait(Qt::WaitCursor);
    const std::optional<std::string> path = dialogs_->open(kind);
    if (!path) return;
    readIntoList([&]() -> std::optional<ListSource> {
      bool read = true;
      switch (kind) {
        case OpenDialogKind::Met:
          read = readServersFromMet(list_, *path, bar_, ctx_).gaveList();
          break;
        case OpenDialogKind::Bot:
          read = readServersFromBOT(list_, *path, bar_, ctx_);
          break;
        case OpenDialogKind::Html:
          readServersFromHTML(list_, *path, ctx_);
          break;
        case OpenDialogKind::Script:
        case OpenDialogKind::Template:
          break;
      }
      return ListSource{*path, !read};
    });
  });
}

void MainWindow::saveStandard() {
  runCommand([this] {
    saveThen(runtime::clientFile(ctx_.settings.EDPath, "server.met"),
             [this] { return client::saveClientServerMet(list_, bar_, ctx_).result; });
  });
}

void MainWindow::saveFile(SaveDialogKind kind) {
  runCommand([this, kind] {
    if (!app::haveServersToSave(list_, ctx_)) return;
    const std::optional<FileDialogs::SaveChoice> choice = dialogs_->save(kind);
    if (!choice) return;
    const std::string& path = choice->path;
    // Past the check above, a writer that did not save failed.
    saveThen(path, [&] {
      bool saved = false;
      switch (kind) {
        case SaveDialogKind::Met:
          saved = writeServersToMet(list_, path, bar_, ctx_);
          break;
        case SaveDialogKind::Bot:
          saved = writeServersToBOT(list_, path, bar_, ctx_);
          break;
        case SaveDialogKind::Txt:
          saved = writeServersToTXT(list_, path, bar_, ctx_);
          break;
        case SaveDialogKind::Html:
          saved = writeServersToHTML(list_, path, bar_, ctx_);
          break;
        case SaveDialogKind::Template:
          break;
      }
      return saved ? SaveResult::Saved : SaveResult::Failed;
    });
  });
}

void MainWindow::saveTemplate() {
  runCommand([this] {
    if (!app::haveServersToSave(list_, ctx_)) return;
    const std::optional<std::string> templateFile = dialogs_->open(OpenDialogKind::Template);
    if (!templateFile) return;
    const std::optional<FileDialogs::SaveChoice> output = dialogs_->save(SaveDialogKind::Template);
    if (!output) return;
    const std::string& path = output->path;
    saveThen(path, [&] {
      return writeServersToTemplate(list_, *templateFile, path, bar_, ctx_) ? SaveResult::Saved
                                                                            : SaveResult::Failed;
    });
  });
}

void MainWindow::copyServerLinks() {
  const std::vector<size_t> rows = view_->selectedRows();
  if (rows.empty()) return;
  QGuiApplication::clipboard()->setText(QString::fromStdString(serverLinkLines(list_, rows)));
  showMessage(runtime::fillIn(P_("Copied %s server link", "Copied %s server links", rows.size()),
                              {std::to_string(rows.size())}));
}

void MainWindow::pasteServerLinks() {
  const std::string text = QGuiApplication::clipboard()->text().toStdString();
  readIntoList([&]() -> std::optional<ListSource> {
    readServersFromLinks(list_, text, app::kClipboardSource, ctx_);
    return ListSource{_("the clipboard")};
  });
}

void MainWindow::checkForUpdates() {
  runCommand([this] {
    app::VersionCheck check(ctx_, *versionCheck_);
    if (openUrl) check.openUrl = openUrl;
    check.run();
  });
}

void MainWindow::offerScriptAssociation() {
  if (!associationPlaces_ || closeRequested_ || !isVisible()) return;
  runCommand(
      [this] { app::offerScriptAssociation(ctx_, session_.iniPath(), *associationPlaces_); });
}

void MainWindow::openScript() {
  const std::optional<std::string> path = dialogs_->open(OpenDialogKind::Script);
  if (path) runScript(*path);
}

bool MainWindow::runScript(const std::string& path) {
  script::ScriptRun run;
  bool checked = true;
  runCommand([&] {
    checked = app::runScriptFile(path, session_.history(), list_, host_, ctx_, run) !=
              app::ScriptFileOutcome::SyntaxError;
  });
  if (run.closed)
    close();
  else if (isVisible())  // not when a close during the run has ended the program
    reportScriptFailures(run);
  return checked && !run.closed;
}

update::UpdateOutcome MainWindow::updateServers(update::UpdateKind kind) {
  return update::runUpdate(list_, ctx_, *update_, kind, bar_);
}

verify::VerifyOutcome MainWindow::verifyServers(bool all) {
  return verify::runVerify(list_, ctx_, *verify_, all, warning_,
                           [this] { session_.saveVrfWarning(); });
}

void MainWindow::saveToRunningClient() {
  const auto bridge = client::makeClientBridge(ctx_.settings);
  client::sendToRunningClient(list_, ctx_, *transfer_, transferTime_, *bridge);
}

void MainWindow::runEditorScript() {
  script::ScriptRun run;
  runCommand([&] {
    app::runEditorScript(scriptEditor_->document(), session_.history(), list_, host_, ctx_, run);
  });
  if (run.closed)
    close();
  else if (isVisible())
    reportScriptFailures(run);
}

void MainWindow::reportScriptFailures(const script::ScriptRun& run) {
  if (run.failures.empty()) {
    message_->clear();
    return;
  }
  const std::string summary = script::failureSummary(run);
  // The status bar keeps the first line (without its colon) until the next script ends.
  const std::string first = summary.substr(0, summary.find(':'));
  showMessage(first);
  message_->setToolTip(fieldText(summary));
  if (ctx_.prompter)
    ctx_.prompter->message(N_("Ravelin"), summary, runtime::MsgIcon::Exclamation,
                           runtime::MsgButtons::Ok);
}

void MainWindow::fillRecentScripts() {
  // The list changes while a click on one of these items is still being delivered (the
  // script it runs goes on top), so the old items go once that delivery is over.
  for (QAction* old : recentMenu_->actions()) {
    recentMenu_->removeAction(old);
    old->deleteLater();
  }
  for (const std::string& caption : session_.history().menuCaptions()) {
    QAction* item = recentMenu_->addAction(fieldText(caption));
    connect(item, &QAction::triggered, this,
            [this, caption] { session_.history().choose(caption); });
  }
}

bool MainWindow::runCloseCountdown() {
  return countdown_->run(ctx_);
}

void MainWindow::hideForScript() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible() && w != countdown_) {
      hiddenWindows_.emplace_back(w);
      w->hide();
    }
  }
}

void MainWindow::restoreAfterScript() {
  for (const QPointer<QWidget>& w : hiddenWindows_) {
    if (w) w->show();
  }
  hiddenWindows_.clear();
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (ctx_.state.firstActivationDone) return;
  ctx_.state.firstActivationDone = true;
  // The script of the command line runs once the window is on screen, or opens in the
  // script editor, as ScrExecOrEdit says; then comes the question about script files,
  // unless the script closed the program or failed its syntax check.
  QTimer::singleShot(0, this, [this] {
    if (startupScript_ && !ctx_.settings.ScrExecOrEdit)
      scriptEditor_->openFile(*startupScript_);
    else if (startupScript_ && !runScript(*startupScript_))
      return;
    offerScriptAssociation();
  });
}

void MainWindow::takeHandedScript(const std::string& path) {
  if (!ctx_.state.hiddenByScript) {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
  }
  if (path.empty()) return;
  if (!ctx_.settings.ScrExecOrEdit || commandRunning() || ctx_.state.scriptRunning)
    scriptEditor_->openFile(path);
  else
    runScript(path);
}

bool MainWindow::mayCloseChangedList() {
  // A close that a script asked for (CloseUtils) asks nothing; a close that came while a
  // command ran asks once the command has ended, since the list may have changed before or
  // during it. A list without a checked server has nothing server.met could take.
  if (ctx_.state.closeConfirmed || !list_.changedSinceSaved() || list_.checkedCount() == 0 ||
      !ctx_.prompter)
    return true;
  switch (ctx_.prompter->message(N_("Ravelin"), app::kSaveChangedListQuestion,
                                 runtime::MsgIcon::Question, runtime::MsgButtons::YesNoCancel)) {
    case runtime::MsgResult::Yes:
      return bool(client::saveClientServerMet(list_, bar_, ctx_));
    case runtime::MsgResult::No:
      return true;
    default:
      return false;
  }
}

void MainWindow::restoreWindowState() {
  const app::WindowState state = app::loadWindowState(session_.iniPath());
  if (state.geometry) {
    QRect place(state.geometry->left, state.geometry->top, state.geometry->width,
                state.geometry->height);
    // A place on a screen that is no longer there keeps only its size. A size kept on a
    // larger screen, or at a smaller scale, would put the status bar out of reach: the
    // window is fitted to what the screen offers.
    // The window manager's title bar is not known before the window is shown; the style's
    // title bar height stands in for it.
    QScreen* screen = QGuiApplication::screenAt(place.center());
    const QScreen* fitTo = screen ? screen : QGuiApplication::primaryScreen();
    if (fitTo) {
      const QRect available = fitTo->availableGeometry().adjusted(
          0, style()->pixelMetric(QStyle::PM_TitleBarHeight), 0, 0);
      place.setSize(place.size().boundedTo(available.size()));
      place.moveLeft(
          std::clamp(place.left(), available.left(), available.right() - place.width() + 1));
      place.moveTop(
          std::clamp(place.top(), available.top(), available.bottom() - place.height() + 1));
    }
    if (screen)
      setGeometry(place);
    else
      resize(place.size());
  }
  if (state.maximized) setWindowState(windowState() | Qt::WindowMaximized);
  for (size_t c = 0; c < state.columnWidths.size(); ++c)
    view_->setColumnWidth(static_cast<int>(c), state.columnWidths[c]);
  if (state.sortColumn) {
    list_.sortColumn = *state.sortColumn;
    list_.sortDescending = state.sortDescending;
    list_.sortKept = true;
    sortServers(list_);
    view_->showSortIndicator();
  }
}

void MainWindow::storeWindowState() {
  app::WindowState state;
  const QRect place = normalGeometry();
  state.geometry = app::WindowState::Geometry{place.x(), place.y(), place.width(), place.height()};
  state.maximized = isMaximized();
  for (int c = 0; c < model_->columnCount(); ++c)
    state.columnWidths.push_back(view_->columnWidth(c));
  if (list_.sortKept) {
    state.sortColumn = list_.sortColumn;
    state.sortDescending = list_.sortDescending;
  }
  try {
    app::ensureIniDirectory(session_.iniPath());
    app::storeWindowState(state, session_.iniPath());
  } catch (const std::exception&) {
    // The window's place is a convenience: a file that cannot take it stops no close.
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (commandDepth_ > 0) {
    // A command is still running (a script waiting, say): it ends at its next wait, a
    // running update, verification, hand-over or version check is cancelled and waits for
    // its workers, and the close comes back once the command has ended.
    closeRequested_ = true;
    ui_.setTerminating();
    update_->cancel();
    verify_->cancel();
    transfer_->cancel();
    versionCheck_->cancel();
    event->ignore();
    return;
  }
  // Unsaved changes in the script editor and in the list are not lost without a question.
  // Both questions come before anything closes: a refused close leaves the program as it
  // was before the close began, the editor open with its text.
  const bool editorOpen = scriptEditor_->isVisible();
  if ((editorOpen && !scriptEditor_->mayClose()) || !mayCloseChangedList()) {
    closeRequested_ = false;
    ui_.setTerminating(false);
    event->ignore();
    return;
  }
  if (editorOpen) scriptEditor_->closeAsked();
  storeWindowState();
  session_.close();
  ui_.setTerminating();
  filter_->hide();
  event->accept();
  QCoreApplication::quit();
}

}  // namespace ravelin::gui

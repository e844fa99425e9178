#include "win/main_window.h"

#include <commctrl.h>

#include <array>
#include <stdexcept>

#include "platform/wide_text.h"
#include "runtime/translate.h"
#include "serverlist/list_commands.h"
#include "win/about_box.h"
#include "win/clipboard.h"
#include "win/countdown_window.h"
#include "win/options_dialog.h"
#include "win/server_editor_dialog.h"
#include "win/single_instance.h"
#include "win/ui_text.h"
#include "win/window_place.h"

namespace ravelin::win {

using desk::Command;

namespace {

// A menu item's text: the caption and, after a tab, its key.
std::wstring itemText(Command command) {
  std::wstring text = uiText(desk::commandCaption(command));
  for (const desk::Shortcut& key : desk::commandShortcuts()) {
    if (key.command != command) continue;
    text += key.functionKey ? L"\tF" + std::to_wstring(key.functionKey)
                            : std::wstring(L"\tCtrl+") + static_cast<wchar_t>(key.ctrlLetter);
  }
  return text;
}

// The pictures of the toolbar's buttons, left to right, from the system's standard set.
constexpr std::array<int, desk::kToolButtonCount> kButtonPictures = {
    STD_FILEOPEN, STD_REDOW, STD_FIND, STD_FILESAVE, STD_PROPERTIES};

AcceleratorHandle makeAccelerators() {
  std::vector<ACCEL> keys;
  for (const desk::Shortcut& key : desk::commandShortcuts()) {
    const auto id = static_cast<WORD>(MainWindow::kCommandId + key.command);
    if (key.functionKey)
      keys.push_back({FVIRTKEY, static_cast<WORD>(VK_F1 + key.functionKey - 1), id});
    else
      keys.push_back({FVIRTKEY | FCONTROL, static_cast<WORD>(key.ctrlLetter), id});
  }
  keys.push_back({FVIRTKEY | FCONTROL, 'A', MainWindow::kSelectAllId});
  return AcceleratorHandle(CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size())));
}

}  // namespace

MainWindow::MainWindow(serverlist::ServerList& list, app::AppSession& session, WinUiThread& ui,
                       desk::FileChooser* files)
    : list_(list), session_(session), ctx_(session.context()), ui_(ui), frame_(list) {
  if (!files) {
    systemFiles_ = std::make_unique<SystemFileChooser>(frame_.window(), ctx_.settings);
    files = systemFiles_.get();
  }
  editor_ = std::make_unique<ScriptEditorWindow>(ctx_, frame_.window());
  editor_->onRunScript = [this] { presenter_->runEditorScript(); };
  ServerListView& view = frame_.listView();
  presenter_ = std::make_unique<desk::MainPresenter>(
      list_, session, desk::MainPresenter::Views{*this, view, *files, *this}, frame_.statusBar());
  buildMenus();
  buildToolBar();
  keys_ = makeAccelerators();
  view.onStatusChanged = [this] { presenter_->listStatusChanged(); };
  view.onDeleteKey = [this] { presenter_->runPopupItem(serverlist::piDeleteServer); };
  view.onToggleChecks = [this] { presenter_->toggleChecks(); };
  view.onActivate = [this] { presenter_->runPopupItem(serverlist::piEditServer); };
  view.onPopupMenu = [this](POINT at) { showPopupMenu(at); };
  frame_.onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam) {
    return handle(message, wParam, lParam);
  };
  frame_.onCloseRequest = [this] {
    return presenter_->closeDecision() == desk::CloseDecision::Close;
  };
  presenter_->listStatusChanged();
  presenter_->restoreWindowState();
}

MainWindow::~MainWindow() {
  frame_.onMessage = nullptr;
  presenter_.reset();
  editor_.reset();
}

void MainWindow::show() {
  ShowWindow(window(), maximized_ ? SW_SHOWMAXIMIZED : SW_SHOW);
  ::UpdateWindow(window());
}

bool MainWindow::translateKey(MSG& msg) {
  const HWND dialog = GetAncestor(msg.hwnd, GA_ROOT);
  if (dialog != window() && isProgramDialog(dialog)) return IsDialogMessageW(dialog, &msg) != 0;
  if (dialog == editor_->window()) return inputEnabled_ && editor_->translateKey(msg);
  if (!inputEnabled_ || !keys_ || !window()) return false;
  if (msg.hwnd != window() && !IsChild(window(), msg.hwnd)) return false;
  return TranslateAcceleratorW(window(), keys_.get(), &msg) != 0;
}

std::optional<LRESULT> MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (header.code != TBN_DROPDOWN) return std::nullopt;
      dropDown(reinterpret_cast<const NMTOOLBARW&>(header).iItem);
      return TBDDRET_DEFAULT;
    }
    case WM_COMMAND:
      command(LOWORD(wParam));
      return 0;
    case WM_SETCURSOR:
      if (!busy_) return std::nullopt;
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      return TRUE;
    case WM_COPYDATA: {
      // A later start's script, taken at once so that it can end; run or opened after.
      std::optional<std::string> script = Instance::handedScript(lParam);
      if (!script) return FALSE;
      ui_.post([this, path = std::move(*script)] {
        presenter_->takeHandedScript(desk::handedRequest(path));
      });
      return TRUE;
    }
    case WM_SHOWWINDOW:
      // The start-up script runs once the window is on screen.
      if (wParam && presenter_->shown()) ui_.post([this] { presenter_->startUp(); });
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

void MainWindow::command(int id) {
  if (!inputEnabled_) return;
  if (id == kSelectAllId) {
    frame_.listView().selectAll();
  } else if (id >= kCommandId && id < kCommandId + desk::kCommandCount) {
    const auto which = static_cast<Command>(id - kCommandId);
    presenter_->run(which);
  } else if (id >= kPopupId && id < kPopupId + serverlist::kPopupItemCount) {
    presenter_->runPopupItem(static_cast<serverlist::PopupItem>(id - kPopupId));
  } else if (id >= kRecentId && static_cast<size_t>(id - kRecentId) < recentScripts_.size()) {
    // The choice runs a script that may change the list of recent scripts: a copy.
    const std::string caption = recentScripts_[static_cast<size_t>(id - kRecentId)];
    presenter_->chooseRecentScript(caption);
  }
}

MenuHandle MainWindow::commandMenu(const std::vector<std::optional<Command>>& items) const {
  MenuHandle menu(CreatePopupMenu());
  for (const std::optional<Command>& item : items) {
    if (!item) {
      AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
      continue;
    }
    if (*item == desk::cmdRecentScripts) {
      MenuHandle recent(CreatePopupMenu());
      for (size_t i = 0; i < recentScripts_.size(); ++i)
        AppendMenuW(recent.get(), MF_STRING, kRecentId + i,
                    platform::wideFromUtf8(recentScripts_[i]).c_str());
      AppendMenuW(menu.get(), MF_POPUP | (recentScripts_.empty() ? MF_GRAYED : MF_ENABLED),
                  reinterpret_cast<UINT_PTR>(recent.release()), itemText(*item).c_str());
      continue;
    }
    AppendMenuW(menu.get(), MF_STRING, static_cast<UINT_PTR>(kCommandId + *item),
                itemText(*item).c_str());
  }
  return menu;
}

void MainWindow::buildMenus() {
  HMENU bar = CreateMenu();
  for (const desk::Menu& menu : desk::mainMenus()) {
    MenuHandle items = commandMenu({menu.items.begin(), menu.items.end()});
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(items.release()),
                uiText(menu.caption).c_str());
  }
  // The window owns its menu bar from here on and destroys it with itself.
  SetMenu(window(), bar);
}

void MainWindow::buildToolBar() {
  std::vector<ToolBar::Button> buttons;
  for (int b = 0; b < desk::kToolButtonCount; ++b) {
    const desk::CommandGroup& group = desk::toolButtonGroup(static_cast<desk::ToolButton>(b));
    buttons.push_back({kCommandId + *group.commands.begin(),
                       kButtonPictures[static_cast<size_t>(b)], uiText(group.caption)});
  }
  frame_.addToolBar(buttons);
}

void MainWindow::dropDown(int buttonId) {
  for (int b = 0; b < desk::kToolButtonCount; ++b) {
    const desk::CommandGroup& group = desk::toolButtonGroup(static_cast<desk::ToolButton>(b));
    if (kCommandId + *group.commands.begin() != buttonId) continue;
    std::vector<std::optional<Command>> items(group.commands.begin(), group.commands.end());
    const MenuHandle menu = commandMenu(items);
    const RECT button = frame_.toolBar()->buttonRect(buttonId);
    TPMPARAMS keepClear{sizeof keepClear, button};
    const UINT chosen = TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_LEFTBUTTON | TPM_VERTICAL,
                                         button.left, button.bottom, window(), &keepClear);
    if (chosen) command(static_cast<int>(chosen));
  }
}

void MainWindow::showPopupMenu(POINT at) {
  MenuHandle menu(CreatePopupMenu());
  const std::array<bool, serverlist::kPopupItemCount> enabled =
      serverlist::popupItemsEnabled(list_);
  for (int i = 0; i < serverlist::kPopupItemCount; ++i) {
    AppendMenuW(menu.get(), MF_STRING | (enabled[static_cast<size_t>(i)] ? MF_ENABLED : MF_GRAYED),
                static_cast<UINT_PTR>(kPopupId + i),
                uiText(serverlist::kPopupItemCaptions[static_cast<size_t>(i)]).c_str());
  }
  SetMenuDefaultItem(menu.get(), kPopupId + serverlist::kPopupDefaultItem, FALSE);
  const UINT chosen =
      TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, window(), nullptr);
  if (chosen) command(static_cast<int>(chosen));
}

void MainWindow::showListStatus(const std::string& text) {
  frame_.statusBar().setText(StatusBar::kCounts, text);
}

void MainWindow::showMessage(const std::string& text, const std::string&) {
  frame_.statusBar().setText(StatusBar::kMessage, text);
}

void MainWindow::setInputEnabled(bool enabled) {
  inputEnabled_ = enabled;
  EnableWindow(frame_.listView().window(), enabled);
  if (frame_.toolBar()) EnableWindow(frame_.toolBar()->window(), enabled);
  HMENU bar = GetMenu(window());
  for (int i = 0, n = GetMenuItemCount(bar); i < n; ++i)
    EnableMenuItem(bar, static_cast<UINT>(i), MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
  DrawMenuBar(window());
  // The keys (Delete, Space, Enter, the arrows) work on the list again at once.
  if (enabled && GetForegroundWindow() == window()) SetFocus(frame_.listView().window());
}

void MainWindow::setBusy(bool busy) {
  busy_ = busy;
  SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

bool MainWindow::isShown() const {
  return IsWindowVisible(window()) != FALSE;
}

void MainWindow::requestClose() {
  PostMessageW(window(), WM_CLOSE, 0, 0);
}

void MainWindow::bringToFront() {
  if (IsIconic(window())) ShowWindow(window(), SW_RESTORE);
  SetForegroundWindow(window());
  SetFocus(frame_.listView().window());
}

void MainWindow::showRecentScripts(const std::vector<std::string>& captions) {
  recentScripts_ = captions;
}

void MainWindow::hideWindowsForScript() {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND shown, LPARAM self) {
        if (IsWindowVisible(shown)) {
          reinterpret_cast<MainWindow*>(self)->hiddenWindows_.push_back(shown);
          ShowWindow(shown, SW_HIDE);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(this));
}

void MainWindow::restoreWindowsAfterScript() {
  for (HWND hidden : hiddenWindows_)
    if (IsWindow(hidden)) ShowWindow(hidden, SW_SHOWNA);
  hiddenWindows_.clear();
}

desk::WindowPlace MainWindow::place() const {
  return normalPlace(window());
}

bool MainWindow::isMaximized() const {
  return IsZoomed(window()) || (maximized_ && !isShown());
}

void MainWindow::placeWindow(const desk::WindowPlace& place) {
  placeFitted(window(), place);
}

void MainWindow::maximize() {
  maximized_ = true;
  if (isShown()) ShowWindow(window(), SW_MAXIMIZE);
}

void MainWindow::editServer() {
  ServerEditorDialog(list_, ctx_).runEdit(window());
}
void MainWindow::addServer() {
  ServerEditorDialog(list_, ctx_).runAdd(window());
}
void MainWindow::openFilter() {
  if (!filter_) filter_ = std::make_unique<FilterWindow>(list_, ctx_, window());
  filter_->open();
}
void MainWindow::runOptions() {
  OptionsDialog(session_).run(window());
}
void MainWindow::showAbout() {
  AboutBox().run(window());
}
bool MainWindow::runCloseCountdown() {
  return CountdownWindow().run(window(), ctx_);
}
// The windows of the long commands are made at their first use and live with the main
// window; each run disables the main window's input through the presenter.
std::function<void(bool)> MainWindow::inputLock() {
  return [this](bool enabled) { presenter_->lockInput(!enabled); };
}
update::UpdateView& MainWindow::updateView() {
  if (!update_) {
    update_ = std::make_unique<UpdateWindow>(window());
    update_->onMainWindowEnabled = inputLock();
  }
  return *update_;
}
verify::VerifyView& MainWindow::verifyView() {
  if (!verify_) {
    verify_ = std::make_unique<VerifyWindow>(window());
    verify_->onMainWindowEnabled = inputLock();
  }
  return *verify_;
}
verify::VerifyWarningDialog* MainWindow::verifyWarning() {
  if (!warning_) warning_ = std::make_unique<VerifyWarningWindow>(window());
  return warning_.get();
}
client::TransferView& MainWindow::transferView() {
  if (!transfer_) {
    transfer_ = std::make_unique<TransferWindow>(frame_.statusBar(), window());
    transfer_->onMainWindowEnabled = inputLock();
  }
  return *transfer_;
}
app::VersionCheckView& MainWindow::versionCheckView() {
  if (!versionCheck_) versionCheck_ = std::make_unique<VersionCheckWindow>(window());
  return *versionCheck_;
}

void MainWindow::cancelLongCommands() {
  // Each run ends at its next look at its cancel flag and closes its window itself.
  if (update_) update_->cancel();
  if (verify_) verify_->cancel();
  if (transfer_) transfer_->cancel();
  if (versionCheck_) versionCheck_->cancel();
}

std::string MainWindow::text() const {
  return clipboardText(window()).value_or("");
}

void MainWindow::setText(const std::string& text) {
  if (!setClipboardText(window(), text))
    throw std::runtime_error(_("The clipboard cannot be written: another program holds it."));
}

}  // namespace ravelin::win

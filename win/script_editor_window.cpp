#include "win/script_editor_window.h"

#include <commctrl.h>

#include <stdexcept>

#include "desk/dialog_texts.h"
#include "runtime/app_context.h"
#include "runtime/silent_abort.h"
#include "runtime/translate.h"
#include "win/dpi.h"
#include "win/insert_command_dialog.h"
#include "win/script_printing.h"
#include "win/status_bar.h"
#include "win/ui_text.h"
#include "win/window_metrics.h"
#include "win/window_place.h"

namespace ravelin::win {

using desk::ScriptEditorItem;

namespace {

const desk::FileDialogText kOpenDialog{
    desk::kScriptOpenTitle,
    {desk::kScriptFileFilters[0], desk::kScriptFileFilters[1], desk::kScriptFileFilters[2]}};
const desk::FileDialogText kSaveDialog{
    desk::kScriptSaveTitle,
    {desk::kScriptFileFilters[0], desk::kScriptFileFilters[1], desk::kScriptFileFilters[2]}};

}  // namespace

ScriptEditorWindow::ScriptEditorWindow(runtime::AppContext& ctx, HWND mainWindow)
    : ctx_(ctx), mainWindow_(mainWindow), systemFiles_(mainWindow, ctx.settings) {
  static const WindowClass windowClass(L"RavelinScriptEditor", windowProc);
  window_ =
      CreateWindowExW(WS_EX_TOPMOST, windowClass.name(), uiText(desk::kScriptEditorCaption).c_str(),
                      WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, kScriptEditorWidth,
                      kScriptEditorHeight, mainWindow, nullptr, programInstance(), this);
  if (!window_) throw std::runtime_error(_("The script editor cannot be created."));
  dpi_ = windowDpi(window_);
  text_ = std::make_unique<ScriptTextBox>(window_, kTextId);
  status_ = CreateWindowExW(
      0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, window_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)), programInstance(), nullptr);
  insertDialog_ = std::make_unique<InsertCommandDialog>();
  buildMenus();
  SetWindowPos(window_, nullptr, 0, 0, scaled(kScriptEditorWidth, dpi_),
               scaled(kScriptEditorHeight, dpi_), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  applyDpi();
  chooseFile = [this](bool save) {
    return save ? systemFiles_.save(kSaveDialog) : systemFiles_.open(kOpenDialog, lastOpened_);
  };
}

ScriptEditorWindow::~ScriptEditorWindow() {
  if (window_) DestroyWindow(window_);
}

void ScriptEditorWindow::buildMenus() {
  HMENU bar = CreateMenu();
  std::vector<ACCEL> keys;
  for (const desk::ScriptEditorMenu& menu : desk::kScriptEditorMenus) {
    MenuHandle items(CreatePopupMenu());
    for (int i = menu.first; i <= menu.last; ++i) {
      const desk::ScriptEditorMenuItem& item = desk::kScriptEditorItems[static_cast<size_t>(i)];
      std::wstring shown = uiText(item.caption);
      if (item.ctrlLetter)
        shown += std::wstring(L"\tCtrl+") + static_cast<wchar_t>(item.ctrlLetter);
      AppendMenuW(items.get(), MF_STRING, static_cast<UINT_PTR>(kItemId + i), shown.c_str());
      if (item.separatorAfter && i < menu.last) AppendMenuW(items.get(), MF_SEPARATOR, 0, nullptr);
      // The text control takes its own editing keys; the script's keys are the window's.
      if (item.ctrlLetter && i >= desk::seInsertCommand)
        keys.push_back({FVIRTKEY | FCONTROL, static_cast<WORD>(item.ctrlLetter),
                        static_cast<WORD>(kItemId + i)});
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(items.release()),
                uiText(menu.caption).c_str());
  }
  SetMenu(window_, bar);
  keys_ = AcceleratorHandle(CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size())));
}

bool ScriptEditorWindow::translateKey(MSG& msg) {
  if (!window_ || (msg.hwnd != window_ && !IsChild(window_, msg.hwnd))) return false;
  return TranslateAcceleratorW(window_, keys_.get(), &msg) != 0;
}

LRESULT CALLBACK ScriptEditorWindow::windowProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
  ScriptEditorWindow* self = windowObject<ScriptEditorWindow>(window, message, lParam);
  if (self && self->window_ == window) return self->handle(message, wParam, lParam);
  if (self && message == WM_NCCREATE) self->window_ = window;
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT ScriptEditorWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (text_ && reinterpret_cast<HWND>(lParam) == text_->window())
        text_->changed(HIWORD(wParam));
      else if (LOWORD(wParam) >= kItemId && LOWORD(wParam) < kItemId + desk::kScriptEditorItemCount)
        command(LOWORD(wParam) - kItemId);
      return 0;
    case WM_SIZE:
      layout();
      return 0;
    case WM_SETFOCUS:
      if (text_) SetFocus(text_->window());
      return 0;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wParam);
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      applyDpi();
      return 0;
    }
    case WM_CLOSE:
      // Closing hides: the window lives as long as the main window.
      if (closeAsked_) {
        document_.closed();
        ShowWindow(window_, SW_HIDE);
      } else {
        perform([this] {
          if (document_.close()) ShowWindow(window_, SW_HIDE);
        });
      }
      return 0;
    case WM_DESTROY:
      window_ = nullptr;
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void ScriptEditorWindow::command(int item) {
  switch (static_cast<ScriptEditorItem>(item)) {
    case desk::seNew:
      return perform([this] { document_.newScript(); });
    case desk::seOpen:
      return perform([this] { document_.open(); });
    case desk::seSave:
      return perform([this] { document_.save(); });
    case desk::seSaveAs:
      return perform([this] { document_.saveAs(); });
    case desk::sePrint:
      return perform([this] { printScript(window_, document_.fileName(), document_.lines()); });
    case desk::seExit:
      PostMessageW(window_, WM_CLOSE, 0, 0);
      return;
    case desk::seUndo:
      SendMessageW(text_->window(), EM_UNDO, 0, 0);
      return;
    case desk::seCut:
      SendMessageW(text_->window(), WM_CUT, 0, 0);
      return;
    case desk::seCopy:
      SendMessageW(text_->window(), WM_COPY, 0, 0);
      return;
    case desk::sePaste:
      // The control holds plain text: it takes only the clipboard's text.
      SendMessageW(text_->window(), WM_PASTE, 0, 0);
      return;
    case desk::seInsertCommand:
      return insertCommand();
    case desk::seCheckSyntax:
      document_.checkSyntax();
      return;
    case desk::seRun:
      if (onRunScript) onRunScript();
      return;
    case desk::kScriptEditorItemCount:
      return;
  }
}

void ScriptEditorWindow::perform(const std::function<void()>& command) {
  try {
    command();
  } catch (const runtime::SilentAbort&) {
  } catch (const std::exception& e) {
    ctx_.message(N_("Ravelin"), e.what(), runtime::MsgIcon::Error, runtime::MsgButtons::Ok);
  }
}

void ScriptEditorWindow::applyDpi() {
  FontHandle font = messageFont(dpi_);
  SendMessageW(status_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  font_ = std::move(font);
  text_->applyDpi(dpi_);
  layout();
}

void ScriptEditorWindow::layout() {
  if (!text_ || !status_) return;
  SendMessageW(status_, WM_SIZE, 0, 0);
  int right[] = {scaled(kScriptFileStatusWidth, dpi_), -1};
  SendMessageW(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(right));
  RECT client{}, bar{};
  GetClientRect(window_, &client);
  GetWindowRect(status_, &bar);
  client.bottom = std::max(client.top, client.bottom - (bar.bottom - bar.top));
  text_->place(client);
}

void ScriptEditorWindow::open() {
  if (!isOpen()) centreOver(window_, mainWindow_);
  document_.show();
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  SetFocus(text_->window());
}

void ScriptEditorWindow::openFile(const std::string& path) {
  perform([&] {
    document_.load(path);
    open();
  });
}

void ScriptEditorWindow::closeAsked() {
  closeAsked_ = true;
  SendMessageW(window_, WM_CLOSE, 0, 0);
  closeAsked_ = false;
}

std::string ScriptEditorWindow::statusText(int panel) const {
  return panelText(status_, panel);
}

void ScriptEditorWindow::showFileName(const std::string& name) {
  setPanelText(status_, 0, name);
}

void ScriptEditorWindow::showSyntaxResult(const script::EditorSyntaxResult& result) {
  setPanelText(status_, 1, result.statusText);
  if (result.error) text_->selectLine(result.error->line - 1);
}

std::optional<std::string> ScriptEditorWindow::chooseFileToOpen() {
  return chooseFile(false);
}

std::optional<std::string> ScriptEditorWindow::chooseFileToSave() {
  return chooseFile(true);
}

void ScriptEditorWindow::insertCommand() {
  if (const script::ScriptCommandInfo* info = insertDialog_->choose(window_))
    document_.insertCommand(*info);
}

}  // namespace ravelin::win

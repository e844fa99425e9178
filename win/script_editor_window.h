#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "desk/script_editor_menu.h"
#include "desk/views.h"
#include "script/script_document.h"
#include "win/handles.h"
#include "win/script_text_box.h"
#include "win/system_file_chooser.h"

namespace ravelin::runtime {
struct AppContext;
}

namespace ravelin::win {

class InsertCommandDialog;

// The script editor: the script's text with file, edit and script menus, the file name and
// the syntax check's result in the status bar. It stays on top of the main window and
// keeps its text while hidden; closing it (after the question about unsaved changes) makes
// the next opening start a new script.
class ScriptEditorWindow : public desk::ScriptEditor, private script::ScriptEditorView {
 public:
  // The ids of the menu items' WM_COMMAND messages.
  static constexpr int kItemId = 2000;  // + desk::ScriptEditorItem
  static constexpr int kTextId = 100;
  static constexpr int kStatusBarId = 101;

  ScriptEditorWindow(runtime::AppContext& ctx, HWND mainWindow);
  ~ScriptEditorWindow() override;
  ScriptEditorWindow(const ScriptEditorWindow&) = delete;
  ScriptEditorWindow& operator=(const ScriptEditorWindow&) = delete;

  HWND window() const { return window_; }
  ScriptTextBox& textBox() { return *text_; }
  InsertCommandDialog& insertDialog() { return *insertDialog_; }
  // A status panel's text: 0 the file name, 1 the syntax check's result.
  std::string statusText(int panel) const;

  // Runs the script in the main window's command frame (set by the main window).
  std::function<void()> onRunScript;
  // Chooses the script file to open or (save) to write: the system's dialogs unless
  // replaced; nothing when cancelled.
  std::function<std::optional<std::string>(bool save)> chooseFile;
  // Hands a key message meant for this window to its menu's keys; true: it was one.
  bool translateKey(MSG& msg);

  // desk::ScriptEditor.
  void open() override;
  void openFile(const std::string& path) override;
  bool isOpen() const override { return IsWindowVisible(window_) != FALSE; }
  bool mayClose() override { return document_.mayClose(); }
  void closeAsked() override;
  script::ScriptDocument& document() override { return document_; }

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void buildMenus();
  void command(int item);
  // A menu command: a silent abort ends it quietly, a failure shows its message.
  void perform(const std::function<void()>& command);
  void applyDpi();
  void layout();
  void insertCommand();

  // script::ScriptEditorView.
  std::string text() const override { return text_->text(); }
  void setText(const std::string& text) override { text_->setText(text); }
  void appendText(const std::string& text) override { text_->append(text); }
  void setCaret(size_t line, size_t column) override { text_->setCaret(line, column); }
  bool modified() const override { return text_->modified(); }
  void setModified(bool modified) override { text_->setModified(modified); }
  void showFileName(const std::string& name) override;
  void showSyntaxResult(const script::EditorSyntaxResult& result) override;
  std::optional<std::string> chooseFileToOpen() override;
  std::optional<std::string> chooseFileToSave() override;
  void hideForRun() override { ShowWindow(window_, SW_HIDE); }
  void showAfterRun() override { ShowWindow(window_, SW_SHOW); }

  runtime::AppContext& ctx_;
  HWND mainWindow_;
  HWND window_ = nullptr;
  HWND status_ = nullptr;
  UINT dpi_ = 96;
  FontHandle font_;
  AcceleratorHandle keys_;
  std::unique_ptr<ScriptTextBox> text_;
  std::unique_ptr<InsertCommandDialog> insertDialog_;
  SystemFileChooser systemFiles_;
  std::wstring lastOpened_;
  bool closeAsked_ = false;
  script::ScriptDocument document_{*this, ctx_};
};

}  // namespace ravelin::win

#pragma once
#include <QLabel>
#include <QMainWindow>
#include <functional>
#include <memory>

#include "desk/views.h"
#include "qt/insert_command_dialog.h"
#include "qt/script_text_edit.h"
#include "script/script_document.h"

class QPrinter;

namespace ravelin::runtime {
struct AppContext;
}

namespace ravelin::qt {

// The script editor: the script's text with file, edit and script menus, the file name and
// the syntax check's result in the status bar. It stays on top of the main window and
// keeps its text while hidden; closing it (after the question about unsaved changes) makes
// the next opening start a new script.
class ScriptEditorWindow : public QMainWindow,
                           public desk::ScriptEditor,
                           private script::ScriptEditorView {
 public:
  enum Item : int {
    New,
    Open,
    Save,
    SaveAs,
    Print,
    Exit,
    Undo,
    Cut,
    Copy,
    Paste,
    InsertCommand,
    CheckSyntax,
    Run,
    kItemCount
  };

  ScriptEditorWindow(runtime::AppContext& ctx, QWidget* mainWindow);

  // Runs the script in the main window's command frame (set by the main window).
  std::function<void()> onRunScript;

  // Shows the window (not modal): a new script unless it holds one.
  void open() override;
  // Shows the script named at start-up.
  void openFile(const std::string& path) override;
  // Prints the text: the lines from the top left of each page down, with the file name as
  // the document's title.
  void printTo(QPrinter& printer);
  // The program's close: first the question about unsaved changes (false keeps the text),
  // then, once every question of the close was answered, the close without asking again.
  bool mayClose() override { return document_.mayClose(); }
  bool isOpen() const override { return isVisible(); }
  void closeAsked() override;

  script::ScriptDocument& document() override { return document_; }
  QAction* item(Item which) const { return items_[which]; }
  ScriptTextEdit* textEdit() const { return text_; }
  QLabel* fileLabel() const { return fileLabel_; }
  QLabel* syntaxLabel() const { return syntaxLabel_; }
  InsertCommandDialog* insertDialog() const { return insertDialog_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMenus();
  // A menu command: a silent abort ends it quietly, a failure shows its message.
  void perform(const std::function<void()>& command);
  void print();
  void insertCommand();

  // script::ScriptEditorView
  std::string text() const override;
  void setText(const std::string& text) override;
  void appendText(const std::string& text) override;
  void setCaret(size_t line, size_t column) override;
  bool modified() const override;
  void setModified(bool modified) override;
  void showFileName(const std::string& name) override;
  void showSyntaxResult(const script::EditorSyntaxResult& result) override;
  std::optional<std::string> chooseFileToOpen() override;
  std::optional<std::string> chooseFileToSave() override;
  void hideForRun() override;
  void showAfterRun() override;

  runtime::AppContext& ctx_;
  QWidget* mainWindow_;
  ScriptTextEdit* text_;
  QLabel* fileLabel_;
  QLabel* syntaxLabel_;
  InsertCommandDialog* insertDialog_;
  std::array<QAction*, kItemCount> items_{};
  bool closeAsked_ = false;
  script::ScriptDocument document_{*this, ctx_};
};

}  // namespace ravelin::qt

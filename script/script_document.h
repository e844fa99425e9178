#pragma once
// The script editor's document: which file it holds ("unsaved" before its first save),
// the starting text of a new script, the question before unsaved changes would be lost,
// and the file commands. The text itself and its modified mark live in the front end's
// text control, reached through ScriptEditorView.
#include <optional>
#include <string>
#include <vector>

#include "runtime/translate.h"
#include "script/script_language.h"

namespace ravelin::runtime {
struct AppContext;
}

namespace ravelin::script {

// What the document needs from the editor window.
class ScriptEditorView {
 public:
  virtual ~ScriptEditorView() = default;

  // The text as the user sees it, lines separated by "\n".
  virtual std::string text() const = 0;
  // Replaces the whole text (the caret goes to its start).
  virtual void setText(const std::string& text) = 0;
  // Appends to the end of the text as an edit of the user's (it sets the modified mark).
  virtual void appendText(const std::string& text) = 0;
  // Puts the caret on a line (counted from 0) at a byte offset into it.
  virtual void setCaret(size_t line, size_t column) = 0;
  virtual bool modified() const = 0;
  virtual void setModified(bool modified) = 0;

  // The file name without its folder, in the first status panel.
  virtual void showFileName(const std::string& name) = 0;
  // The syntax check's status text, and on a failure the wrong line selected in view.
  virtual void showSyntaxResult(const EditorSyntaxResult& result) = 0;

  // The open and save dialogs: the chosen path, or nothing when cancelled.
  virtual std::optional<std::string> chooseFileToOpen() = 0;
  virtual std::optional<std::string> chooseFileToSave() = 0;

  // The editor steps aside while it runs its script, and comes back afterwards.
  virtual void hideForRun() = 0;
  virtual void showAfterRun() = 0;
};

class ScriptDocument {
 public:
  static constexpr const char* kUnsaved = N_("unsaved");
  static constexpr const char* kQuestionTitle = N_("Confirm");

  ScriptDocument(ScriptEditorView& view, runtime::AppContext& ctx) : view_(view), ctx_(ctx) {}

  // The seven lines of a new script; the version line names this build's version.
  static std::vector<std::string> startingLines();
  // The question asked before unsaved changes of this file would be lost.
  static std::string saveQuestion(const std::string& fileName);

  // The full path of the file, or "unsaved".
  std::string fileName() const { return path_.value_or(kUnsaved); }
  bool hasFile() const { return path_.has_value(); }
  // The text holds a script: set when the window first shows, cleared when it closes.
  bool initialized() const { return initialized_; }
  std::vector<std::string> lines() const;

  // The window is shown: a new script unless it holds one already.
  void show();
  // Takes the script named at start-up: its text and name, not modified. Throws
  // platform::FileError when it cannot be read (the document stays as it was).
  void load(const std::string& path);

  // The menu commands. Each of New, Open and close first asks before unsaved changes are
  // lost; the answer Cancel (or a save that did not happen) raises runtime::SilentAbort.
  // Read and write failures raise platform::FileError with the document unchanged.
  void newScript();
  void open();
  // Return whether the file was written (Save As can be cancelled).
  bool save();
  bool saveAs();
  // The window is about to close: false keeps it open.
  bool close();
  // close() in two steps, for a close that asks other questions in between: the question
  // about unsaved changes (false: the user kept the text), then the close itself.
  bool mayClose();
  void closed() { initialized_ = false; }

  // The catalogue entry as a new last line, the caret between its brackets or at the end.
  void insertCommand(const ScriptCommandInfo& info);
  // The editor's syntax check, shown in the view; returns whether the script is correct.
  bool checkSyntax();

  // The log line of a run started from the editor.
  std::string runLogLine() const;
  ScriptEditorView& view() { return view_; }

 private:
  void askBeforeChangesAreLost();
  void setFile(std::optional<std::string> path);
  void write(const std::string& path);

  ScriptEditorView& view_;
  runtime::AppContext& ctx_;
  std::optional<std::string> path_;
  bool initialized_ = false;
};

}  // namespace ravelin::script

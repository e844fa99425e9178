#include "script/script_document.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/system.h"
#include "runtime/app_context.h"
#include "runtime/silent_abort.h"
#include "runtime/translate.h"

namespace ravelin::script {

namespace {

std::string joined(const std::vector<std::string>& lines, const char* separator) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += separator;
    text += lines[i];
  }
  return text;
}

}  // namespace

std::vector<std::string> ScriptDocument::startingLines() {
  const char* rule = "// ===========================";
  return {rule,          std::string("//    Ravelin Script v") + RAVELIN_VERSION,
          rule,          "//    Author:",
          "//    Date:", "//    Description:",
          rule};
}

std::string ScriptDocument::saveQuestion(const std::string& fileName) {
  return runtime::fillIn(_("The file \"%s\" has been changed. Do you want to save this file?"),
                         {fileName});
}

std::vector<std::string> ScriptDocument::lines() const {
  return splitScriptLines(view_.text());
}

void ScriptDocument::setFile(std::optional<std::string> path) {
  path_ = std::move(path);
  view_.showFileName(path_ ? platform::utf8FromPath(platform::pathFromUtf8(*path_).filename())
                           : _(kUnsaved));
}

void ScriptDocument::show() {
  if (initialized_) return;
  initialized_ = true;
  setFile(std::nullopt);
  view_.setText(joined(startingLines(), "\n"));
  view_.setModified(false);
}

void ScriptDocument::load(const std::string& path) {
  const std::vector<std::string> read = readScriptFile(path);
  view_.setText(joined(read, "\n"));
  setFile(path);
  view_.setModified(false);
  initialized_ = true;
}

void ScriptDocument::askBeforeChangesAreLost() {
  if (!view_.modified()) return;
  switch (ctx_.message(kQuestionTitle, saveQuestion(hasFile() ? fileName() : _(kUnsaved)),
                       runtime::MsgIcon::Question, runtime::MsgButtons::YesNoCancel,
                       runtime::MsgResult::Cancel)) {
    case runtime::MsgResult::Yes:
      // Changes are lost only when they were written: a cancelled save dialog cancels too.
      if (!save()) throw runtime::SilentAbort();
      return;
    case runtime::MsgResult::No:
      return;
    default:
      throw runtime::SilentAbort();
  }
}

void ScriptDocument::newScript() {
  askBeforeChangesAreLost();
  setFile(std::nullopt);
  view_.setText(joined(startingLines(), "\n"));
  view_.setModified(false);
}

void ScriptDocument::open() {
  askBeforeChangesAreLost();
  const std::optional<std::string> path = view_.chooseFileToOpen();
  if (path) load(*path);
}

void ScriptDocument::write(const std::string& path) {
  std::string bytes;
  // Lines end as this platform's text files do; the script reader takes CR LF as well.
  for (const std::string& line : lines()) bytes += line + platform::kLineEnd;
  platform::writeFileAtomically(path, bytes);
}

bool ScriptDocument::save() {
  if (!path_) return saveAs();
  write(*path_);
  view_.setModified(false);
  return true;
}

bool ScriptDocument::saveAs() {
  const std::optional<std::string> path = view_.chooseFileToSave();
  if (!path) return false;
  write(*path);
  setFile(*path);
  view_.setModified(false);
  return true;
}

bool ScriptDocument::close() {
  if (!mayClose()) return false;
  closed();
  return true;
}

bool ScriptDocument::mayClose() {
  try {
    askBeforeChangesAreLost();
  } catch (const runtime::SilentAbort&) {
    return false;
  }
  return true;
}

void ScriptDocument::insertCommand(const ScriptCommandInfo& info) {
  const std::string text = view_.text();
  const std::string line = scriptCommandInsertText(info);
  view_.appendText((text.empty() || text.back() == '\n' ? "" : "\n") + line + "\n");
  // The new line's index: as many breaks stand before it as the old text has lines.
  const auto lineIndex = static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) +
                         (text.empty() || text.back() == '\n' ? 0 : 1);
  if (std::string_view(info.entry).find('<') != std::string_view::npos)
    view_.setCaret(lineIndex, line.size() - 1);
  else
    view_.setCaret(lineIndex + 1, 0);
}

bool ScriptDocument::checkSyntax() {
  const EditorSyntaxResult result = checkSyntaxForEditor(lines());
  view_.showSyntaxResult(result);
  return result.ok;
}

std::string ScriptDocument::runLogLine() const {
  return "Script execution started: <" + fileName() + ">";
}

}  // namespace ravelin::script

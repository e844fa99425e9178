#pragma once
// The script language: its command catalogue, how a line is recognised, and the syntax
// check with its two presentations (the message box before a run, and the editor's
// selection and status text).
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system.h"
#include "runtime/translate.h"

namespace ravelin::runtime {
struct AppContext;
}

namespace ravelin::script {

enum class ScriptCommand {
  CheckAll,
  ClearList,
  CloseUtils,
  Delay,
  Filter,
  HideWindows,
  InvertSelection,
  RefreshCustomBOT,
  RefreshCustomHTML,
  RefreshCustomMET,
  RefreshEDonkeyMET,
  SaveCustomBOT,
  SaveCustomHTML,
  SaveCustomMET,
  SaveCustomTXT,
  SaveEDonkeyMET,
  SaveRunningEDonkey,
  SaveTemplate,
  SendToEDonkeyConsole,
  SetPref,
  StartEDonkey,
  StartFile,
  UnCheckAll,
  UpdateFromAll,
  UpdateFromBOT,
  UpdateFromDNS,
  UpdateFromHTML,
  UpdateFromMET,
  VerifyAll,
  VerifyChecked,
};

// One entry of the command catalogue, in the order the insert-command dialog lists them.
struct ScriptCommandInfo {
  ScriptCommand command;
  const char* name;   // "Delay"
  bool bracket;       // takes an argument in brackets
  const char* entry;  // "Delay[<Time>]": the catalogue's spelling
  const char* sentence;
  std::vector<const char*> examples;
  // Where Windows users write it otherwise: eMule for the client, Windows paths, "start"
  // for the default application. Null and empty: the same as above.
  const char* windowsSentence = nullptr;
  std::vector<const char*> windowsExamples = {};
};

inline constexpr size_t kScriptCommandCount = 30;
const std::array<ScriptCommandInfo, kScriptCommandCount>& scriptCommands();
const ScriptCommandInfo& scriptCommandInfoOf(ScriptCommand command);

// The description the insert-command dialog shows for a catalogue entry: the quoted
// entry, its sentence, an empty line, "Example:" (or "Examples:") and the examples, the
// lines joined by CR LF.
// windows: in the words of Windows users (the default on Windows).
std::string scriptCommandDescription(const ScriptCommandInfo& info,
                                     bool windows = platform::kWindows);
const std::vector<const char*>& scriptCommandExamples(const ScriptCommandInfo& info,
                                                      bool windows = platform::kWindows);
// The line the insert-command dialog appends for a catalogue entry: the entry without its
// placeholders ("Delay[<Time>]" gives "Delay[]", "SaveTemplate[<Template>|<Filename>]"
// gives "SaveTemplate[|]").
std::string scriptCommandInsertText(const ScriptCommandInfo& info);

// What a line is. Comment and blank lines are ignored; Unknown is any other line that is
// no command.
struct ScriptLine {
  enum class Kind { Blank, Comment, Plain, Bracket, Unknown };
  Kind kind = Kind::Unknown;
  ScriptCommand command = ScriptCommand::CheckAll;
  // For bracket commands: R, everything after the "[" as written; A, R up to its first
  // "]" (all of R when there is none); whether R holds a "]" at all.
  std::string rest;
  std::string argument;
  bool closed = false;

  // R without its last character: the file argument of the commands that take a path,
  // whose "]" therefore has to end the line.
  std::string filePath() const { return rest.empty() ? rest : rest.substr(0, rest.size() - 1); }
  // R is exactly "]".
  bool restIsJustBracket() const { return rest == "]"; }
};

// Recognises one line: a plain command equal to the whole line, then a bracket command
// name with its "[" at the start, both without regard to letter case; then a comment
// ("//" in the first column) or a blank (empty) line; anything else is Unknown.
ScriptLine matchScriptLine(std::string_view line);

// The first wrong line of a script: its number counted from 1, all lines counted.
struct ScriptSyntaxError {
  size_t line = 0;
  std::string message;
  bool operator==(const ScriptSyntaxError&) const = default;
};

// Which rules apply: the editor's check also refuses SaveTemplate arguments of fewer than
// two characters.
enum class SyntaxRules { Run, Editor };

// The check itself, pure: the first wrong line, or nothing for a correct script.
std::optional<ScriptSyntaxError> findScriptSyntaxError(const std::vector<std::string>& lines,
                                                       SyntaxRules rules);

// The message-box text of the check before a run.
inline constexpr const char* kScriptErrorCaption = N_("Error in script execution");
std::string scriptErrorText(const ScriptSyntaxError& error);

// The check before a run: returns when the script is correct; otherwise shows the error
// box through ctx (the caller runs it before the script starts, so it is shown) and raises
// SilentAbort so that the script is not run.
void checkSyntax(const std::vector<std::string>& lines, runtime::AppContext& ctx);

// The editor's check as data: on success the status text "Syntax check successful!";
// otherwise the wrong line's selection in the editor's text (lines joined by CR LF) and
// the status text "Error in line <n>: <message>". After showing a failure the editor
// raises SilentAbort itself, so that a run that asked for the check does not start.
struct EditorSyntaxResult {
  bool ok = true;
  size_t selectionStart = 0;
  size_t selectionLength = 0;
  std::string statusText;
  std::optional<ScriptSyntaxError> error;
};
EditorSyntaxResult checkSyntaxForEditor(const std::vector<std::string>& lines);

// Splits a script's text into lines: line breaks are CR LF, LF or CR; a break at the very
// end does not start another line; nothing else is changed.
std::vector<std::string> splitScriptLines(std::string_view text);
// Reads a script file into lines, decoded by its byte-order mark as Windows editors save
// scripts (platform::readTextFile); throws platform::FileError when it cannot be read.
std::vector<std::string> readScriptFile(const std::string& path);

}  // namespace ravelin::script

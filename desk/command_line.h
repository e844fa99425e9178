#pragma once
// The desktop program's command line: what it answers before any window exists (a wrong
// --ini, --help, --version), and the script it names.
#include <optional>
#include <string>
#include <vector>

#include "runtime/translate.h"

namespace ravelin::desk {

// An answer that ends the program before its windows: the text for standard output, or
// for standard error when the exit code is not 0.
struct EarlyAnswer {
  int exitCode;
  std::string text;
};

// The answer to the arguments (argv without the program's name), if they ask for one;
// nothing when the program starts its windows.
std::optional<EarlyAnswer> answerBeforeWindows(std::vector<std::string> args);

// What becomes of a script named on the command line or handed over by a later start: as
// ScrExecOrEdit says (a plain SCRIPT, a double click), or what --edit or --run asked for
// (the Edit and Run verbs of a script file).
enum class ScriptAction { AsSettingsSay, Edit, Run };

struct ScriptRequest {
  std::string path;  // absolute; empty: no script
  ScriptAction action = ScriptAction::AsSettingsSay;
  bool edits(bool scrExecOrEdit) const {
    return action == ScriptAction::Edit ||
           (action == ScriptAction::AsSettingsSay && !scrExecOrEdit);
  }
};

// The script to open at the start, from the arguments that --ini left: SCRIPT, --edit
// SCRIPT or --run SCRIPT first, when SCRIPT names a file; a script that names no file is
// ignored, further arguments always are. No path when there is none.
ScriptRequest startupScript(const std::vector<std::string>& args);

// A request as a later start hands it to the running program, and back. A plain script is
// its path alone, as it always was; --edit and --run go before the path.
std::string handOverText(const ScriptRequest& request);
ScriptRequest handedRequest(const std::string& text);

// Said on standard error when the program that runs with the same ravelin.ini does not take
// the script handed to it.
inline constexpr const char* kRunningInstanceSilent =
    N_("Ravelin runs already with this ravelin.ini but does not answer");

}  // namespace ravelin::desk

#pragma once
// Running a script file the way the program's commands do it: the "Run Script" button, a
// recently used script, the script named at start-up and ravelin-cli's "run".
#include <string>

namespace ravelin::runtime {
struct AppContext;
}
namespace ravelin::serverlist {
class ServerList;
}
namespace ravelin::script {
class ScriptDocument;
class ScriptHost;
struct ScriptRun;
}  // namespace ravelin::script

namespace ravelin::app {

class HistoryList;

enum class ScriptFileOutcome {
  Missing,      // no such file: nothing done, nothing shown, the history unchanged
  SyntaxError,  // the check before the run found a wrong line and reported it
  Ran,          // the script ran (see ScriptRun for how it ended)
};

// Whether a run checks the script's syntax first: as ScrSyntaxCheck says (the desktop
// program), or always or never whatever it says (ravelin-cli, strict unless told not to).
enum class SyntaxCheck { BySetting, Always, Never };

// Whether a run with this choice checks the script.
bool checksSyntax(SyntaxCheck check, const runtime::AppContext& ctx);

// When the file exists: adds it to the recently used scripts, reads its lines, runs the
// syntax check when check asks for it, then runs the script, its relative file names
// counting from the script's folder (run.folder). A file
// that exists but cannot be read raises platform::FileError (after the history was
// updated); an error raised by a command travels on as execScript rethrows it.
ScriptFileOutcome runScriptFile(const std::string& path, HistoryList& history,
                                serverlist::ServerList& list, script::ScriptHost& host,
                                runtime::AppContext& ctx, script::ScriptRun& run,
                                SyntaxCheck check = SyntaxCheck::BySetting);

// The editor's "Run script": a saved script goes on top of the recently used scripts; the
// editor's syntax check runs when ScrSyntaxCheck is on (a wrong line is shown in the editor
// and raises runtime::SilentAbort); then the editor steps aside, the run is logged with the
// script's name and its text runs as it stands, unsaved changes included, relative file
// names counting from the script file's folder (from the current directory when unsaved).
void runEditorScript(script::ScriptDocument& document, HistoryList& history,
                     serverlist::ServerList& list, script::ScriptHost& host,
                     runtime::AppContext& ctx, script::ScriptRun& run);

}  // namespace ravelin::app

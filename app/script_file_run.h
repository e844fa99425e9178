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

// When the file exists: adds it to the recently used scripts, reads its lines, runs the
// syntax check when ScrSyntaxCheck is on (or check is set), then runs the script. A file
// that exists but cannot be read raises platform::FileError (after the history was
// updated); an error raised by a command travels on as execScript rethrows it.
ScriptFileOutcome runScriptFile(const std::string& path, HistoryList& history,
                                serverlist::ServerList& list, script::ScriptHost& host,
                                runtime::AppContext& ctx, script::ScriptRun& run,
                                bool check = false);

}  // namespace ravelin::app

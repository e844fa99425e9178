#pragma once
// Runs a script line by line on the user-interface thread.
#include <cstddef>
#include <string>
#include <vector>

namespace ravelin::runtime {
struct AppContext;
}
namespace ravelin::serverlist {
class ServerList;
}

namespace ravelin::script {

class ScriptHost;

// A command whose operation failed without raising an error (a writer that reported a
// failed save, a source file that is not there). The script goes on after it; a front end
// that has nobody to show the writer's box to (ravelin-cli) reports these afterwards.
struct ScriptFailure {
  size_t line = 0;
  std::string message;
  // The message in the user's language where it has a translation; empty: message.
  std::string shown;
  bool operator==(const ScriptFailure&) const = default;
  // "line 3: File not found: lists/a.met", as the log has it.
  std::string text() const;
  // The same in the user's language, as the front ends show it.
  std::string shownText() const;
};

struct ScriptRun {
  // The folder that the script's relative file names count from, set by whoever starts a
  // run from a script file (scriptFolder); empty: the current directory.
  std::string folder;
  // The line being run, counted from 1; after an error, the line that raised it.
  size_t line = 0;
  // CloseUtils' countdown ran out: the script ended there and the program is to close.
  bool closed = false;
  // The user interface began shutting down; the script stopped before the next line.
  bool interrupted = false;
  std::vector<ScriptFailure> failures;
};

// What the desktop program shows once a script with failed commands has ended: their
// count, then one line each (the first kShownFailures of them).
inline constexpr size_t kShownFailures = 10;
std::string failureSummary(const ScriptRun& run);

// Sets scriptRunning, logs "Script execution started", runs every line (a failed command
// is logged as ScriptFailure::text() says), and on every way
// out (end, CloseUtils, an error) clears scriptRunning, restores the windows when
// hiddenByScript is set and logs "Script execution stopped". Lines that are no usable
// command do nothing. An error raised by a command ends the script at that line and is
// rethrown after the clean-up; run.line then names the line.
void execScript(const std::vector<std::string>& lines, serverlist::ServerList& list,
                ScriptHost& host, runtime::AppContext& ctx, ScriptRun& run);
ScriptRun execScript(const std::vector<std::string>& lines, serverlist::ServerList& list,
                     ScriptHost& host, runtime::AppContext& ctx);

}  // namespace ravelin::script

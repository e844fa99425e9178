#include "app/script_file_run.h"

#include "app/history_list.h"
#include "platform/file_io.h"
#include "runtime/app_context.h"
#include "runtime/silent_abort.h"
#include "script/script_executor.h"
#include "script/script_language.h"

namespace ravelin::app {

ScriptFileOutcome runScriptFile(const std::string& path, HistoryList& history,
                                serverlist::ServerList& list, script::ScriptHost& host,
                                runtime::AppContext& ctx, script::ScriptRun& run, bool check) {
  if (!platform::fileExists(path)) return ScriptFileOutcome::Missing;
  history.addFile(path);
  const std::vector<std::string> lines = script::readScriptFile(path);
  if (check || ctx.settings.ScrSyntaxCheck) {
    try {
      script::checkSyntax(lines, ctx);
    } catch (const runtime::SilentAbort&) {
      return ScriptFileOutcome::SyntaxError;
    }
  }
  script::execScript(lines, list, host, ctx, run);
  return ScriptFileOutcome::Ran;
}

}  // namespace ravelin::app

#include "app/script_file_run.h"

#include "runtime/app_context.h"
#include "runtime/silent_abort.h"
#include "platform/file_io.h"
#include "app/history_list.h"
#include "script/script_executor.h"
#include "script/script_language.h"

ScriptFileOutcome runScriptFile(const std::string& path, HistoryList& history, ServerList& list,
                                ScriptHost& host, AppContext& ctx, ScriptRun& run, bool check) {
  if (!platform::fileExists(path)) return ScriptFileOutcome::Missing;
  history.addFile(path);
  const std::vector<std::string> lines = readScriptFile(path);
  if (check || ctx.settings.ScrSyntaxCheck) {
    try {
      checkSyntax(lines, ctx);
    } catch (const SilentAbort&) {
      return ScriptFileOutcome::SyntaxError;
    }
  }
  execScript(lines, list, host, ctx, run);
  return ScriptFileOutcome::Ran;
}

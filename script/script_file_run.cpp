#include "script/script_file_run.h"

#include "app/app_context.h"
#include "app/silent_abort.h"
#include "platform/file_io.h"
#include "script/history_list.h"
#include "script/script_executor.h"
#include "script/script_language.h"

ScriptFileOutcome RunScriptFile(const std::string& path, THistoryList& history, ServerList& list,
                                ScriptHost& host, AppContext& ctx, ScriptRun& run, bool check) {
  if (!platform::FileExists(path)) return ScriptFileOutcome::Missing;
  history.AddFile(path);
  const std::vector<std::string> lines = ReadScriptFile(path);
  if (check || ctx.settings.ScrSyntaxCheck) {
    try {
      CheckSyntax(lines, ctx);
    } catch (const ESilentAbort&) {
      return ScriptFileOutcome::SyntaxError;
    }
  }
  ExecScript(lines, list, host, ctx, run);
  return ScriptFileOutcome::Ran;
}

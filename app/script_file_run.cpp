#include "app/script_file_run.h"

#include "app/history_list.h"
#include "platform/file_io.h"
#include "runtime/app_context.h"
#include "runtime/silent_abort.h"
#include "script/script_document.h"
#include "script/script_executor.h"
#include "script/script_language.h"
#include "script/script_paths.h"

namespace ravelin::app {

bool checksSyntax(SyntaxCheck check, const runtime::AppContext& ctx) {
  switch (check) {
    case SyntaxCheck::Always:
      return true;
    case SyntaxCheck::Never:
      return false;
    case SyntaxCheck::BySetting:
      break;
  }
  return ctx.settings.ScrSyntaxCheck;
}

ScriptFileOutcome runScriptFile(const std::string& path, HistoryList& history,
                                serverlist::ServerList& list, script::ScriptHost& host,
                                runtime::AppContext& ctx, script::ScriptRun& run,
                                SyntaxCheck check) {
  if (!platform::fileExists(path)) return ScriptFileOutcome::Missing;
  history.addFile(path);
  const std::vector<std::string> lines = script::readScriptFile(path);
  if (checksSyntax(check, ctx)) {
    try {
      script::checkSyntax(lines, ctx);
    } catch (const runtime::SilentAbort&) {
      return ScriptFileOutcome::SyntaxError;
    }
  }
  run.folder = script::scriptFolder(path);
  script::execScript(lines, list, host, ctx, run);
  return ScriptFileOutcome::Ran;
}

void runEditorScript(script::ScriptDocument& document, HistoryList& history,
                     serverlist::ServerList& list, script::ScriptHost& host,
                     runtime::AppContext& ctx, script::ScriptRun& run) {
  if (document.hasFile()) history.addFile(document.fileName());
  if (ctx.settings.ScrSyntaxCheck && !document.checkSyntax()) throw runtime::SilentAbort();
  const std::vector<std::string> lines = document.lines();
  document.view().hideForRun();
  struct ShowAgain {
    script::ScriptEditorView& view;
    ~ShowAgain() { view.showAfterRun(); }
  } showAgain{document.view()};
  ctx.log.writeLog(document.runLogLine());
  run.folder = document.hasFile() ? script::scriptFolder(document.fileName()) : std::string();
  script::execScript(lines, list, host, ctx, run);
}

}  // namespace ravelin::app

#include "script/script_executor.h"

#include <algorithm>

#include "client/transfer.h"
#include "platform/clock.h"
#include "platform/file_io.h"
#include "platform/text.h"
#include "runtime/app_context.h"
#include "runtime/translate.h"
#include "script/script_host.h"
#include "script/script_language.h"
#include "script/script_paths.h"
#include "serverlist/bot_file.h"
#include "serverlist/ip_port.h"
#include "serverlist/list_commands.h"
#include "serverlist/met_file.h"
#include "serverlist/server_filter.h"
#include "serverlist/server_links.h"
#include "serverlist/server_list.h"
#include "serverlist/template_writer.h"
#include "serverlist/text_writers.h"

namespace ravelin::script {

namespace {

constexpr const char* kTemplateSaveErrorText = N_("Error saving Template! Maybe data corrupted!");

bool HasCheckedServers(const serverlist::ServerList& list) {
  return list.checkedCount() > 0;
}

class Executor {
 public:
  Executor(serverlist::ServerList& list, ScriptHost& host, runtime::AppContext& ctx, ScriptRun& run)
      : list_(list), host_(host), ctx_(ctx), run_(run) {}

  // Runs one line; false when the script is to end here.
  bool runLine(const std::string& text);

 private:
  // message in the log's words; shown, when given, in the user's language.
  void fail(const std::string& message, const std::string& shown = {}) {
    run_.failures.push_back({run_.line, message, shown});
    ctx_.log.writeLog(run_.failures.back().text());
  }
  // A save fails as its writer reports it, whether the writer shows a box or raises an
  // error (a missing folder, a backup that cannot be made): the script goes on.
  template <class Save>
  void guardedSave(Save&& save) {
    try {
      save();
    } catch (const platform::FileError& e) {
      fail(e.what());
    }
  }
  void failedSave(const serverlist::SaveOutcome& outcome, const char* text) {
    fail(outcome.failureText(text), outcome.failureText(_(text)));
  }
  // A save that wrote nothing, said where a front end shows such remarks.
  void nothingChecked(const std::string& target) {
    host_.note("Nothing saved to " + target + ": no server is checked");
  }
  std::string file(const std::string& name) const { return resolveScriptPath(run_.folder, name); }
  void delay(const ScriptLine& l);
  void update(update::UpdateKind kind);
  void filter(const ScriptLine& l);
  void setPref(const ScriptLine& l);
  void refresh(const ScriptLine& l);
  void listProblem(const serverlist::ListReadProblem& problem);
  void save(const ScriptLine& l);
  void saveTemplate(const ScriptLine& l);

  serverlist::ServerList& list_;
  ScriptHost& host_;
  runtime::AppContext& ctx_;
  ScriptRun& run_;
};

bool Executor::runLine(const std::string& text) {
  const ScriptLine l = matchScriptLine(text);
  if (l.kind != ScriptLine::Kind::Plain && l.kind != ScriptLine::Kind::Bracket) return true;
  // A bracket command without its "]" is no usable command.
  if (l.kind == ScriptLine::Kind::Bracket && !l.closed) return true;
  switch (l.command) {
    case ScriptCommand::CheckAll:
      serverlist::checkAllServers(list_, ctx_);
      break;
    case ScriptCommand::UnCheckAll:
      serverlist::uncheckAllServers(list_, ctx_);
      break;
    case ScriptCommand::InvertSelection:
      serverlist::invertCheckMarks(list_, ctx_);
      break;
    case ScriptCommand::ClearList:
      // Nothing is asked while a script runs.
      serverlist::clearServerList(list_, ctx_);
      break;
    case ScriptCommand::CloseUtils:
      ctx_.state.closeConfirmed = false;
      ctx_.state.closeConfirmed = host_.closeCountdown();
      if (ctx_.state.closeConfirmed) {
        run_.closed = true;
        return false;
      }
      break;
    case ScriptCommand::Delay:
      delay(l);
      break;
    case ScriptCommand::Filter:
      filter(l);
      break;
    case ScriptCommand::HideWindows:
      ctx_.state.hiddenByScript = true;
      host_.hideWindows();
      ctx_.log.writeLog("Main window hidden");
      break;
    case ScriptCommand::RefreshCustomBOT:
    case ScriptCommand::RefreshCustomHTML:
    case ScriptCommand::RefreshCustomMET:
    case ScriptCommand::RefreshEDonkeyMET:
      refresh(l);
      break;
    case ScriptCommand::SaveCustomBOT:
    case ScriptCommand::SaveCustomHTML:
    case ScriptCommand::SaveCustomMET:
    case ScriptCommand::SaveCustomTXT:
      guardedSave([&] { save(l); });
      break;
    case ScriptCommand::SaveEDonkeyMET:
      if (!HasCheckedServers(list_)) {
        nothingChecked(runtime::clientFile(ctx_.settings.EDPath, "server.met"));
        break;
      }
      guardedSave([&] {
        const serverlist::SaveOutcome outcome =
            client::saveClientServerMet(list_, host_.loadSaveBar(), ctx_);
        if (!outcome) failedSave(outcome, serverlist::kMetSaveErrorText);
      });
      break;
    case ScriptCommand::SaveRunningEDonkey:
      if (HasCheckedServers(list_)) host_.saveRunningEDonkey();
      break;
    case ScriptCommand::SaveTemplate:
      guardedSave([&] { saveTemplate(l); });
      break;
    case ScriptCommand::SendToEDonkeyConsole:
      if (!l.argument.empty()) host_.sendToEDonkeyConsole(l.argument);
      break;
    case ScriptCommand::SetPref:
      setPref(l);
      break;
    case ScriptCommand::StartEDonkey:
      host_.startEDonkey();
      break;
    case ScriptCommand::StartFile:
      if (!l.argument.empty()) host_.startFile(file(l.filePath()));
      break;
    case ScriptCommand::UpdateFromAll:
      update(update::UpdateKind::All);
      break;
    case ScriptCommand::UpdateFromBOT:
      update(update::UpdateKind::BOT);
      break;
    case ScriptCommand::UpdateFromDNS:
      update(update::UpdateKind::DNS);
      break;
    case ScriptCommand::UpdateFromHTML:
      update(update::UpdateKind::HTML);
      break;
    case ScriptCommand::UpdateFromMET:
      update(update::UpdateKind::MET);
      break;
    case ScriptCommand::VerifyAll:
    case ScriptCommand::VerifyChecked:
      // A run that found the network down changed no check mark; the script goes on
      // with the list as it was, and the failure is noted.
      if (host_.verify(l.command == ScriptCommand::VerifyAll) == verify::VerifyOutcome::NetworkDown)
        fail(verify::kNetworkDownText, _(verify::kNetworkDownText));
      break;
  }
  return true;
}

// An update none of whose sources could be read merged nothing; the script goes on, and
// the failure is noted. So is an update from all sources when there is none: a fresh
// set-up's scheduled script would otherwise do nothing and call it a success.
void Executor::update(update::UpdateKind kind) {
  if (kind == update::UpdateKind::All && ctx_.settings.URLs.empty()) {
    fail(update::kNoUrlsText, _(update::kNoUrlsText));
    return;
  }
  if (host_.update(kind) == update::UpdateOutcome::NoSourceRead)
    fail(update::kNoSourceReadText, _(update::kNoSourceReadText));
}

void Executor::delay(const ScriptLine& l) {
  const auto seconds = platform::parseInt32(l.argument);
  if (!seconds) return;
  // A negative count waits the shortest pause; the product is formed without overflow
  // and limited to what the 32-bit tick counter can measure.
  const std::int64_t ms = std::clamp<std::int64_t>(std::int64_t{*seconds} * 1000, 0, 0xFFFFFFFF);
  const std::uint32_t start = ctx_.clock->ticks();
  if (ctx_.ui)
    runtime::pauseFunc(*ctx_.ui, *ctx_.clock, static_cast<std::uint32_t>(ms));
  else
    ctx_.clock->sleepMs(static_cast<std::uint32_t>(ms));
  // A pause cut short by the program's end says how long it lasted, not what was asked.
  const std::uint32_t waited = ctx_.clock->ticks() - start;
  if (ctx_.ui && ctx_.ui->terminating() && waited < ms) {
    ctx_.log.writeLog("Waited <" + std::to_string(waited / 1000) + "> of <" +
                      std::to_string(*seconds) + "> seconds: the run was interrupted");
    return;
  }
  ctx_.log.writeLog("Waited <" + std::to_string(*seconds) + "> seconds");
}

void Executor::filter(const ScriptLine& l) {
  if (l.restIsJustBracket()) return;
  const serverlist::FilterExpression f = serverlist::parseFilterExpression(l.rest);
  if (f.op < 0) return;
  if (f.property >= 0) serverlist::filterServers(list_, f.property, f.op, f.value);
  ctx_.log.writeLog("Serverlist successfully filtered");
}

void Executor::setPref(const ScriptLine& l) {
  if (l.argument.empty()) return;
  std::string lower = l.argument;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  std::string pref;
  if (lower == "low")
    pref = "Low";
  else if (lower == "normal")
    pref = "Normal";
  else if (lower == "high")
    pref = "High";
  else
    return;
  serverlist::setPreferenceOfChecked(list_, pref);
  ctx_.log.writeLog("Server selection preference set to <" + l.argument + ">");
}

void Executor::refresh(const ScriptLine& l) {
  runtime::ProgressBar& bar = host_.loadSaveBar();
  if (l.command == ScriptCommand::RefreshEDonkeyMET) {
    // The client may not have written its list yet: nothing to refresh, and no failure.
    const serverlist::ListReadProblem problem = serverlist::readServersFromMet(
        list_, runtime::clientFile(ctx_.settings.EDPath, "server.met"), bar, ctx_);
    if (problem.missing) {
      ctx_.log.writeLog(problem.text);
      host_.note(problem.text);
    } else {
      listProblem(problem);
    }
    return;
  }
  if (l.restIsJustBracket()) return;
  const std::string path = file(l.filePath());
  if (l.command == ScriptCommand::RefreshCustomHTML) {
    // Raises an error when the file cannot be read.
    serverlist::readServersFromHTML(list_, path, ctx_);
    return;
  }
  // The MET and BOT readers pass over a file that is not there without a word; the run
  // notes it.
  if (!platform::fileExists(path)) {
    fail("File not found: " + path);
    return;
  }
  if (l.command == ScriptCommand::RefreshCustomBOT)
    serverlist::readServersFromBOT(list_, path, bar, ctx_);
  else
    listProblem(serverlist::readServersFromMet(list_, path, bar, ctx_));
}

// A list that was cut short was still read, and the reader logged it: a remark. A file
// that gave no list at all fails the command.
void Executor::listProblem(const serverlist::ListReadProblem& problem) {
  if (!problem) return;
  if (problem.partial)
    host_.note(problem.text);
  else
    fail(problem.text);
}

// The save rule: only with a checked server; the target's old contents are kept as
// target.UPD.BAK (the live file stays in place until the new one replaces it), then the
// writer replaces the target in one step. A backup that cannot be made fails the save.
void Executor::save(const ScriptLine& l) {
  if (l.argument.empty()) return;
  const std::string path = file(l.filePath());
  serverlist::SaveFormat format;
  switch (l.command) {
    case ScriptCommand::SaveCustomBOT:
      format = serverlist::botSaveFormat();
      break;
    case ScriptCommand::SaveCustomHTML:
      format = serverlist::htmlSaveFormat();
      break;
    case ScriptCommand::SaveCustomMET:
      format = serverlist::metSaveFormat();
      break;
    default:
      format = serverlist::txtSaveFormat();
      break;
  }
  serverlist::SaveRule rule;
  rule.needsChecked = true;
  rule.backupFile = path + ".UPD.BAK";
  rule.backupErrorsThrow = true;
  // Only the formats with an error box fail quietly; the others throw.
  const serverlist::SaveOutcome outcome =
      serverlist::saveServers(list_, path, host_.loadSaveBar(), ctx_, format, rule);
  if (outcome == serverlist::SaveResult::Failed) failedSave(outcome, format.errorText);
  if (outcome == serverlist::SaveResult::Refused) nothingChecked(path);
}

void Executor::saveTemplate(const ScriptLine& l) {
  if (l.argument.empty() || l.rest.size() < 2 || l.rest.find('|') == std::string::npos) return;
  const std::string s = l.filePath();
  const auto bar = s.find('|');
  // R's only "|" was its last character ("SaveTemplate[t.tpl]|"): without a splitter in S
  // template and output would be the same file and the template would be overwritten.
  if (bar == std::string::npos) {
    fail("No output file: " + s);
    return;
  }
  const std::string templateFile = file(s.substr(0, bar));
  const std::string output = file(s.substr(bar + 1));
  if (!platform::fileExists(templateFile)) {
    fail("File not found: " + templateFile);
    return;
  }
  if (output.empty()) return;
  // The save rule without a backup.
  serverlist::SaveRule rule;
  rule.needsChecked = true;
  const serverlist::SaveOutcome outcome = serverlist::saveServers(
      list_, output, host_.loadSaveBar(), ctx_, serverlist::templateSaveFormat(templateFile), rule);
  if (outcome == serverlist::SaveResult::Failed) failedSave(outcome, kTemplateSaveErrorText);
  if (outcome == serverlist::SaveResult::Refused) nothingChecked(output);
}

}  // namespace

std::string ScriptFailure::text() const {
  return "line " + std::to_string(line) + ": " + message;
}

std::string ScriptFailure::shownText() const {
  return runtime::fillIn(_("line %s: %s"), {std::to_string(line), shown.empty() ? message : shown});
}

std::string failureSummary(const ScriptRun& run) {
  const size_t count = run.failures.size();
  std::string text = runtime::fillIn(
      P_("%s command of the script failed:", "%s commands of the script failed:", count),
      {std::to_string(count)});
  for (size_t i = 0; i < count && i < kShownFailures; ++i)
    text += "\r\n" + run.failures[i].shownText();
  if (count > kShownFailures)
    text += "\r\n" + runtime::fillIn(_("... and %s more (see the log)"),
                                     {std::to_string(count - kShownFailures)});
  return text;
}

void execScript(const std::vector<std::string>& lines, serverlist::ServerList& list,
                ScriptHost& host, runtime::AppContext& ctx, ScriptRun& run) {
  ctx.state.scriptRunning = true;
  ctx.log.writeLog("Script execution started");
  const auto cleanUp = [&] {
    ctx.state.scriptRunning = false;
    if (ctx.state.hiddenByScript) host.restoreWindows();
    ctx.log.writeLog("Script execution stopped");
  };
  try {
    Executor executor(list, host, ctx, run);
    for (size_t i = 0; i < lines.size(); ++i) {
      if (ctx.ui && ctx.ui->terminating()) {
        run.interrupted = true;
        break;
      }
      run.line = i + 1;
      if (!executor.runLine(lines[i])) break;
    }
  } catch (...) {
    cleanUp();
    throw;
  }
  cleanUp();
}

ScriptRun execScript(const std::vector<std::string>& lines, serverlist::ServerList& list,
                     ScriptHost& host, runtime::AppContext& ctx) {
  ScriptRun run;
  execScript(lines, list, host, ctx, run);
  return run;
}

}  // namespace ravelin::script

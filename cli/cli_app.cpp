#include "cli/cli_app.h"

#include <cstdio>
#include <stdexcept>

#include "app/script_file_run.h"
#include "app/startup.h"
#include "app/transfer_time_file.h"
#include "app/version_check.h"
#include "cli/cli_host.h"
#include "cli/cli_options.h"
#include "cli/cli_version_check_view.h"
#include "cli/terminal.h"
#include "platform/console.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "runtime/app_context.h"
#include "runtime/loop_ui_thread.h"
#include "runtime/silent_abort.h"
#include "runtime/translate.h"
#include "script/script_executor.h"
#include "script/script_language.h"
#include "serverlist/server_list.h"

namespace ravelin::cli {

namespace {

enum ExitStatus : int {
  kOk = 0,
  kSyntaxError = 1,
  kUsage = 2,
  kCommandFailed = 3,
  kNewerVersion = 4,
};

// The main thread's loop as the user-interface thread; an interrupt counts as the
// application shutting down.
class CliUiThread : public runtime::LoopUiThread {
 public:
  bool terminating() const override {
    return platform::interruptRequested() || runtime::LoopUiThread::terminating();
  }
  // An interrupt that lands between a wait's check of terminating() and its sleep is seen
  // within 100 ms.
  void wait(std::uint32_t ms) override {
    runtime::LoopUiThread::wait(std::min<std::uint32_t>(ms, 100));
  }
};

int Usage(const std::string& reason) {
  writeStderrLines(
      "ravelin-cli: " + reason + "\n" + _("Try 'ravelin-cli --help' for more information."), true);
  return kUsage;
}

// A wrong line also the way compilers name one, so that editors and log readers can jump
// to it: "job.rvs:2: Unknown identifier!", then the line as written. name is the script
// file as given, or "-e" for the lines given with -e (counted from 1).
void ReportWrongLine(Terminal& term, const std::string& name,
                     const std::vector<std::string>& lines) {
  const auto error = script::findScriptSyntaxError(lines, script::SyntaxRules::Run);
  if (!error) return;
  term.error(name + ":" + std::to_string(error->line) + ": " + _(error->message.c_str()) + "\n" +
             lines[error->line - 1]);
}

// check-version: the outcome as one line (on stdout, a failure on stderr).
int CheckVersion(runtime::AppContext& ctx, Terminal& term) {
  CliVersionCheckView view(term);
  app::VersionCheck check(ctx, view);
  const app::VersionCheckResult result = check.check();
  view.close();
  switch (result.outcome) {
    case app::VersionCheckOutcome::NothingNewer:
      term.info(result.line());
      return kOk;
    case app::VersionCheckOutcome::Newer:
      term.info(result.line());
      return kNewerVersion;
    case app::VersionCheckOutcome::NotConfigured:
      term.error(result.line());
      return kUsage;
    case app::VersionCheckOutcome::DownloadFailed:
      if (platform::interruptRequested()) break;
      term.error(result.line());
      return kCommandFailed;
    case app::VersionCheckOutcome::Cancelled:
      break;
  }
  term.error(std::string("ravelin-cli: ") + _("interrupted"));
  return platform::interruptExitStatus();
}

}  // namespace

int runCli(int argc, char** argv) {
  // What this program prints is UTF-8, in the user's language.
  platform::useUtf8Console();
  runtime::startTranslation();
  Options options;
  try {
    options = parseOptions(platform::programArguments(argc, argv));
  } catch (const std::invalid_argument& e) {
    return Usage(e.what());
  }
  if (options.mode == Mode::Help) {
    std::fputs(usageText().c_str(), stdout);
    return kOk;
  }
  if (options.mode == Mode::Version) {
    std::printf("ravelin-cli %s\n", RAVELIN_VERSION);
    return kOk;
  }

  Terminal term(options.quiet, options.verbose);
  std::vector<std::string> lines = options.lines;
  if (options.mode == Mode::Run || options.mode == Mode::Check) {
    try {
      lines = script::readScriptFile(options.script);
    } catch (const platform::FileError& e) {
      term.error(std::string("ravelin-cli: ") + e.what());
      return kUsage;
    }
  }

  if (options.mode == Mode::Check) {
    const auto error = script::findScriptSyntaxError(lines, script::SyntaxRules::Run);
    if (error) {
      term.error(std::string(_(script::kScriptErrorCaption)) + ": " +
                 script::scriptErrorText(*error));
      ReportWrongLine(term, options.script, lines);
      return kSyntaxError;
    }
    term.info(_("Syntax check successful!"));
    return kOk;
  }

  // The first Ctrl+C asks the run to stop at the next pause or line; a second one ends the
  // program at once.
  platform::catchInterrupts();
  CliUiThread ui;
  TerminalPrompter prompter(term);
  runtime::AppContext ctx;
  ctx.prompter = &prompter;
  ctx.ui = &ui;
  app::AppSession session(ctx, app::locateFiles(app::currentStartupEnvironment(), options.iniFile));
  session.start();
  term.note(runtime::fillIn(_("Settings: %s"), {session.iniPath()}));
  if (options.mode == Mode::CheckVersion) {
    const int status = CheckVersion(ctx, term);
    session.close();
    return status;
  }

  serverlist::ServerList list;
  list.negCompare = ctx.settings.NegCompare;
  app::TransferTimeFile transferTime(session.places().transferFile);
  CliHost host(list, ctx, term, transferTime);
  script::ScriptRun run;
  int status = kOk;
  try {
    if (options.mode == Mode::Run) {
      const std::string path = app::absolutePath(options.script);
      const app::SyntaxCheck check =
          options.check ? app::SyntaxCheck::Always : app::SyntaxCheck::Never;
      switch (app::runScriptFile(path, session.history(), list, host, ctx, run, check)) {
        case app::ScriptFileOutcome::Missing:
          term.error("ravelin-cli: " + runtime::fillIn(_("cannot open %s"), {path}));
          status = kUsage;
          break;
        case app::ScriptFileOutcome::SyntaxError:
          ReportWrongLine(term, options.script, lines);
          status = kSyntaxError;
          break;
        case app::ScriptFileOutcome::Ran:
          break;
      }
    } else {
      bool correct = true;
      if (options.check) {
        try {
          script::checkSyntax(lines, ctx);
        } catch (const runtime::SilentAbort&) {
          ReportWrongLine(term, "-e", lines);
          correct = false;
          status = kSyntaxError;
        }
      }
      if (correct) script::execScript(lines, list, host, ctx, run);
    }
  } catch (const runtime::SilentAbort&) {
    // Reported where it was raised.
  } catch (const std::exception& e) {
    if (run.line == 0) {
      // The script file could not be read after all.
      term.error(std::string("ravelin-cli: ") + e.what());
      status = kUsage;
    } else {
      term.error("ravelin-cli: " +
                 runtime::fillIn(_("line %s: %s"), {std::to_string(run.line), e.what()}));
      status = kCommandFailed;
    }
  }
  term.clearProgress();
  for (const script::ScriptFailure& failure : run.failures) {
    term.error("ravelin-cli: " + failure.shownText());
    if (status == kOk) status = kCommandFailed;
  }
  // A signal during the last line stops no further line, but still ends the run as
  // interrupted.
  if (status == kOk && (run.interrupted || platform::interruptRequested())) {
    term.error(std::string("ravelin-cli: ") + _("interrupted"));
    status = platform::interruptExitStatus();
  }

  session.close();
  if (options.mode == Mode::Run) {
    try {
      session.saveHistory();
    } catch (const std::exception& e) {
      term.error("ravelin-cli: " +
                 runtime::fillIn(_("the recently used scripts were not saved: %s"), {e.what()}));
    }
  }
  return status;
}

}  // namespace ravelin::cli

#include "client/transfer.h"

#include <ctime>

#include "client/launch.h"
#include "client/transfer_time.h"
#include "platform/calendar.h"
#include "platform/clock.h"
#include "platform/file_io.h"
#include "platform/system.h"
#include "runtime/app_context.h"
#include "runtime/translate.h"
#include "runtime/ui_thread.h"
#include "serverlist/met_file.h"
#include "serverlist/server_list.h"

namespace ravelin::client {

namespace {

std::string localTimeText(std::int64_t wallMs) {
  const std::tm local = platform::localCalendarTime(wallMs / 1000);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M", &local);
  return buf;
}

// The box of a failure (none while a script runs) and its log line.
void report(runtime::AppContext& ctx, TransferFailure failure, const std::string& cause,
            const std::string& what) {
  std::string text = _(transferFailureText(failure));
  if (!cause.empty()) text += "\r\n\r\n" + cause;
  ctx.log.writeLog(what + " not done: " + cause);
  ctx.message(kClientErrorTitle, text, runtime::MsgIcon::Error, runtime::MsgButtons::Ok);
}

// Shows the window with the main window disabled, and on every way out hides the bar and
// closes the window with the main window enabled again.
class TransferFrame {
 public:
  TransferFrame(TransferView& view, bool& cancelled) : view_(view) {
    view_.setCancelHandler([&cancelled] { cancelled = true; });
    view_.setMainWindowEnabled(false);
    view_.show();
  }
  ~TransferFrame() {
    view_.progressBar().hide();
    view_.close();
    view_.setMainWindowEnabled(true);
    view_.setCancelHandler({});
  }
  TransferFrame(const TransferFrame&) = delete;
  TransferFrame& operator=(const TransferFrame&) = delete;

 private:
  TransferView& view_;
};

// The 4-hour rule. Returns the cause when the hand-over must wait; records the current
// time when nothing usable is recorded, so that the period starts now.
std::optional<std::string> mustWait(TransferTimeStore& store, std::int64_t now) {
  const std::optional<std::string> stored = store.read();
  const std::optional<std::int64_t> last =
      stored ? parseTransferTimeValue(*stored) : std::optional<std::int64_t>();
  if (!last || *last > now) {
    store.write(transferTimeValue(now));
    return std::string(stored ? "The time of the last hand-over was not usable"
                              : "This is the first hand-over from here") +
           "; the next one may start at " + localTimeText(now + kTransferIntervalMs) + ".";
  }
  if (now - *last < kTransferIntervalMs)
    return "The last hand-over was at " + localTimeText(*last) + "; the next one may start at " +
           localTimeText(*last + kTransferIntervalMs) + ".";
  return std::nullopt;
}

constexpr const char* kTransferWhat = "Transfer to the running eDonkey client";

}  // namespace

std::string transferProgressText(size_t number, size_t total) {
  return runtime::fillIn(_("Transferring server %s of %s..."),
                         {std::to_string(number), std::to_string(total)});
}

TransferOutcome sendToRunningClient(const serverlist::ServerList& list, runtime::AppContext& ctx,
                                    TransferView& view, TransferTimeStore& store,
                                    ClientBridge& bridge) {
  TransferOutcome outcome;
  bool cancelled = false;
  const auto stop = [&] {
    ctx.processPending();
    return cancelled || (ctx.ui && ctx.ui->terminating());
  };
  const auto fail = [&](TransferFailure failure, const std::string& cause) {
    outcome.failure = failure;
    outcome.cause = cause;
    report(ctx, failure, cause, kTransferWhat);
    return outcome;
  };

  TransferFrame frame(view, cancelled);
  view.setHeadline(_(kTransferStatusStart));
  view.setDescription(bridge.route());
  const std::int64_t now = ctx.clock->wallMs();
  try {
    if (auto wait = mustWait(store, now)) return fail(TransferFailure::Waiting, *wait);
  } catch (const platform::FileError& e) {
    return fail(TransferFailure::Failed, e.what());
  }

  view.setHeadline(_(kTransferStatusOpening));
  try {
    bridge.open(ctx);
  } catch (const BridgeError& e) {
    return fail(e.failure(), e.what());
  }
  struct Closer {
    ClientBridge& bridge;
    ~Closer() { bridge.close(); }
  } closer{bridge};
  try {
    store.write(transferTimeValue(now));
  } catch (const platform::FileError& e) {
    return fail(TransferFailure::Failed, e.what());
  }

  runtime::ProgressBar& bar = view.progressBar();
  bar.start(static_cast<int>(list.size()));
  const auto wait = static_cast<std::uint32_t>(std::max(ctx.settings.EDWaittime, 0));
  for (size_t row = 0; row < list.size(); ++row) {
    view.setHeadline(transferProgressText(row + 1, list.size()));
    if (stop()) {
      outcome.cancelled = true;
      return outcome;
    }
    const serverlist::ServerEntry& entry = list[row];
    if (entry.checked) {
      try {
        if (bridge.addServer(entry.server.ip, entry.server.port) == ClientBridge::AddResult::Added)
          ++outcome.added;
        else
          ++outcome.refused;
      } catch (const BridgeError& e) {
        return fail(e.failure(), e.what());
      }
      if (ctx.ui)
        runtime::pauseFunc(*ctx.ui, *ctx.clock, wait);
      else
        ctx.clock->sleepMs(wait);
    }
    bar.stepIt();
  }
  view.setHeadline(_(kTransferStatusDone));
  outcome.completed = true;
  std::string line = "Serverlist transferred to the running eDonkey client (" + bridge.route() +
                     "): " + std::to_string(outcome.added) + " servers handed over";
  if (outcome.refused > 0)
    line +=
        ", " + std::to_string(outcome.refused) + " not taken (already listed or no server link)";
  ctx.log.writeLog(line);
  return outcome;
}

std::string consoleLineFor(const std::string& text) {
  // "n" + blank + IP + blank + port, nothing else.
  if (text.size() < 5 || text[0] != 'n' || text[1] != ' ') return text;
  const auto blank = text.find(' ', 2);
  if (blank == std::string::npos) return text;
  const std::string ip = text.substr(2, blank - 2);
  const std::string port = text.substr(blank + 1);
  if (!isLinkableServer(ip, port)) return text;
  return "add " + serverLink(ip, port);
}

ConsoleOutcome sendToClientConsole(const std::string& text, runtime::AppContext& ctx) {
  ConsoleOutcome outcome;
  const auto fail = [&](TransferFailure failure, const std::string& cause) {
    outcome.failure = failure;
    outcome.cause = cause;
    report(ctx, failure, cause, "Console line <" + text + ">");
    return outcome;
  };
  if (platform::kWindows)
    return fail(TransferFailure::ConsoleUnreachable,
                "eMule, the eDonkey client on Windows, has no console.");
  if (ctx.settings.EDGUI && !isLocalClientRunning(ctx.settings))
    return fail(TransferFailure::NotRunning,
                "No aMule program (amule or amuled) runs on this machine.");
  const std::string line = consoleLineFor(text);
  EcSession session(ecEndpoint(ctx.settings), [&ctx] { ctx.processPending(); });
  try {
    session.open();
    outcome.reply = session.send(line);
  } catch (const EcError& e) {
    return fail(TransferFailure::ConsoleUnreachable, e.what());
  }
  session.close();
  outcome.sent = true;
  const std::string firstLine = outcome.reply.substr(0, outcome.reply.find('\n'));
  ctx.log.writeLog("Console line <" + line + "> sent to the eDonkey client" +
                   (firstLine.empty() ? "" : ": " + firstLine));
  return outcome;
}

void noteServerMetSavedUnderRunningClient(runtime::AppContext& ctx) {
  if (!isLocalClientRunning(ctx.settings)) return;
  ctx.log.writeLog(kRunningClientSaveNote);
  if (ctx.state.scriptRunning || ctx.state.runningClientSaveNoted) return;
  ctx.state.runningClientSaveNoted = true;
  ctx.message(kClientErrorTitle, kRunningClientSaveNote, runtime::MsgIcon::Information,
              runtime::MsgButtons::Ok);
}

serverlist::SaveOutcome saveClientServerMet(const serverlist::ServerList& list,
                                            runtime::ProgressBar& bar, runtime::AppContext& ctx) {
  serverlist::SaveOutcome outcome = serverlist::saveStandardServerMet(list, bar, ctx);
  if (outcome) noteServerMetSavedUnderRunningClient(ctx);
  return outcome;
}

}  // namespace ravelin::client

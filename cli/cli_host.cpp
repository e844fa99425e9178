#include "cli/cli_host.h"

#include "cli/cli_transfer_view.h"
#include "cli/cli_update_view.h"
#include "cli/cli_verify_view.h"
#include "client/close_countdown.h"
#include "client/launch.h"
#include "client/transfer.h"
#include "runtime/app_context.h"
#include "runtime/translate.h"
#include "serverlist/server_list.h"
#include "update/update_command.h"
#include "verify/verify_command.h"

namespace ravelin::cli {

CliHost::CliHost(serverlist::ServerList& list, runtime::AppContext& ctx, Terminal& term,
                 client::TransferTimeStore& transferTime)
    : list_(list),
      ctx_(ctx),
      term_(term),
      bar_(term, _("Loading/saving")),
      transferTime_(transferTime) {}

namespace {
// A script shows no boxes and stays quiet; with --verbose the terminal says why nothing
// reached the client (the log always does).
void tellFailure(Terminal& term, client::TransferFailure failure, const std::string& cause) {
  std::string text = _(client::transferFailureText(failure));
  for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n"))
    text.replace(at, 2, " ");
  term.note(text + " " + cause);
}
}  // namespace

update::UpdateOutcome CliHost::update(update::UpdateKind kind) {
  CliUpdateView view(term_);
  return update::runUpdate(list_, ctx_, view, kind, bar_);
}

verify::VerifyOutcome CliHost::verify(bool all) {
  CliVerifyView view(term_);
  return verify::runVerify(list_, ctx_, view, all);
}

bool CliHost::closeCountdown() {
  TerminalCountdown view(term_);
  return client::runCloseCountdown(view, ctx_);
}

void CliHost::saveRunningEDonkey() {
  CliTransferView view(term_);
  const auto bridge = client::makeClientBridge(ctx_.settings);
  const client::TransferOutcome outcome =
      client::sendToRunningClient(list_, ctx_, view, transferTime_, *bridge);
  if (outcome.failure) tellFailure(term_, *outcome.failure, outcome.cause);
  if (outcome.completed)
    term_.note(runtime::fillIn(_("%s servers handed to the running eDonkey client"),
                               {std::to_string(outcome.added)}) +
               (outcome.refused > 0
                    ? runtime::fillIn(_(", %s not taken"), {std::to_string(outcome.refused)})
                    : ""));
}

void CliHost::sendToEDonkeyConsole(const std::string& text) {
  const client::ConsoleOutcome outcome = client::sendToClientConsole(text, ctx_);
  if (outcome.failure) tellFailure(term_, *outcome.failure, outcome.cause);
  if (outcome.sent && !outcome.reply.empty()) term_.note(outcome.reply);
}

void CliHost::startEDonkey() {
  client::startEDonkey(ctx_);
}

void CliHost::startFile(const std::string& path) {
  client::startFile(path, ctx_);
}

}  // namespace ravelin::cli

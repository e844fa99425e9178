#include "cli/cli_host.h"

#include "cli/cli_update_view.h"
#include "cli/cli_verify_view.h"
#include "client/close_countdown.h"
#include "client/launch.h"
#include "runtime/app_context.h"
#include "serverlist/server_list.h"
#include "update/update_command.h"
#include "verify/verify_command.h"

namespace ravelin::cli {

CliHost::CliHost(serverlist::ServerList& list, runtime::AppContext& ctx, Terminal& term)
    : list_(list), ctx_(ctx), term_(term), bar_(term, "Loading/saving") {}

void CliHost::update(update::UpdateKind kind) {
  CliUpdateView view(term_);
  update::runUpdate(list_, ctx_, view, kind, bar_);
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
  bridge_.sendToRunningClient(list_, ctx_);
}

void CliHost::sendToEDonkeyConsole(const std::string& text) {
  bridge_.sendToClientConsole(text, ctx_);
}

void CliHost::startEDonkey() {
  client::startEDonkey(ctx_);
}

void CliHost::startFile(const std::string& path) {
  client::startFile(path, ctx_);
}

}  // namespace ravelin::cli

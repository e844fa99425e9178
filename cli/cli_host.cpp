#include "cli/cli_host.h"

#include <stdexcept>

#include "app/app_context.h"
#include "cli/cli_verify_view.h"
#include "client/close_countdown.h"
#include "client/process_control.h"
#include "serverlist/server_list.h"
#include "verify/verify_command.h"

namespace cli {

CliHost::CliHost(ServerList& list, AppContext& ctx, Terminal& term)
    : list_(list), ctx_(ctx), term_(term), bar_(term, "Loading/saving") {}

void CliHost::update(UpdateSource) {
  throw std::runtime_error("Updating the server list is not available in ravelin-cli yet");
}

void CliHost::verify(bool all) {
  CliVerifyView view(term_);
  RunVerify(list_, ctx_, view, all);
}

bool CliHost::closeCountdown() {
  TerminalCountdown view(term_);
  return client::RunCloseCountdown(view, ctx_);
}

void CliHost::saveRunningEDonkey() {
  bridge_.SendToRunningClient(list_, ctx_);
}

void CliHost::sendToEDonkeyConsole(const std::string& text) {
  bridge_.SendToClientConsole(text, ctx_);
}

void CliHost::startEDonkey() {
  client::StartEDonkey(ctx_);
}

void CliHost::startFile(const std::string& path) {
  client::StartFile(path, ctx_);
}

}  // namespace cli

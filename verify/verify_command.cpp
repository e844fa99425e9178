#include "verify/verify_command.h"

#include <exception>

#include "runtime/translate.h"
#include "runtime/wait_frame.h"
#include "verify/verify_coordinator.h"

namespace ravelin::verify {

std::string verifyWarningText() {
  return _(
      "It is recommended NOT to use server verification.\r\n"
      "Extensive tests have shown that the content of downloaded serverlists\r\n"
      "is usually the latest available information about these servers.\r\n"
      "That's why another attempt to verify the status of these servers\r\n"
      "is generally unnecessary. And additionally the server verification\r\n"
      "produces some traffic on the servers, therefore a lot of servers block\r\n"
      "these requests. The result is that these servers are marked offline\r\n"
      "although they are still working.");
}

bool confirmVerification(VerifyWarningDialog& dialog, runtime::AppContext& ctx,
                         const std::function<void()>& saveWarning) {
  bool checked = !ctx.settings.VrfWarning;
  const bool proceed = dialog.showModal(verifyWarningText(), checked);
  if (checked == ctx.settings.VrfWarning) {
    ctx.settings.VrfWarning = !checked;
    try {
      if (saveWarning) saveWarning();
    } catch (const std::exception& e) {
      // The choice holds for this run all the same, and the verification goes on as asked.
      ctx.message(N_("Error"), e.what(), runtime::MsgIcon::Error, runtime::MsgButtons::Ok);
    }
  }
  return proceed;
}

bool haveServersToVerify(const serverlist::ServerList& list, bool verifyAll,
                         runtime::AppContext& ctx) {
  if (verifyAll ? !list.empty() : list.checkedCount() > 0) return true;
  ctx.message(N_("Warning"), kNothingToVerifyText, runtime::MsgIcon::Error,
              runtime::MsgButtons::Ok);
  return false;
}

VerifyOutcome runVerify(serverlist::ServerList& list, runtime::AppContext& ctx, VerifyView& view,
                        bool verifyAll, VerifyWarningDialog* warning,
                        const std::function<void()>& saveWarning) {
  if (ctx.settings.VrfWarning && !ctx.state.scriptRunning && warning &&
      !confirmVerification(*warning, ctx, saveWarning))
    return VerifyOutcome::Cancelled;

  VerifyCoordinator coordinator(list, ctx, view);
  coordinator.verifyAll = verifyAll;
  // Showing the window activates it, and activation is the run.
  runtime::runInWaitFrame(ctx, view, [&] { coordinator.start(); });
  if (coordinator.outcome() == VerifyOutcome::NetworkDown)
    ctx.message(N_("Error"), kNetworkDownText, runtime::MsgIcon::Error, runtime::MsgButtons::Ok);
  return coordinator.outcome();
}

}  // namespace ravelin::verify

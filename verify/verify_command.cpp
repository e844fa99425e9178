#include "verify/verify_command.h"

#include "app/settings_store.h"
#include "app/ui_thread.h"
#include "verify/verify_coordinator.h"

std::string VerifyWarningText() {
  return "It it recommended NOT to use server verification.\r\n"
         "Extensive tests have shown that the content of downloaded serverlists\r\n"
         "is usually the latest available information about these servers.\r\n"
         "That's why another attempt to verify the status of these servers\r\n"
         "is generally unnecessary. And additionally the server verification\r\n"
         "produces some traffic on the servers, therefore a lot of servers block\r\n"
         "these requests. The result is that these servers are marked offline\r\n"
         "although they are still working.";
}

bool ConfirmVerification(VerifyWarningDialog& dialog, AppContext& ctx, const std::string& iniPath) {
  bool checked = !ctx.settings.VrfWarning;
  const bool proceed = dialog.showModal(VerifyWarningText(), checked);
  if (checked == ctx.settings.VrfWarning) {
    ctx.settings.VrfWarning = !checked;
    if (!iniPath.empty()) SaveVrfWarning(ctx.settings.VrfWarning, iniPath);
  }
  return proceed;
}

void RunVerify(ServerList& list, AppContext& ctx, VerifyView& view, bool verifyAll,
               VerifyWarningDialog* warning, const std::string& iniPath) {
  if (ctx.settings.VrfWarning && !ctx.state.ScriptRunning && warning &&
      !ConfirmVerification(*warning, ctx, iniPath))
    return;

  struct Frame {
    AppContext& ctx;
    VerifyView& view;
    ~Frame() {
      ctx.state.OperationDone = false;
      view.setMainWindowEnabled(true);
      view.close();
    }
  };
  ctx.state.OperationDone = false;
  view.setMainWindowEnabled(false);
  Frame frame{ctx, view};
  VerifyCoordinator coordinator(list, ctx, view);
  coordinator.VerifyAll = verifyAll;
  view.show();
  // Showing the window activates it, and activation is the run.
  coordinator.FormActivate();
  while (!ctx.state.OperationDone) PauseFunc(*ctx.ui, 1000);
}

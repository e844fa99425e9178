#include "client/client_bridge.h"

#include "app/app_context.h"
#include "client/process_control.h"

namespace client {

void WindowlessClientBridge::report(AppContext& ctx) {
  const bool running = IsProcessRunning(ClientFile(ctx.settings.EDPath, ctx.settings.EDFilename));
  ctx.message(kClientErrorTitle, running ? kClientWindowsUnreachableText : kClientNotRunningText,
              MsgIcon::Error, MsgButtons::Ok);
}

void WindowlessClientBridge::SendToRunningClient(const ServerList&, AppContext& ctx) {
  report(ctx);
}

void WindowlessClientBridge::SendToClientConsole(const std::string&, AppContext& ctx) {
  report(ctx);
}

}  // namespace client

#include "client/client_bridge.h"

#include "runtime/app_context.h"
#include "client/launch.h"
#include "platform/process.h"

namespace client {

void WindowlessClientBridge::report(AppContext& ctx) {
  const bool running = platform::isProcessRunning(clientFile(ctx.settings.EDPath, ctx.settings.EDFilename));
  ctx.message(kClientErrorTitle, running ? kClientWindowsUnreachableText : kClientNotRunningText,
              MsgIcon::Error, MsgButtons::Ok);
}

void WindowlessClientBridge::sendToRunningClient(const ServerList&, AppContext& ctx) {
  report(ctx);
}

void WindowlessClientBridge::sendToClientConsole(const std::string&, AppContext& ctx) {
  report(ctx);
}

}  // namespace client

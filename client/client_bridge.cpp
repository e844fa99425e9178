#include "client/client_bridge.h"

#include "client/launch.h"
#include "platform/process.h"
#include "runtime/app_context.h"

namespace ravelin::client {

void WindowlessClientBridge::report(runtime::AppContext& ctx) {
  const bool running =
      platform::isProcessRunning(runtime::clientFile(ctx.settings.EDPath, ctx.settings.EDFilename));
  ctx.message(kClientErrorTitle, running ? kClientWindowsUnreachableText : kClientNotRunningText,
              runtime::MsgIcon::Error, runtime::MsgButtons::Ok);
}

void WindowlessClientBridge::sendToRunningClient(const serverlist::ServerList&,
                                                 runtime::AppContext& ctx) {
  report(ctx);
}

void WindowlessClientBridge::sendToClientConsole(const std::string&, runtime::AppContext& ctx) {
  report(ctx);
}

}  // namespace ravelin::client

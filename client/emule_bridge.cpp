#include "client/emule_bridge.h"

namespace ravelin::client {

std::string EmuleBridge::route() const {
  return "eMule on this desktop, through its window";
}

void EmuleBridge::open(runtime::AppContext&) {
  window_ = platform::findAnsweringWindow(kEmuleWindowMessage, timeouts_.answerMs);
  if (!window_)
    throw BridgeError(TransferFailure::NotRunning,
                      "No eMule window answered: eMule does not run on this desktop.");
}

ClientBridge::AddResult EmuleBridge::addServer(const std::string& ip, const std::string& port) {
  if (!isLinkableServer(ip, port)) return AddResult::Refused;
  if (!window_) throw BridgeError(TransferFailure::Failed, "No eMule window was found");
  const std::string link = serverLink(ip, port);
  if (auto failure = platform::sendTextToWindow(*window_, kEmuleLinkKind, link, timeouts_.sendMs))
    throw BridgeError(TransferFailure::Failed,
                      "eMule's window did not take " + link + ": " + *failure + ".");
  return AddResult::Added;
}

}  // namespace ravelin::client

#include "desk/desk_script_host.h"

#include "client/launch.h"
#include "client/transfer.h"
#include "desk/main_presenter.h"

namespace ravelin::desk {

runtime::ProgressBar& DeskScriptHost::loadSaveBar() {
  return presenter_.loadSaveBar();
}

update::UpdateOutcome DeskScriptHost::update(update::UpdateKind kind) {
  return presenter_.updateServers(kind);
}

verify::VerifyOutcome DeskScriptHost::verify(bool all) {
  return presenter_.verifyServers(all);
}

bool DeskScriptHost::closeCountdown() {
  return presenter_.view().runCloseCountdown();
}

void DeskScriptHost::hideWindows() {
  presenter_.view().hideWindowsForScript();
}

void DeskScriptHost::restoreWindows() {
  presenter_.view().restoreWindowsAfterScript();
}

void DeskScriptHost::saveRunningEDonkey() {
  presenter_.saveToRunningClient();
}

void DeskScriptHost::sendToEDonkeyConsole(const std::string& text) {
  // No window of its own: the outcome goes to the log, and a script asks nothing.
  client::sendToClientConsole(text, presenter_.context());
}

void DeskScriptHost::startEDonkey() {
  client::startEDonkey(presenter_.context());
}

void DeskScriptHost::startFile(const std::string& path) {
  client::startFile(path, presenter_.context());
}

}  // namespace ravelin::desk

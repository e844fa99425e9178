#include "client/client_bridge.h"

#include "client/emule_bridge.h"
#include "client/launch.h"
#include "platform/file_io.h"
#include "platform/system.h"
#include "runtime/app_context.h"
#include "runtime/translate.h"

namespace ravelin::client {

const char* transferFailureText(TransferFailure failure) {
  switch (failure) {
    case TransferFailure::Waiting:
      return N_(
          "Servers are handed to the running eDonkey client at most once in 4 hours.\r\n"
          "Nothing was sent; try again later.");
    case TransferFailure::NotRunning:
      return N_("The eDonkey client is not running!\r\nStart it first, then try again.");
    case TransferFailure::ClientUnreachable:
      return N_(
          "The eDonkey client cannot be reached through its External Connection.\r\n"
          "Nothing was sent to it.");
    case TransferFailure::ConsoleUnreachable:
      return N_("The eDonkey client's console cannot be reached.\r\nThe line was not sent.");
    case TransferFailure::Failed:
      return N_(
          "The transfer to the eDonkey client failed.\r\nThe servers handed over before "
          "the failure stay in the client.");
  }
  return "";
}

std::string serverLink(const std::string& ip, const std::string& port) {
  return "ed2k://|server|" + ip + "|" + port + "|/";
}

bool isLinkableServer(const std::string& ip, const std::string& port) {
  if (ip.empty() || ip.size() > 255) return false;
  for (char c : ip)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
          c == '-'))
      return false;
  if (port.empty() || port.size() > 5) return false;
  for (char c : port)
    if (c < '0' || c > '9') return false;
  const int value = std::stoi(port);
  return value >= 1 && value <= 65535;
}

std::string Ed2kLinksBridge::linksFile() const {
  return runtime::clientFile(settings_.EDPath, "ED2KLinks");
}

std::string Ed2kLinksBridge::lockFile() const {
  return runtime::clientFile(settings_.EDPath, "ED2KLinks_lock");
}

std::string Ed2kLinksBridge::route() const {
  return "aMule on this machine, through " + linksFile();
}

void Ed2kLinksBridge::open(runtime::AppContext&) {
  if (!isLocalClientRunning(settings_)) {
    std::string looked;
    for (const std::string& program : localClientPrograms(settings_))
      looked += (looked.empty() ? "" : ", ") + program;
    throw BridgeError(TransferFailure::NotRunning,
                      looked.empty() ? "No aMule program (amule or amuled) was found."
                                     : "None of these programs runs: " + looked + ".");
  }
}

ClientBridge::AddResult Ed2kLinksBridge::addServer(const std::string& ip, const std::string& port) {
  if (!isLinkableServer(ip, port)) return AddResult::Refused;
  try {
    platform::appendUnderLock(linksFile(), lockFile(), serverLink(ip, port) + "\n", kLockTimeoutMs);
  } catch (const platform::FileError& e) {
    throw BridgeError(TransferFailure::Failed, e.what());
  }
  return AddResult::Added;
}

std::string EcBridge::route() const {
  return "aMule's External Connection at " + endpoint_.host + ":" + std::to_string(endpoint_.port);
}

void EcBridge::open(runtime::AppContext& ctx) {
  session_ = std::make_unique<EcSession>(endpoint_, [&ctx] { ctx.processPending(); });
  try {
    session_->open();
  } catch (const EcError& e) {
    session_.reset();
    throw BridgeError(TransferFailure::ClientUnreachable, e.what());
  }
}

ClientBridge::AddResult EcBridge::addServer(const std::string& ip, const std::string& port) {
  if (!isLinkableServer(ip, port)) return AddResult::Refused;
  if (!session_) throw BridgeError(TransferFailure::Failed, "No External Connection is open");
  try {
    return ecReplyIsSuccess(session_->send("add " + serverLink(ip, port))) ? AddResult::Added
                                                                           : AddResult::Refused;
  } catch (const EcError& e) {
    throw BridgeError(TransferFailure::Failed, e.what());
  }
}

void EcBridge::close() {
  session_.reset();
}

std::unique_ptr<ClientBridge> makeClientBridge(const runtime::Settings& settings) {
  if (platform::kWindows) return std::make_unique<EmuleBridge>();
  if (settings.EDGUI) return std::make_unique<Ed2kLinksBridge>(settings);
  return std::make_unique<EcBridge>(ecEndpoint(settings));
}

}  // namespace ravelin::client

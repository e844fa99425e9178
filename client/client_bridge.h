#pragma once
// The ways into the running eDonkey client. On Linux the client is aMule (the GUI "amule"
// or the daemon "amuled"); it takes server links "ed2k://|server|IP|PORT|/" from the file
// ED2KLinks in its configuration folder and through its External Connection. On Windows
// the client is eMule, which takes them through its main window (client/emule_bridge.h).
#include <memory>
#include <stdexcept>
#include <string>

#include "client/ec_session.h"
#include "runtime/settings.h"
#include "runtime/translate.h"

namespace ravelin::runtime {
struct AppContext;
}

namespace ravelin::client {

// Why a hand-over or a console line did not happen; each has its own message.
enum class TransferFailure {
  Waiting,             // less than 4 hours since the last hand-over, or the first one
  NotRunning,          // no client program runs on this machine
  ClientUnreachable,   // the External Connection cannot be reached
  ConsoleUnreachable,  // the console line cannot be delivered
  Failed,              // the hand-over broke off
};

// The common title of the messages and the text of each.
inline constexpr const char* kClientErrorTitle = N_("Ravelin: eDonkey client");
const char* transferFailureText(TransferFailure failure);

// A failure of a bridge, with its cause in words (never a password or its digest).
class BridgeError : public std::runtime_error {
 public:
  BridgeError(TransferFailure failure, const std::string& cause)
      : std::runtime_error(cause), failure_(failure) {}
  TransferFailure failure() const { return failure_; }

 private:
  TransferFailure failure_;
};

// The server link of the client's own link format.
std::string serverLink(const std::string& ip, const std::string& port);
// A server that can be written as a link: a host name or IPv4 address of letters,
// digits, dots and hyphens, and a port from 1 to 65535. The fields come from downloaded
// lists; anything else could smuggle a second line into the client.
bool isLinkableServer(const std::string& ip, const std::string& port);

class ClientBridge {
 public:
  enum class AddResult { Added, Refused };

  virtual ~ClientBridge() = default;
  // Where the servers go, in words: the description line of the transfer window.
  virtual std::string route() const = 0;
  // The running check, and whatever the hand-over needs opened. Throws BridgeError
  // (NotRunning or ClientUnreachable). ctx serves the user interface during waits.
  virtual void open(runtime::AppContext& ctx) = 0;
  // Hands one server over. Refused: it is no server that can be written as a link, or the
  // client answered that it does not take it (already listed). Throws BridgeError
  // (Failed) when the hand-over cannot go on.
  virtual AddResult addServer(const std::string& ip, const std::string& port) = 0;
  // Ends the hand-over; never throws.
  virtual void close() = 0;
};

// The client on this machine, through its ED2KLinks file: one line per server, appended
// under the client's lock (ED2KLinks_lock), so that no line is lost while the client
// reads and removes the file. The client runs when one of localClientPrograms() does.
class Ed2kLinksBridge : public ClientBridge {
 public:
  static constexpr std::uint32_t kLockTimeoutMs = 5000;

  explicit Ed2kLinksBridge(runtime::Settings settings) : settings_(std::move(settings)) {}
  std::string route() const override;
  void open(runtime::AppContext& ctx) override;
  AddResult addServer(const std::string& ip, const std::string& port) override;
  void close() override {}

  std::string linksFile() const;
  std::string lockFile() const;

 private:
  runtime::Settings settings_;
};

// The client anywhere, through its External Connection (amulecmd): one "add" line per
// server in one session. The client runs when the session opens.
class EcBridge : public ClientBridge {
 public:
  explicit EcBridge(EcEndpoint endpoint) : endpoint_(std::move(endpoint)) {}
  std::string route() const override;
  void open(runtime::AppContext& ctx) override;
  AddResult addServer(const std::string& ip, const std::string& port) override;
  void close() override;

 private:
  EcEndpoint endpoint_;
  std::unique_ptr<EcSession> session_;
};

// The bridge of this system: on Windows eMule's window; elsewhere the one that EDGUI
// chooses, ED2KLinks when set, the External Connection otherwise.
std::unique_ptr<ClientBridge> makeClientBridge(const runtime::Settings& settings);

}  // namespace ravelin::client

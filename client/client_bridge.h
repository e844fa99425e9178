#pragma once
// Handing servers and console lines to the running eDonkey client.
#include <string>

namespace ravelin::runtime {
struct AppContext;
}
namespace ravelin::serverlist {
class ServerList;
}

namespace ravelin::client {

// The two operations that drive the running client's own windows: the transfer of the
// checked servers ("Save to running EDonkey", script command SaveRunningEDonkey) and one
// console line (SendToEDonkeyConsole). Both show their own messages (none while a script
// runs) and never throw.
class ClientBridge {
 public:
  virtual ~ClientBridge() = default;
  virtual void sendToRunningClient(const serverlist::ServerList& list,
                                   runtime::AppContext& ctx) = 0;
  virtual void sendToClientConsole(const std::string& text, runtime::AppContext& ctx) = 0;
};

// Texts of the bridge's error boxes.
inline constexpr const char* kClientErrorTitle = "eDonkey client";
inline constexpr const char* kClientNotRunningText =
    "The eDonkey client is not running!\r\nStart it first, then try again.";
inline constexpr const char* kClientWindowsUnreachableText =
    "The eDonkey client is running, but its windows cannot be reached from here.\r\nNothing "
    "was sent to it.";

// The bridge for programs without access to the client's windows (ravelin-cli, and every
// build until the desktop integration exists). It finds out whether the client runs; when
// it does not, it reports that; when it does, it reports that its windows are out of
// reach. Nothing is ever sent, and no transfer time is recorded.
class WindowlessClientBridge : public ClientBridge {
 public:
  void sendToRunningClient(const serverlist::ServerList& list, runtime::AppContext& ctx) override;
  void sendToClientConsole(const std::string& text, runtime::AppContext& ctx) override;

 private:
  void report(runtime::AppContext& ctx);
};

}  // namespace ravelin::client

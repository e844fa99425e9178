#pragma once
// amuled, the aMule daemon, as a peer for the hand-over tests. It only ever runs inside a
// private network namespace that the test program enters first, so nothing it is given
// (server addresses outside loopback) can reach the outside.
#include <sys/types.h>

#include <string>
#include <vector>

namespace test {

// Moves this process into a fresh network namespace of its own with only loopback, up.
// Call before any thread starts. Returns an empty string, or why it could not.
std::string EnterPrivateNetwork();
// What EnterPrivateNetwork() said at the start of the test program.
const std::string& PrivateNetworkFailure();
void SetPrivateNetworkFailure(std::string reason);

class AmulePeer {
 public:
  static constexpr const char* kPassword = "ravelin-ec-secret";

  // Makes a home directory with an amule.conf (External Connection on a free loopback
  // port with kPassword, no automatic connections, no list downloads, LAN addresses
  // allowed) and starts amuled there; waits until its External Connection answers.
  AmulePeer();
  // SIGTERM, then SIGKILL when it has not ended within 10 seconds.
  ~AmulePeer();
  AmulePeer(const AmulePeer&) = delete;
  AmulePeer& operator=(const AmulePeer&) = delete;

  // Empty when amuled runs; otherwise why not.
  const std::string& error() const { return error_; }
  const std::string& home() const { return home_; }
  // The configuration folder, where ED2KLinks goes (ends in "/").
  std::string configDir() const { return home_ + "/.aMule/"; }
  int ecPort() const { return ecPort_; }

  // One console line through amulecmd (settings from a file in the peer's home); its
  // whole output.
  std::string command(const std::string& line) const;
  // "IP:PORT" of every server amuled lists.
  std::vector<std::string> servers() const;
  // amuled's log, as its console shows it.
  std::string log() const { return command("show log"); }
  // Waits (at most ms) until amuled has read and removed the ED2KLinks file.
  bool waitForLinksRead(int ms) const;

 private:
  std::string home_;
  std::string error_;
  int ecPort_ = 0;
  pid_t pid_ = -1;
};

}  // namespace test

#pragma once
// amuled, the aMule daemon, as a peer for the hand-over tests. It runs only inside the
// network namespace of its own that the test program enters first, so the server
// addresses it is given (outside loopback) reach nothing.
#include <sys/types.h>

#include <string>
#include <vector>

namespace test {

// Moves this process into a fresh network namespace with only loopback, up (call before
// any thread starts); returns why it could not, or "". PrivateNetworkFailure() keeps that.
std::string EnterPrivateNetwork();
std::string& PrivateNetworkFailure();

// amuled in a throw-away home: External Connection on a free loopback port with
// kPassword, no automatic connections or downloads, LAN addresses allowed; ready once its
// External Connection answers, stopped with SIGTERM.
class AmulePeer {
 public:
  static constexpr const char* kPassword = "ravelin-ec-secret";
  AmulePeer();
  ~AmulePeer();
  const std::string& error() const { return error_; }  // why amuled does not run
  std::string configDir() const { return home_ + "/.aMule/"; }
  int ecPort() const { return ecPort_; }
  // The whole output of one console line (amulecmd, settings from the peer's home).
  std::string command(const std::string& line) const;
  // "IP:PORT" of the listed servers starting with prefix, sorted, once at least count of
  // them are there (or 10 seconds have passed).
  std::vector<std::string> servers(const std::string& prefix, size_t count) const;

 private:
  std::string home_, error_;
  int ecPort_ = 0;
  pid_t pid_ = -1;
};

}  // namespace test

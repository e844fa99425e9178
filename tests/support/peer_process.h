#pragma once
// Real peer programs for network tests: started on loopback on free ports, stopped with
// the object. Only 127.0.0.1 is ever used.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "peers/loopback_peers.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::platform;

namespace test {

// A Linux program as a peer, in a process group of its own that is ended (SIGTERM, then
// SIGKILL) when the object goes. On Windows (under wine) it runs under
// tests/peers/supervise.sh, which the object tells through files when to end it.
class PeerProcess {
 public:
  // Starts argv[0] (looked up in PATH). With readPort the child's first output line must
  // be its port number (read within a few seconds).
  explicit PeerProcess(const std::vector<std::string>& argv, bool readPort = false);
  ~PeerProcess();
  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;
  bool running() const { return running_; }
  int port() const { return port_; }

 private:
  bool running_ = false;
  int port_ = 0;
  std::intptr_t pid_ = 0;            // the process id on POSIX
  std::unique_ptr<TempDir> folder_;  // the supervisor's folder on Windows
};

// Runs a Linux program (looked up in PATH) to its end, at most a minute; true when it
// exited with 0.
bool RunProgram(const std::vector<std::string>& argv);
// path as the Linux peer programs name it (under wine: the Unix path of a Windows path).
std::string UnixPath(const std::string& path);

// Runs the loop until done() holds or ms milliseconds have passed; returns done().
inline bool RunLoopUntil(platform::EventLoop& loop, const std::function<bool()>& done, int ms) {
  const std::uint32_t start = platform::systemClock().ticks();
  while (!done()) {
    if (platform::systemClock().ticks() - start >= static_cast<std::uint32_t>(ms)) return done();
    loop.waitAndProcess(20);
  }
  return true;
}

// A certificate authority made for this test run with the openssl program, with leaf
// certificates signed by it: one for localhost and 127.0.0.1, one for another name only.
struct TestCa {
  std::string dir;
  std::string caCert;               // the authority (PEM)
  std::string leafCert, leafKey;    // localhost, IP 127.0.0.1
  std::string otherCert, otherKey;  // "other.invalid" only
  std::string selfCert, selfKey;    // self-signed localhost (no authority)
  bool ok = false;
  std::string error;
  static const TestCa& get();
};

// Peers from tests/peers and Debian packages.
std::string PeerScript(const std::string& name);

// The odd-reply HTTP(S) server (tests/peers/odd_http_server.py).
class OddHttpServer {
 public:
  struct Options {
    std::string log;  // request log file
    std::string met;  // file served at /met
    std::string dir;  // directory served at /file/NAME
    std::string tlsCert, tlsKey;
  };
  explicit OddHttpServer(const Options& o);
  int port() const { return proc_.port(); }
  std::string url(const std::string& path, bool https = false) const;
  // The raw requests logged so far.
  std::vector<std::string> requests() const;

 private:
  Options opts_;
  PeerProcess proc_;
};

// tinyproxy on a free loopback port, allowing CONNECT to the given ports.
class TinyProxy {
 public:
  explicit TinyProxy(const std::vector<int>& connectPorts);
  ~TinyProxy();
  int port() const { return port_; }
  bool ok() const { return ok_; }

 private:
  TempDir dir_;
  int port_ = 0;
  bool ok_ = false;
  std::unique_ptr<PeerProcess> proc_;
};

}  // namespace test

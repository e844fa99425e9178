#include "peers/dante_proxy.h"

#include <random>
#include <vector>

#include "platform/clock.h"
#include "support/peer_process.h"

using namespace ravelin;

namespace test {

namespace {

constexpr const char* kDanted = "/usr/sbin/danted";

// Whether the peers run as root (the Unix user, also when the tests run under wine).
bool PeersRunAsRoot() {
  static const bool root = RunProgram({"sh", "-c", "test \"$(id -u)\" = 0"});
  return root;
}

}  // namespace

bool DanteProxy::available() {
  return RunProgram({"test", "-x", kDanted});
}

bool DanteProxy::canCreateUsers() {
  return PeersRunAsRoot() && RunProgram({"test", "-x", "/usr/sbin/useradd"}) &&
         RunProgram({"test", "-x", "/usr/sbin/chpasswd"});
}

DanteProxy::DanteProxy(Options options) {
  if (!available()) {
    failure_ = std::string(kDanted) + " is not installed (Debian package dante-server)";
    return;
  }
  if (options.usernameAuth) {
    if (!canCreateUsers()) {
      failure_ = "user/password authentication checks system users: needs root to add one";
      return;
    }
    std::random_device rd;
    user_ = "rvtest" + std::to_string(rd() % 1000000) + "x" + std::to_string(rd() % 100000);
    password_ = "pw" + std::to_string(rd());
    for (int attempt = 0; attempt < 10 && !userCreated_; ++attempt) {
      userCreated_ =
          RunProgram({"/usr/sbin/useradd", "-M", "-N", "-s", "/usr/sbin/nologin", user_});
      if (!userCreated_) platform::systemClock().sleepMs(200);
    }
    if (!userCreated_ ||
        !RunProgram({"sh", "-c", "echo '" + user_ + ":" + password_ + "' | /usr/sbin/chpasswd"})) {
      failure_ = "could not create the throwaway user " + user_;
      return;
    }
  }

  // The port was free a moment ago; another process may take it first, so a few tries.
  for (int attempt = 0; attempt < 3; ++attempt) {
    port_ = FreeLoopbackPort();
    std::string text;
    text += "logoutput: " + UnixPath(dir_.file("danted.log")) + "\n";
    text += "internal: 127.0.0.1 port = " + std::to_string(port_) + "\n";
    text += "external: 127.0.0.1\n";
    text += "clientmethod: none\n";
    text += options.usernameAuth ? "socksmethod: username\n" : "socksmethod: none\n";
    if (PeersRunAsRoot()) text += "user.privileged: root\nuser.unprivileged: nobody\n";
    text += "client pass { from: 127.0.0.0/8 to: 0.0.0.0/0 }\n";
    // Relays to loopback only: nothing a test does can leave the machine.
    text +=
        "socks pass {\n  from: 127.0.0.0/8 to: 127.0.0.0/8\n  command: connect\n"
        "  log: connect error\n}\n";
    text += "socks block { from: 0.0.0.0/0 to: 0.0.0.0/0 }\n";
    WriteFile(dir_.file("danted.conf"), text);
    process_ = std::make_unique<PeerProcess>(
        std::vector<std::string>{kDanted, "-f", UnixPath(dir_.file("danted.conf")), "-p",
                                 UnixPath(dir_.file("danted.pid")), "-N", "1"});
    if (process_->running() && WaitForPort(port_, 5000)) {
      failure_.clear();
      return;
    }
    failure_ = "danted did not start: " + log();
    process_.reset();
  }
}

DanteProxy::~DanteProxy() {
  process_.reset();
  if (userCreated_) RunProgram({"/usr/sbin/userdel", user_});
}

std::string DanteProxy::log() const {
  return ReadFile(dir_.file("danted.log"));
}

}  // namespace test

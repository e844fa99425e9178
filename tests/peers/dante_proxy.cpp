#include "peers/dante_proxy.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "peers/loopback_peers.h"
#include "platform/clock.h"
#include "support/peer_process.h"

extern char** environ;

using namespace ravelin;

namespace test {

namespace {

int runCommand(const std::string& command) {
  const int rc = std::system(command.c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

}  // namespace

bool DanteProxy::available() {
  return ::access("/usr/sbin/danted", X_OK) == 0;
}

bool DanteProxy::canCreateUsers() {
  return ::geteuid() == 0 && ::access("/usr/sbin/useradd", X_OK) == 0 &&
         ::access("/usr/sbin/chpasswd", X_OK) == 0;
}

DanteProxy::DanteProxy(Options options) {
  if (!available()) {
    failure_ = "/usr/sbin/danted is not installed (Debian package dante-server)";
    return;
  }
  const bool root = ::geteuid() == 0;
  if (options.usernameAuth) {
    if (!canCreateUsers()) {
      failure_ = "user/password authentication checks system users: needs root to add one";
      return;
    }
    std::random_device rd;
    user_ = "rvtest" + std::to_string(::getpid()) + "x" + std::to_string(rd() % 100000);
    password_ = "pw" + std::to_string(rd());
    for (int attempt = 0; attempt < 10 && !userCreated_; ++attempt) {
      if (runCommand("/usr/sbin/useradd -M -N -s /usr/sbin/nologin " + user_ +
                     " >/dev/null 2>&1") == 0)
        userCreated_ = true;
      else
        platform::systemClock().sleepMs(200);
    }
    if (!userCreated_ || runCommand("echo '" + user_ + ":" + password_ +
                                    "' | /usr/sbin/chpasswd >/dev/null 2>&1") != 0) {
      failure_ = "could not create the throwaway user " + user_;
      return;
    }
  }

  for (int attempt = 0; attempt < 3; ++attempt) {
    port_ = ClosedLoopbackPort();
    const std::string conf = dir_.file("danted.conf");
    std::string text;
    text += "logoutput: " + dir_.file("danted.log") + "\n";
    text += "internal: 127.0.0.1 port = " + std::to_string(port_) + "\n";
    text += "external: 127.0.0.1\n";
    text += "clientmethod: none\n";
    text += options.usernameAuth ? "socksmethod: username\n" : "socksmethod: none\n";
    if (root) text += "user.privileged: root\nuser.unprivileged: nobody\n";
    text += "client pass { from: 127.0.0.0/8 to: 0.0.0.0/0 }\n";
    // Relays to loopback only: nothing a test does can leave the machine.
    text +=
        "socks pass {\n  from: 127.0.0.0/8 to: 127.0.0.0/8\n  command: connect\n"
        "  log: connect error\n}\n";
    text += "socks block { from: 0.0.0.0/0 to: 0.0.0.0/0 }\n";
    WriteFile(conf, text);

    const std::string out = dir_.file("danted.out");
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&fa, 1, 2);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    const std::string pidFile = dir_.file("danted.pid");
    std::vector<std::string> args = {"/usr/sbin/danted", "-f", conf, "-p", pidFile, "-N", "1"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &fa, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) {
      failure_ = "cannot start danted";
      return;
    }
    pid_ = pid;
    // Ready when it accepts a connection (bounded: at most 50 tries in 5 s).
    for (int i = 0; i < 50; ++i) {
      if (WaitForPort(port_, 0)) {
        failure_.clear();
        return;
      }
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      platform::systemClock().sleepMs(100);
    }
    failure_ = "danted did not start: " + ReadFile(out) + log();
    if (pid_ > 0) {
      ::kill(-pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
  }
}

DanteProxy::~DanteProxy() {
  if (pid_ > 0) {
    ::kill(-pid_, SIGTERM);
    bool gone = false;
    for (int i = 0; i < 50 && !gone; ++i) {
      if (::waitpid(pid_, nullptr, WNOHANG) == pid_)
        gone = true;
      else
        platform::systemClock().sleepMs(50);
    }
    if (!gone) {
      ::kill(-pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    // Children of the process group that outlived the mother.
    ::kill(-pid_, SIGKILL);
  }
  if (userCreated_) runCommand("/usr/sbin/userdel " + user_ + " >/dev/null 2>&1");
}

std::string DanteProxy::log() const {
  return ReadFile(dir_.file("danted.log"));
}

}  // namespace test

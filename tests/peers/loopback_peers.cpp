#include "peers/loopback_peers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "platform/clock.h"

extern char** environ;

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;

namespace test {

namespace {

int listenLoopback(int backlog, std::uint16_t& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, backlog) != 0) {
    ::close(fd);
    return -1;
  }
  socklen_t len = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  port = ntohs(a.sin_port);
  return fd;
}

void signalStop(int fd) {
  const std::uint64_t one = 1;
  [[maybe_unused]] ssize_t n = ::write(fd, &one, sizeof one);
}

// Connects a blocking socket to 127.0.0.1:port with a time limit; the fd, or -1.
int connectWithin(std::uint16_t port, int timeoutMs) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(port);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 && errno != EINPROGRESS) {
    ::close(fd);
    return -1;
  }
  pollfd p{fd, POLLOUT, 0};
  if (::poll(&p, 1, timeoutMs) != 1) {
    ::close(fd);
    return -1;
  }
  int err = 0;
  socklen_t len = sizeof err;
  ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
  if (err != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

std::uint16_t ClosedLoopbackPort() {
  std::uint16_t port = 0;
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  port = ntohs(a.sin_port);
  ::close(fd);
  return port;
}

// ---------------------------------------------------------------------------------------

LoopbackListener::LoopbackListener(bool accepting, int backlog, bool closeAtOnce)
    : closeAtOnce_(closeAtOnce) {
  fd_ = listenLoopback(backlog, port_);
  stopFd_ = ::eventfd(0, EFD_CLOEXEC);
  if (accepting) thread_ = std::thread([this] { run(); });
}

LoopbackListener::~LoopbackListener() {
  signalStop(stopFd_);
  if (thread_.joinable()) thread_.join();
  for (int f : fillers_) ::close(f);
  ::close(fd_);
  ::close(stopFd_);
}

void LoopbackListener::run() {
  std::vector<pollfd> fds{{stopFd_, POLLIN, 0}, {fd_, POLLIN, 0}};
  for (;;) {
    if (::poll(fds.data(), fds.size(), 1000) < 0 && errno != EINTR) break;
    if (fds[0].revents) break;
    if (fds[1].revents & POLLIN) {
      const int c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (c >= 0) {
        ++accepted_;
        if (closeAtOnce_)
          ::close(c);
        else
          fds.push_back({c, POLLIN, 0});
      }
    }
    for (std::size_t i = 2; i < fds.size();) {
      if (fds[i].revents) {
        char buf[65536];
        const ssize_t n = ::recv(fds[i].fd, buf, sizeof buf, 0);
        if (n > 0) {
          bytes_ += n;
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
          ::close(fds[i].fd);
          fds.erase(fds.begin() + static_cast<long>(i));
          continue;
        }
      }
      ++i;
    }
  }
  for (std::size_t i = 2; i < fds.size(); ++i) ::close(fds[i].fd);
}

void LoopbackListener::startAccepting() {
  if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
}

int LoopbackListener::fillAcceptQueue() {
  for (int i = 0; i < 64; ++i) {
    const int c = connectWithin(port_, 300);
    if (c < 0) break;
    fillers_.push_back(c);
  }
  return static_cast<int>(fillers_.size());
}

// ---------------------------------------------------------------------------------------

ScriptedPeer::ScriptedPeer(std::vector<Step> steps) : steps_(std::move(steps)) {
  fd_ = listenLoopback(4, port_);
  stopFd_ = ::eventfd(0, EFD_CLOEXEC);
  thread_ = std::thread([this] { run(); });
}

ScriptedPeer::~ScriptedPeer() {
  signalStop(stopFd_);
  if (thread_.joinable()) thread_.join();
  ::close(fd_);
  ::close(stopFd_);
}

std::string ScriptedPeer::received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

bool ScriptedPeer::waitDone(std::uint32_t ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  return cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return done_; });
}

// Waits for data on conn (or the stop signal) and records it. False when the connection
// ended, the stop signal came or nothing arrived in time.
bool ScriptedPeer::readSome(int conn, int timeoutMs) {
  pollfd fds[2] = {{stopFd_, POLLIN, 0}, {conn, POLLIN, 0}};
  if (::poll(fds, 2, timeoutMs) <= 0 || fds[0].revents) return false;
  char buf[4096];
  const ssize_t n = ::recv(conn, buf, sizeof buf, 0);
  if (n <= 0) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  received_.append(buf, static_cast<std::size_t>(n));
  return true;
}

void ScriptedPeer::run() {
  pollfd fds[2] = {{stopFd_, POLLIN, 0}, {fd_, POLLIN, 0}};
  int conn = -1;
  if (::poll(fds, 2, 20000) > 0 && !fds[0].revents)
    conn = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (conn >= 0) {
    accepted_ = true;
    std::size_t expected = 0;
    bool open = true;
    for (const Step& step : steps_) {
      if (!open) break;
      if (step.kind == Step::Expect) {
        expected += step.count;
        while (received().size() < expected)
          if (!readSome(conn, 10000)) {
            open = false;
            break;
          }
      } else if (step.kind == Step::Send) {
        if (::send(conn, step.bytes.data(), step.bytes.size(), MSG_NOSIGNAL) !=
            static_cast<ssize_t>(step.bytes.size()))
          open = false;
      } else {
        ::close(conn);
        conn = -1;
        open = false;
      }
    }
    if (conn >= 0) {
      while (readSome(conn, 20000)) {
      }
      ::close(conn);
    }
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
  }
  cv_.notify_all();
}

// ---------------------------------------------------------------------------------------

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
      const int c = connectWithin(port_, 100);
      if (c >= 0) {
        ::close(c);
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

#include "peers/loopback_peers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/clock.h"


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

}  // namespace test

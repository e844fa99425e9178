#pragma once
// A loopback listener for the benchmarks that connect.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

namespace bench {

// Accepts every connection on a background thread and closes it at once.
class Listener {
 public:
  Listener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(fd_, 512);
    socklen_t len = sizeof a;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    stop_ = ::eventfd(0, EFD_CLOEXEC);
    thread_ = std::thread([this] {
      pollfd fds[2] = {{stop_, POLLIN, 0}, {fd_, POLLIN, 0}};
      while (::poll(fds, 2, 1000) >= 0 && !fds[0].revents) {
        if (fds[1].revents) {
          const int c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
          if (c >= 0) ::close(c);
        }
      }
    });
  }
  ~Listener() {
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(stop_, &one, sizeof one);
    thread_.join();
    ::close(fd_);
    ::close(stop_);
  }
  std::uint16_t port() const { return port_; }

 private:
  int fd_ = -1, stop_ = -1;
  std::uint16_t port_ = 0;
  std::thread thread_;
};

// n listening sockets on 127.0.0.1, each on a port of its own (the list's key is address
// and port, so 1,000 servers need 1,000 ports), served by one thread that accepts every
// connection and closes it at once. Silent ones accept nothing: each has a backlog of 0
// taken by one connection of its own, so the system drops every further SYN and a
// connection attempt to it times out.
class ListenerSet {
 public:
  explicit ListenerSet(int n, bool silent = false) {
    rlimit rl{};
    ::getrlimit(RLIMIT_NOFILE, &rl);
    const rlim_t wanted = static_cast<rlim_t>(n) * 2 + 512;
    if (rl.rlim_cur < wanted) {
      rl.rlim_cur = std::min(wanted, rl.rlim_max);
      ::setrlimit(RLIMIT_NOFILE, &rl);
    }
    stop_ = ::eventfd(0, EFD_CLOEXEC);
    fds_.push_back({stop_, POLLIN, 0});
    for (int i = 0; i < n; ++i) {
      const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
      sockaddr_in a{};
      a.sin_family = AF_INET;
      a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      socklen_t len = sizeof a;
      if (fd < 0) break;
      if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
          ::listen(fd, silent ? 0 : 64) != 0 ||
          ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        ::close(fd);
        break;
      }
      if (silent) {
        const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (filler < 0 || ::connect(filler, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
          if (filler >= 0) ::close(filler);
          ::close(fd);
          break;
        }
        fillers_.push_back(filler);
        others_.push_back(fd);
      } else {
        fds_.push_back({fd, POLLIN, 0});
      }
      ports_.push_back(ntohs(a.sin_port));
    }
    thread_ = std::thread([this] {
      while (::poll(fds_.data(), fds_.size(), 1000) >= 0 && !fds_[0].revents) {
        for (std::size_t i = 1; i < fds_.size(); ++i) {
          if (!fds_[i].revents) continue;
          const int c = ::accept4(fds_[i].fd, nullptr, nullptr, SOCK_CLOEXEC);
          if (c >= 0) ::close(c);
        }
      }
    });
  }
  ~ListenerSet() {
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(stop_, &one, sizeof one);
    thread_.join();
    for (const pollfd& p : fds_) ::close(p.fd);
    for (int fd : fillers_) ::close(fd);
    for (int fd : others_) ::close(fd);
  }
  const std::vector<std::uint16_t>& ports() const { return ports_; }

 private:
  std::vector<pollfd> fds_;
  std::vector<std::uint16_t> ports_;
  std::vector<int> fillers_, others_;
  int stop_ = -1;
  std::thread thread_;
};

}  // namespace bench

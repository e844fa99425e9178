#pragma once
// A loopback listener for the benchmarks that connect.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <thread>

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

}  // namespace bench

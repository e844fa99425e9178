#pragma once
// An eD2k server on 127.0.0.1 as the verifier sees it: a TCP listener (or its port, closed
// again) and, on the TCP port + 4, a UDP socket that answers status requests (E3 96, then
// a challenge whose high half is 55AA) in the way chosen; other datagrams get no answer.
#include <arpa/inet.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "peers/loopback_peers.h"

namespace test {

class Ed2kStatusPeer {
 public:
  enum class Answer {
    Counts,          // challenge, users, files
    AllFields,       // and five more fields
    LongTail,        // and 40 bytes more
    WrongChallenge,  // its low bit flipped
    OtherPort,       // sent from another port
    OtherAddress,    // sent from 127.0.0.2
    TooShort,        // the files count cut to three bytes
    Silent
  };

  Ed2kStatusPeer(Answer answer, std::uint32_t users, std::uint32_t files, bool listening)
      : answer_(answer), fields_{users, files} {
    if (answer == Answer::AllFields || answer == Answer::LongTail)
      fields_.insert(fields_.end(), {5000, 100000, 200000, 0x7FB, 12});
    // The listener's (ephemeral) port + 4 may be taken: a few tries find a pair.
    for (int attempt = 0; attempt < 20 && udp_ < 0; ++attempt) {
      listener_ = std::make_unique<LoopbackListener>();
      udp_ = bindUdp("127.0.0.1", listener_->port() + 4);
    }
    tcpPort_ = listener_->port();
    if (!listening) listener_.reset();
    other_ = bindUdp(answer == Answer::OtherAddress ? "127.0.0.2" : "127.0.0.1", 0);
    thread_ = std::thread([this] { run(); });
  }
  ~Ed2kStatusPeer() {
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(stopFd_, &one, sizeof one);
    thread_.join();
    for (int fd : {udp_, other_, stopFd_}) ::close(fd);
  }
  std::uint16_t tcpPort() const { return tcpPort_; }
  // Datagrams received and answered (or, on purpose, not).
  int handled() const { return handled_.load(); }

 private:
  static int bindUdp(const char* address, std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{AF_INET, htons(port), {}, {}};
    ::inet_aton(address, &a.sin_addr);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) return fd;
    ::close(fd);
    return -1;
  }
  void run() {
    pollfd fds[2] = {{stopFd_, POLLIN, 0}, {udp_, POLLIN, 0}};
    while (::poll(fds, 2, -1) > 0 && !fds[0].revents) {
      char in[2048];
      sockaddr_in from{};
      socklen_t len = sizeof from;
      const ssize_t n =
          ::recvfrom(udp_, in, sizeof in, 0, reinterpret_cast<sockaddr*>(&from), &len);
      const std::string request(in, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
      if (answer_ != Answer::Silent && request.size() == 6 && request.starts_with("\xE3\x96") &&
          request.ends_with("\xAA\x55")) {
        std::string reply = "\xE3\x97" + request.substr(2);
        if (answer_ == Answer::WrongChallenge) reply[2] = static_cast<char>(reply[2] ^ 1);
        for (std::uint32_t v : fields_)
          for (int i = 0; i < 4; ++i) reply += static_cast<char>((v >> (8 * i)) & 0xFF);
        if (answer_ == Answer::LongTail) reply.append(40, '\x5A');
        if (answer_ == Answer::TooShort) reply.pop_back();
        const bool fromOther = answer_ == Answer::OtherPort || answer_ == Answer::OtherAddress;
        ::sendto(fromOther ? other_ : udp_, reply.data(), reply.size(), 0,
                 reinterpret_cast<sockaddr*>(&from), len);
      }
      ++handled_;
    }
  }

  Answer answer_;
  std::vector<std::uint32_t> fields_;
  std::unique_ptr<LoopbackListener> listener_;
  std::uint16_t tcpPort_ = 0;
  int udp_ = -1, other_ = -1, stopFd_ = ::eventfd(0, EFD_CLOEXEC);
  std::atomic<int> handled_{0};
  std::thread thread_;
};

}  // namespace test

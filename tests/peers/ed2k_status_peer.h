#pragma once
// An eD2k server on 127.0.0.1 as the verifier sees it: a TCP listener (or its port, closed
// again) and, on the TCP port + 4, a UDP socket that answers status requests (E3 96, then
// a challenge whose high half is 55AA) in the way chosen; other datagrams get no answer.
#include <algorithm>

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
    OtherAddress,    // sent from 127.0.0.2, from the status port
    TooShort,        // the files count cut to three bytes
    Silent
  };

  Ed2kStatusPeer(Answer answer, std::uint32_t users, std::uint32_t files, bool listening)
      : answer_(answer), fields_{users, files} {
    if (answer == Answer::AllFields || answer == Answer::LongTail)
      fields_.insert(fields_.end(), {5000, 100000, 200000, 0x7FB, 12});
    // The listener's (ephemeral) port + 4 may be taken: a few tries find a pair.
    for (int attempt = 0; attempt < 20 && udp_ == kNoSocket; ++attempt) {
      listener_ = std::make_unique<LoopbackListener>();
      if (listener_->port() <= 65535 - 4)
        udp_ = bindUdp(0x7f000001, static_cast<std::uint16_t>(listener_->port() + 4));
    }
    tcpPort_ = listener_->port();
    if (!listening) listener_.reset();
    // wine binds a UDP socket on 127.0.0.2 to all of lo and sends from 127.0.0.1: there the
    // status port is taken, and unavailable() says why the peer cannot answer that way.
    other_ = answer == Answer::OtherAddress
                 ? bindUdp(0x7f000002, static_cast<std::uint16_t>(tcpPort_ + 4))
                 : bindUdp(0x7f000001, 0);
    if (udp_ != kNoSocket) thread_ = std::thread([this] { run(); });
  }
  ~Ed2kStatusPeer() {
    stop_.set();
    if (thread_.joinable()) thread_.join();
    for (SocketHandle s : {udp_, other_})
      if (s != kNoSocket) closeSocket(s);
  }
  std::uint16_t tcpPort() const { return tcpPort_; }
  // Empty when the peer answers as chosen, otherwise why it cannot.
  std::string unavailable() const {
    if (udp_ == kNoSocket) return "no free UDP port at a TCP listener's port + 4";
    if (other_ != kNoSocket) return {};
    return answer_ == Answer::OtherAddress
               ? "cannot bind 127.0.0.2 on the status port beside 127.0.0.1"
               : "no second UDP socket";
  }
  // Datagrams received and answered (or, on purpose, not).
  int handled() const { return handled_.load(); }

 private:
  static SocketHandle bindUdp(std::uint32_t address, std::uint16_t port) {
    int error = 0;
    const SocketHandle s = openSocket(SocketType::Datagram, error);
    if (s == kNoSocket || bindSocket(s, address, port) == 0) return s;
    closeSocket(s);
    return kNoSocket;
  }
  void run() {
    ReadyEntry entry{udp_, EventLoop::kRead, 0};
    bool stopped = false;
    while (stop_.wait(&entry, 1, -1, stopped) >= 0 && !stopped) {
      char in[2048];
      std::uint32_t address = 0;
      std::uint16_t port = 0;
      bool fromIPv4 = false;
      int error = 0;
      const long n = receiveDatagram(udp_, in, sizeof in, address, port, fromIPv4, error);
      if (n < 0 && (error == wsaeWouldBlock || error == wsaeIntr)) continue;
      const std::string request(in, static_cast<std::size_t>(std::max<long>(n, 0)));
      if (answer_ != Answer::Silent && request.size() == 6 && request.starts_with("\xE3\x96") &&
          request.ends_with("\xAA\x55")) {
        std::string reply = "\xE3\x97" + request.substr(2);
        if (answer_ == Answer::WrongChallenge) reply[2] = static_cast<char>(reply[2] ^ 1);
        for (std::uint32_t v : fields_)
          for (int i = 0; i < 4; ++i) reply += static_cast<char>((v >> (8 * i)) & 0xFF);
        if (answer_ == Answer::LongTail) reply.append(40, '\x5A');
        if (answer_ == Answer::TooShort) reply.pop_back();
        const bool fromOther = answer_ == Answer::OtherPort || answer_ == Answer::OtherAddress;
        sendDatagram(fromOther ? other_ : udp_, reply.data(), reply.size(), address, port, error);
      }
      ++handled_;
    }
  }

  Answer answer_;
  std::vector<std::uint32_t> fields_;
  std::unique_ptr<LoopbackListener> listener_;
  std::uint16_t tcpPort_ = 0;
  SocketHandle udp_ = kNoSocket, other_ = kNoSocket;
  Wakeup stop_;
  std::atomic<int> handled_{0};
  std::thread thread_;
};

}  // namespace test

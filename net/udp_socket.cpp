#include "net/udp_socket.h"

#include <vector>

#include "net/async_socket.h"
#include "net/net_errors.h"
#include "net/socket_errors.h"

namespace ravelin::net {

namespace {

// The largest payload of an IPv4 datagram.
constexpr std::size_t kMaxDatagram = 65507;
// Datagrams read per readiness callback, so that one busy socket cannot hold its loop.
constexpr int kReadsPerCallback = 64;

void failWith(const std::string& function, int code) {
  throw SocketError(socketErrorMessage(code, function), code);
}

}  // namespace

std::optional<UdpEndpoint> udpEndpoint(const std::string& address, std::uint16_t port) {
  const std::optional<std::uint32_t> a = platform::parseIPv4(address);
  if (!a) return std::nullopt;
  return UdpEndpoint{*a, port};
}

UdpSocket::UdpSocket(platform::EventLoop& loop)
    : loop_(loop), alive_(std::make_shared<bool>(true)) {}

UdpSocket::~UdpSocket() {
  *alive_ = false;
  close();
}

void UdpSocket::open() {
  if (fd_ >= 0) return;
  int error = 0;
  const int fd = platform::openSocket(platform::SocketType::Datagram, error);
  if (fd < 0) failWith("socket", error);
  if (const int code = platform::bindSocket(fd, 0, 0); code != 0) {
    platform::closeSocket(fd);
    failWith("bind", code);
  }
  fd_ = fd;
  watchId_ = loop_.watchFd(fd_, platform::EventLoop::kRead, [this](unsigned) { readAll(); });
}

void UdpSocket::close() {
  if (watchId_) loop_.unwatch(watchId_);
  watchId_ = 0;
  if (fd_ >= 0) platform::closeSocket(fd_);
  fd_ = -1;
}

int UdpSocket::sendTo(UdpEndpoint to, std::string_view datagram) {
  if (fd_ < 0) return wsaeNotSock;
  int error = 0;
  const long n =
      platform::sendDatagram(fd_, datagram.data(), datagram.size(), to.address, to.port, error);
  return n < 0 ? error : 0;
}

// Errors of an unconnected datagram socket (a peer's port unreachable, ...) concern single
// exchanges, not the socket: reading simply stops until the next datagram.
void UdpSocket::readAll() {
  std::vector<char> buffer(kMaxDatagram);
  const std::shared_ptr<bool> alive = alive_;
  for (int i = 0; i < kReadsPerCallback && fd_ >= 0; ++i) {
    UdpEndpoint from;
    bool fromIPv4 = false;
    int error = 0;
    const long n = platform::receiveDatagram(fd_, buffer.data(), buffer.size(), from.address,
                                             from.port, fromIPv4, error);
    if (n < 0) return;
    if (!onDatagram || !fromIPv4) continue;
    auto handler = onDatagram;
    handler(std::string_view(buffer.data(), static_cast<std::size_t>(n)), from);
    if (!*alive) return;
  }
}

}  // namespace ravelin::net

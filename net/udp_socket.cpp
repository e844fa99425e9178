#include "net/udp_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
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

void failWith(const std::string& function) {
  const int code = winsockErrorFromErrno(errno);
  throw SocketError(socketErrorMessage(code, function), code);
}

}  // namespace

std::optional<UdpEndpoint> udpEndpoint(const std::string& address, std::uint16_t port) {
  in_addr a{};
  if (address.empty() || ::inet_aton(address.c_str(), &a) == 0) return std::nullopt;
  return UdpEndpoint{ntohl(a.s_addr), port};
}

UdpSocket::UdpSocket(platform::EventLoop& loop)
    : loop_(loop), alive_(std::make_shared<bool>(true)) {}

UdpSocket::~UdpSocket() {
  *alive_ = false;
  close();
}

void UdpSocket::open() {
  if (fd_ >= 0) return;
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) failWith("socket");
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    const int err = errno;
    ::close(fd);
    errno = err;
    failWith("bind");
  }
  fd_ = fd;
  watchId_ = loop_.watchFd(fd_, platform::EventLoop::kRead, [this](unsigned) { readAll(); });
}

void UdpSocket::close() {
  if (watchId_) loop_.unwatch(watchId_);
  watchId_ = 0;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

int UdpSocket::sendTo(UdpEndpoint to, std::string_view datagram) {
  if (fd_ < 0) return WSAENOTSOCK;
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_addr.s_addr = htonl(to.address);
  peer.sin_port = htons(to.port);
  const ssize_t n = ::sendto(fd_, datagram.data(), datagram.size(), MSG_NOSIGNAL,
                             reinterpret_cast<sockaddr*>(&peer), sizeof peer);
  return n < 0 ? winsockErrorFromErrno(errno) : 0;
}

// Errors of an unconnected datagram socket (a peer's port unreachable, ...) concern single
// exchanges, not the socket: reading simply stops until the next datagram.
void UdpSocket::readAll() {
  std::vector<char> buffer(kMaxDatagram);
  const std::shared_ptr<bool> alive = alive_;
  for (int i = 0; i < kReadsPerCallback && fd_ >= 0; ++i) {
    sockaddr_in from{};
    socklen_t fromLen = sizeof from;
    const ssize_t n = ::recvfrom(fd_, buffer.data(), buffer.size(), 0,
                                 reinterpret_cast<sockaddr*>(&from), &fromLen);
    if (n < 0) return;
    if (!onDatagram || from.sin_family != AF_INET) continue;
    auto handler = onDatagram;
    handler(std::string_view(buffer.data(), static_cast<std::size_t>(n)),
            UdpEndpoint{ntohl(from.sin_addr.s_addr), ntohs(from.sin_port)});
    if (!*alive) return;
  }
}

}  // namespace ravelin::net

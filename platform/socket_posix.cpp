#include "platform/socket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace ravelin::platform {

namespace {

int netErrorFromGai(int gaiError, int sysErr) {
  switch (gaiError) {
    case 0:
      return 0;
    case EAI_NONAME:
      return wsaHostNotFound;
    case EAI_AGAIN:
      return wsaTryAgain;
    case EAI_FAIL:
      return wsaNoRecovery;
#ifdef EAI_NODATA
    case EAI_NODATA:
      return wsaNoData;
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
      return wsaNoData;
#endif
    case EAI_MEMORY:
      return wsaeNoBufs;
    case EAI_FAMILY:
      return wsaeAfNoSupport;
    case EAI_SOCKTYPE:
      return wsaeSocktNoSupport;
    case EAI_SERVICE:
      return wsaeProtoNoSupport;
    case EAI_SYSTEM:
      if (sysErr != 0) return netErrorFromErrno(sysErr);
      return wsaNoRecovery;
    default:
      return wsaNoRecovery;
  }
}

sockaddr_in socketAddress(std::uint32_t address, std::uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(address);
  a.sin_port = htons(port);
  return a;
}

long result(ssize_t n, int& error) {
  error = n < 0 ? netErrorFromErrno(errno) : 0;
  return static_cast<long>(n);
}

}  // namespace

int netErrorFromErrno(int err) {
  switch (err) {
    case 0:
      return 0;
    case EINTR:
      return wsaeIntr;
    case EBADF:
      return wsaeBadF;
    case EACCES:
      return wsaeAcces;
    case EPERM:
      return wsaeAcces;
    case EFAULT:
      return wsaeFault;
    case EINVAL:
      return wsaeInval;
    case EMFILE:
      return wsaeMFile;
    case ENFILE:
      return wsaeMFile;
    case EWOULDBLOCK:
      return wsaeWouldBlock;
    case EINPROGRESS:
      return wsaeInProgress;
    case EALREADY:
      return wsaeAlready;
    case ENOTSOCK:
      return wsaeNotSock;
    case EDESTADDRREQ:
      return wsaeDestAddrReq;
    case EMSGSIZE:
      return wsaeMsgSize;
    case EPROTOTYPE:
      return wsaeProtoType;
    case ENOPROTOOPT:
      return wsaeNoProtoOpt;
    case EPROTONOSUPPORT:
      return wsaeProtoNoSupport;
    case ESOCKTNOSUPPORT:
      return wsaeSocktNoSupport;
    case EOPNOTSUPP:
      return wsaeOpNotSupp;
    case EPFNOSUPPORT:
      return wsaePfNoSupport;
    case EAFNOSUPPORT:
      return wsaeAfNoSupport;
    case EADDRINUSE:
      return wsaeAddrInUse;
    case EADDRNOTAVAIL:
      return wsaeAddrNotAvail;
    case ENETDOWN:
      return wsaeNetDown;
    case ENETUNREACH:
      return wsaeNetUnreach;
    case ENETRESET:
      return wsaeNetReset;
    case ECONNABORTED:
      return wsaeConnAborted;
    case ECONNRESET:
      return wsaeConnReset;
    case ENOBUFS:
      return wsaeNoBufs;
    case ENOMEM:
      return wsaeNoBufs;
    case EISCONN:
      return wsaeIsConn;
    case ENOTCONN:
      return wsaeNotConn;
    case EPIPE:
      return wsaeNotConn;
    case ESHUTDOWN:
      return wsaeShutdown;
    case ETOOMANYREFS:
      return wsaeTooManyRefs;
    case ETIMEDOUT:
      return wsaeTimedOut;
    case ECONNREFUSED:
      return wsaeConnRefused;
    case ELOOP:
      return wsaeLoop;
    case ENAMETOOLONG:
      return wsaeNameTooLong;
    case EHOSTDOWN:
      return wsaeHostDown;
    case EHOSTUNREACH:
      return wsaeHostUnreach;
    case ENOTEMPTY:
      return wsaeNotEmpty;
    case EUSERS:
      return wsaeUsers;
    case EDQUOT:
      return wsaeDQuot;
    case ESTALE:
      return wsaeStale;
    case EREMOTE:
      return wsaeRemote;
    default:
      return err;
  }
}

std::optional<std::uint32_t> parseIPv4(const std::string& text) {
  in_addr a{};
  if (text.empty() || ::inet_aton(text.c_str(), &a) == 0) return std::nullopt;
  return ntohl(a.s_addr);
}

std::optional<std::uint32_t> parseDottedQuad(const std::string& text) {
  in_addr a{};
  if (::inet_pton(AF_INET, text.c_str(), &a) != 1) return std::nullopt;
  return ntohl(a.s_addr);
}

std::string formatIPv4(std::uint32_t address) {
  in_addr a{};
  a.s_addr = htonl(address);
  char buf[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &a, buf, sizeof buf);
  return buf;
}

std::optional<std::uint16_t> tcpServicePort(const std::string& name) {
  servent se{};
  servent* found = nullptr;
  char buf[1024];
  if (::getservbyname_r(name.c_str(), "tcp", &se, buf, sizeof buf, &found) != 0 || !found)
    return std::nullopt;
  return ntohs(static_cast<std::uint16_t>(found->s_port));
}

int lookupIPv4(const std::string& host, std::vector<std::string>& addresses) {
  addresses.clear();
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* res = nullptr;
  const int rc = ::getaddrinfo(host.c_str(), nullptr, &hints, &res);
  if (rc != 0) return netErrorFromGai(rc, errno);
  for (addrinfo* p = res; p; p = p->ai_next) {
    if (p->ai_family != AF_INET) continue;
    char text[INET_ADDRSTRLEN] = {};
    const auto* sin = reinterpret_cast<const sockaddr_in*>(p->ai_addr);
    if (!::inet_ntop(AF_INET, &sin->sin_addr, text, sizeof text)) continue;
    if (std::find(addresses.begin(), addresses.end(), text) == addresses.end())
      addresses.emplace_back(text);
  }
  ::freeaddrinfo(res);
  if (addresses.empty()) return wsaNoData;
  return 0;
}

SocketHandle openSocket(SocketType type, int& error) {
  const int kind = type == SocketType::Stream ? SOCK_STREAM : SOCK_DGRAM;
  const int s = ::socket(AF_INET, kind | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  error = s < 0 ? netErrorFromErrno(errno) : 0;
  return s < 0 ? kNoSocket : s;
}

void closeSocket(SocketHandle s) {
  ::close(s);
}

void shutdownSocket(SocketHandle s) {
  ::shutdown(s, SHUT_RDWR);
}

void setKeepAlive(SocketHandle s, bool on) {
  const int value = on ? 1 : 0;
  ::setsockopt(s, SOL_SOCKET, SO_KEEPALIVE, &value, sizeof value);
}

void setNoDelay(SocketHandle s, bool on) {
  const int value = on ? 1 : 0;
  ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &value, sizeof value);
}

void setLinger(SocketHandle s, bool on, int seconds) {
  const linger lg{on ? 1 : 0, seconds};
  ::setsockopt(s, SOL_SOCKET, SO_LINGER, &lg, sizeof lg);
}

int bindSocket(SocketHandle s, std::uint32_t address, std::uint16_t port) {
  const sockaddr_in local = socketAddress(address, port);
  if (::bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0) return 0;
  return netErrorFromErrno(errno);
}

std::uint16_t boundPort(SocketHandle s) {
  sockaddr_in local{};
  socklen_t len = sizeof local;
  if (::getsockname(s, reinterpret_cast<sockaddr*>(&local), &len) != 0) return 0;
  return ntohs(local.sin_port);
}

int connectSocket(SocketHandle s, std::uint32_t address, std::uint16_t port) {
  const sockaddr_in peer = socketAddress(address, port);
  if (::connect(s, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) return 0;
  return netErrorFromErrno(errno);
}

int socketPendingError(SocketHandle s) {
  int soError = 0;
  socklen_t len = sizeof soError;
  if (::getsockopt(s, SOL_SOCKET, SO_ERROR, &soError, &len) != 0) soError = errno;
  return netErrorFromErrno(soError);
}

void setReuseAddress(SocketHandle s) {
  const int on = 1;
  ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
}

int listenSocket(SocketHandle s, int backlog) {
  return ::listen(s, backlog) == 0 ? 0 : netErrorFromErrno(errno);
}

SocketHandle acceptConnection(SocketHandle listener, int& error) {
  const int s = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  error = s < 0 ? netErrorFromErrno(errno) : 0;
  return s < 0 ? kNoSocket : s;
}

long sendBytes(SocketHandle s, const void* data, std::size_t size, int& error) {
  return result(::send(s, data, size, MSG_NOSIGNAL), error);
}

long receiveBytes(SocketHandle s, void* buffer, std::size_t size, int& error) {
  return result(::recv(s, buffer, size, 0), error);
}

long peekBytes(SocketHandle s, void* buffer, std::size_t size, int& error) {
  return result(::recv(s, buffer, size, MSG_PEEK), error);
}

long sendDatagram(SocketHandle s, const void* data, std::size_t size, std::uint32_t address,
                  std::uint16_t port, int& error) {
  const sockaddr_in peer = socketAddress(address, port);
  return result(
      ::sendto(s, data, size, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&peer), sizeof peer),
      error);
}

long receiveDatagram(SocketHandle s, void* buffer, std::size_t size, std::uint32_t& address,
                     std::uint16_t& port, bool& fromIPv4, int& error) {
  sockaddr_in from{};
  socklen_t fromLen = sizeof from;
  const long n =
      result(::recvfrom(s, buffer, size, 0, reinterpret_cast<sockaddr*>(&from), &fromLen), error);
  fromIPv4 = from.sin_family == AF_INET;
  address = ntohl(from.sin_addr.s_addr);
  port = ntohs(from.sin_port);
  return n;
}

}  // namespace ravelin::platform

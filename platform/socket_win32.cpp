#include "platform/socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <mutex>

namespace ravelin::platform {

namespace {

// Winsock must be started once per process before any other call; it stays up until the
// process ends.
void startWinsock() {
  static std::once_flag once;
  std::call_once(once, [] {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  });
}

SOCKET native(SocketHandle s) {
  return static_cast<SOCKET>(s);
}

sockaddr_in socketAddress(std::uint32_t address, std::uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(address);
  a.sin_port = htons(port);
  return a;
}

long result(int n, int& error) {
  error = n == SOCKET_ERROR ? WSAGetLastError() : 0;
  return n == SOCKET_ERROR ? -1 : n;
}

int sizeFor(std::size_t size) {
  return static_cast<int>(std::min<std::size_t>(size, 0x7fffffff));
}

}  // namespace

// Winsock reports its own numbers already; this maps what the C library and std::thread
// report.
int netErrorFromErrno(int err) {
  switch (err) {
    case 0:
      return 0;
    case EINTR:
      return wsaeIntr;
    case EBADF:
      return wsaeBadF;
    case EACCES:
    case EPERM:
      return wsaeAcces;
    case EFAULT:
      return wsaeFault;
    case EINVAL:
      return wsaeInval;
    case EMFILE:
    case ENFILE:
      return wsaeMFile;
    case EAGAIN:
      return wsaeWouldBlock;
    case ENOMEM:
      return wsaeNoBufs;
    default:
      return err;
  }
}

// inet_addr reads the same classic forms as inet_aton, but cannot tell 255.255.255.255 from
// a failure: that one text is recognised first.
std::optional<std::uint32_t> parseIPv4(const std::string& text) {
  startWinsock();
  if (text.empty()) return std::nullopt;
  if (text == "255.255.255.255") return 0xffffffffu;
  const unsigned long a = inet_addr(text.c_str());
  if (a == INADDR_NONE) return std::nullopt;
  return ntohl(a);
}

std::optional<std::uint32_t> parseDottedQuad(const std::string& text) {
  startWinsock();
  in_addr a{};
  if (inet_pton(AF_INET, text.c_str(), &a) != 1) return std::nullopt;
  return ntohl(a.s_addr);
}

std::string formatIPv4(std::uint32_t address) {
  startWinsock();
  in_addr a{};
  a.s_addr = htonl(address);
  char buf[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &a, buf, sizeof buf);
  return buf;
}

std::optional<std::uint16_t> tcpServicePort(const std::string& name) {
  startWinsock();
  static std::mutex mutex;  // getservbyname answers in a buffer of the thread
  std::lock_guard<std::mutex> lock(mutex);
  const servent* found = getservbyname(name.c_str(), "tcp");
  if (!found) return std::nullopt;
  return ntohs(static_cast<std::uint16_t>(found->s_port));
}

int lookupIPv4(const std::string& host, std::vector<std::string>& addresses) {
  startWinsock();
  addresses.clear();
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* res = nullptr;
  // getaddrinfo's results are Winsock numbers (EAI_NONAME is WSAHOST_NOT_FOUND, ...).
  if (const int rc = getaddrinfo(host.c_str(), nullptr, &hints, &res); rc != 0) return rc;
  for (addrinfo* p = res; p; p = p->ai_next) {
    if (p->ai_family != AF_INET) continue;
    const auto* sin = reinterpret_cast<const sockaddr_in*>(p->ai_addr);
    const std::string text = formatIPv4(ntohl(sin->sin_addr.s_addr));
    if (std::find(addresses.begin(), addresses.end(), text) == addresses.end())
      addresses.push_back(text);
  }
  freeaddrinfo(res);
  if (addresses.empty()) return wsaNoData;
  return 0;
}

SocketHandle openSocket(SocketType type, int& error) {
  startWinsock();
  const int kind = type == SocketType::Stream ? SOCK_STREAM : SOCK_DGRAM;
  const SOCKET s = WSASocketW(AF_INET, kind, 0, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
  if (s == INVALID_SOCKET) {
    error = WSAGetLastError();
    return kNoSocket;
  }
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  error = 0;
  // Socket handles are kernel handles, whose values fit in 32 bits.
  return static_cast<SocketHandle>(s);
}

void closeSocket(SocketHandle s) {
  closesocket(native(s));
}

void shutdownSocket(SocketHandle s) {
  shutdown(native(s), SD_BOTH);
}

void setKeepAlive(SocketHandle s, bool on) {
  const BOOL value = on ? TRUE : FALSE;
  setsockopt(native(s), SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&value),
             sizeof value);
}

void setNoDelay(SocketHandle s, bool on) {
  const BOOL value = on ? TRUE : FALSE;
  setsockopt(native(s), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&value),
             sizeof value);
}

void setLinger(SocketHandle s, bool on, int seconds) {
  const linger lg{static_cast<u_short>(on ? 1 : 0), static_cast<u_short>(seconds)};
  setsockopt(native(s), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&lg), sizeof lg);
}

int bindSocket(SocketHandle s, std::uint32_t address, std::uint16_t port) {
  const sockaddr_in local = socketAddress(address, port);
  if (bind(native(s), reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0) return 0;
  return WSAGetLastError();
}

std::uint16_t boundPort(SocketHandle s) {
  sockaddr_in local{};
  int len = sizeof local;
  if (getsockname(native(s), reinterpret_cast<sockaddr*>(&local), &len) != 0) return 0;
  return ntohs(local.sin_port);
}

int connectSocket(SocketHandle s, std::uint32_t address, std::uint16_t port) {
  const sockaddr_in peer = socketAddress(address, port);
  if (connect(native(s), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) return 0;
  return WSAGetLastError();
}

int socketPendingError(SocketHandle s) {
  int soError = 0;
  int len = sizeof soError;
  if (getsockopt(native(s), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &len) != 0)
    return WSAGetLastError();
  return soError;
}

// Windows binds a port whose connections linger by default; its SO_REUSEADDR would let a
// second socket share a port in use, which a listener must never allow.
void setReuseAddress(SocketHandle) {}

int listenSocket(SocketHandle s, int backlog) {
  return listen(native(s), backlog) == 0 ? 0 : WSAGetLastError();
}

SocketHandle acceptConnection(SocketHandle listener, int& error) {
  const SOCKET s = accept(native(listener), nullptr, nullptr);
  if (s == INVALID_SOCKET) {
    error = WSAGetLastError();
    return kNoSocket;
  }
  // An accepted socket takes the listener's blocking mode but not always its handle flags.
  SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  error = 0;
  return static_cast<SocketHandle>(s);
}

long sendBytes(SocketHandle s, const void* data, std::size_t size, int& error) {
  return result(send(native(s), static_cast<const char*>(data), sizeFor(size), 0), error);
}

long receiveBytes(SocketHandle s, void* buffer, std::size_t size, int& error) {
  return result(recv(native(s), static_cast<char*>(buffer), sizeFor(size), 0), error);
}

long peekBytes(SocketHandle s, void* buffer, std::size_t size, int& error) {
  return result(recv(native(s), static_cast<char*>(buffer), sizeFor(size), MSG_PEEK), error);
}

long sendDatagram(SocketHandle s, const void* data, std::size_t size, std::uint32_t address,
                  std::uint16_t port, int& error) {
  const sockaddr_in peer = socketAddress(address, port);
  return result(sendto(native(s), static_cast<const char*>(data), sizeFor(size), 0,
                       reinterpret_cast<const sockaddr*>(&peer), sizeof peer),
                error);
}

long receiveDatagram(SocketHandle s, void* buffer, std::size_t size, std::uint32_t& address,
                     std::uint16_t& port, bool& fromIPv4, int& error) {
  sockaddr_in from{};
  int fromLen = sizeof from;
  const long n = result(recvfrom(native(s), static_cast<char*>(buffer), sizeFor(size), 0,
                                 reinterpret_cast<sockaddr*>(&from), &fromLen),
                        error);
  fromIPv4 = from.sin_family == AF_INET;
  address = ntohl(from.sin_addr.s_addr);
  port = ntohs(from.sin_port);
  return n;
}

}  // namespace ravelin::platform

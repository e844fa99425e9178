#include "net/async_socket.h"
#include "net/async_socket_events.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "net/net_errors.h"
#include "net/socks_reply.h"

namespace ravelin::net {
// ---------------------------------------------------------------------------------------
// Helpers

namespace {

std::string trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

// Port text to a number: decimal, or a service name of the tcp protocol. Throws the
// message text.
std::uint16_t resolvePort(const std::string& text) {
  if (text.empty()) throw std::string("WSocketResolvePort: Invalid Port.");
  if (std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    if (text.size() > 5 || std::stoi(text) > 65535)
      throw std::string("WSocketResolvePort: Invalid Port.");
    return static_cast<std::uint16_t>(std::stoi(text));
  }
  const std::optional<std::uint16_t> port = platform::tcpServicePort(text);
  if (!port)
    throw "WSocketResolvePort: Cannot convert port '" + text + "', Error #" +
        std::to_string(wsaNoData);
  return *port;
}

// Host text to an address: dotted used directly, otherwise a blocking lookup. Throws the
// message text.
std::uint32_t resolveHost(const std::string& text) {
  if (const auto a = platform::parseIPv4(text)) return *a;
  if (text.empty()) throw "WSocketResolveHost: '" + text + "' Invalid Hostname.";
  std::vector<std::string> found;
  const int rc = net::DnsLookup::resolveNow(text, found);
  const std::optional<std::uint32_t> a =
      rc == 0 && !found.empty() ? platform::parseIPv4(found.front()) : std::nullopt;
  if (!a)
    throw "WSocketResolveHost: Cannot convert host address '" + text + "', Error #" +
        std::to_string(rc != 0 ? rc : static_cast<int>(wsaNoData));
  return *a;
}

// Errors of a non-blocking connect that are the connection's outcome rather than a failure
// of the call: they are delivered as the connect notification, like every other outcome.
bool isConnectOutcome(int err) {
  switch (err) {
    case wsaeConnRefused:
    case wsaeNetUnreach:
    case wsaeHostUnreach:
    case wsaeTimedOut:
    case wsaeHostDown:
    case wsaeNetDown:
    case wsaeConnReset:
      return true;
    default:
      return false;
  }
}

}  // namespace

const char* protoName(SocketProto proto) {
  return proto == SocketProto::Tcp ? "tcp" : "udp";
}

const char* socksLevelName(SocksLevel level) {
  switch (level) {
    case SocksLevel::V4:
      return "4";
    case SocksLevel::V4A:
      return "4A";
    case SocksLevel::V5:
      break;
  }
  return "5";
}

// ---------------------------------------------------------------------------------------
// Construction

AsyncSocket::AsyncSocket() : AsyncSocket(platform::EventLoop::forCurrentThread()) {}

AsyncSocket::AsyncSocket(platform::EventLoop& loop)
    : loop_(loop), alive_(std::make_shared<bool>(true)) {}

AsyncSocket::~AsyncSocket() {
  destroying_ = true;
  *alive_ = false;
  if (dnsLookup_) dnsLookup_->cancel();
  dnsLookup_.reset();
  if (watchId_) loop_.unwatch(watchId_);
  watchId_ = 0;
  if (fd_ >= 0) {
    platform::shutdownSocket(fd_);
    platform::closeSocket(fd_);
    fd_ = -1;
  }
}

void AsyncSocket::handleBgException(const std::exception& e) {
  bool canClose = true;
  std::shared_ptr<bool> alive = alive_;
  if (onBgException) {
    try {
      auto handler = onBgException;
      handler(*this, e, canClose);
    } catch (...) {
    }
    if (!*alive) return;
  }
  if (canClose) {
    try {
      abort();
    } catch (...) {
    }
  }
}

// ---------------------------------------------------------------------------------------
// Errors

void AsyncSocket::raiseException(const std::string& message, int code) {
  lastErrorMessage_ = message;
  if (onError) {
    fire(onError);
    return;
  }
  throw SocketError(message, code);
}

void AsyncSocket::socketError(const std::string& function, int code) {
  lastError_ = code;
  if (code == wsaeConnReset || code == wsaeNotConn) {
    std::shared_ptr<bool> alive = alive_;
    internalClose(false, code);
    if (!*alive) return;
  }
  raiseException(socketErrorMessage(code, function), code);
}

void AsyncSocket::changeState(SocketState newState) {
  const SocketState old = state_;
  state_ = newState;
  if (old != newState) fire(onChangeState, old, newState);
}

// ---------------------------------------------------------------------------------------
// Properties

void AsyncSocket::setAddr(const std::string& value) {
  if (state_ != SocketState::Closed) return raiseException("Cannot change Addr if not closed");
  addr_ = value;
  addrAssigned_ = true;
}

void AsyncSocket::setPort(const std::string& value) {
  if (state_ != SocketState::Closed) return raiseException("Cannot change Port if not closed");
  port_ = value;
  portAssigned_ = true;
}

void AsyncSocket::setProto(SocketProto value) {
  if (state_ != SocketState::Closed) return raiseException("Cannot change Proto if not closed");
  proto_ = value;
}

void AsyncSocket::setLocalAddr(const std::string& value) {
  if (state_ != SocketState::Closed) return raiseException("Cannot change LocalAddr if not closed");
  const std::string v = value.empty() ? std::string("0.0.0.0") : value;
  if (!platform::parseIPv4(v)) return raiseException("SetLocalAddr(): Invalid IP address");
  localAddr_ = v;
}

void AsyncSocket::setLocalPort(std::uint16_t value) {
  if (state_ != SocketState::Closed) return raiseException("Cannot change LocalPort if not closed");
  localPort_ = value;
}

void AsyncSocket::setSocksLevel(SocksLevel value) {
  if (state_ != SocketState::Closed)
    return raiseException("Can't change socks level if not closed");
  socksLevel_ = value;
}

void AsyncSocket::setSocksServer(const std::string& value) {
  if (state_ != SocketState::Closed)
    return raiseException("Can't change socks server if not closed");
  socksServer_ = trim(value);
}

void AsyncSocket::setSocksPort(std::uint16_t value) {
  if (state_ != SocketState::Closed) return raiseException("Can't change socks port if not closed");
  socksPort_ = value;
}

int AsyncSocket::bufferedByteCount() const {
  int n = 0;
  for (const SocketBuffer& b : sendQueue_) n += b.size();
  return n;
}

void AsyncSocket::processMessages() {
  loop_.processPending();
}

// ---------------------------------------------------------------------------------------
// Connect

void AsyncSocket::connect() {
  if (fd_ >= 0 && state_ != SocketState::Closed)
    return raiseException("Connect: Socket already in use");
  if (!portAssigned_) return raiseException("Connect: No Port Specified");
  if (!addrAssigned_) return raiseException("Connect: No IP Address Specified");

  const bool viaSocks = !socksServer_.empty();
  if (viaSocks && proto_ != SocketProto::Tcp)
    return raiseException("tcp is the only protocol supported thru socks server");

  std::uint32_t destAddr = 0;
  std::uint16_t destPort = 0;
  std::uint32_t localAddr = 0;
  try {
    if (proto_ != SocketProto::Tcp)
      throw std::string("WSocketResolveProto: Cannot convert protocol '") + protoName(proto_) + "'";
    if (viaSocks) {
      if (socksLevel_ != SocksLevel::V5)
        throw std::string("Socks level ") + socksLevelName(socksLevel_) + " is not supported";
      if (socksPort_ == 0) throw std::string("WSocketResolvePort: Invalid Port.");
      destPort = socksPort_;
      destAddr = resolveHost(socksServer_);
      socksTargetPort_ = resolvePort(port_);
      if (addr_.empty() || addr_.size() > 255)
        throw "WSocketResolveHost: '" + addr_ + "' Invalid Hostname.";
    } else {
      destPort = resolvePort(port_);
      destAddr = resolveHost(addr_);
    }
    const std::optional<std::uint32_t> local = platform::parseIPv4(localAddr_);
    if (!local) throw std::string("SetLocalAddr(): Invalid IP address");
    localAddr = *local;
  } catch (const std::string& message) {
    return raiseException("connect: " + message);
  }

  sendQueue_.clear();
  socksLeftover_.clear();
  socksReplyBuffer_.clear();
  socksBoundAddr_.clear();
  socksBoundPort_.clear();
  readCount_ = 0;

  int openError = 0;
  const int fd = platform::openSocket(platform::SocketType::Stream, openError);
  if (fd < 0) return socketError("Connect (socket)", openError);
  fd_ = fd;
  ++connection_;
  closeFired_ = false;
  connectNotified_ = false;
  dataSentPending_ = false;
  socksPhase_ = viaSocks ? SocksPhase::WaitMethod : SocksPhase::None;
  std::shared_ptr<bool> alive = alive_;
  changeState(SocketState::Opened);
  if (!*alive || fd_ != fd) return;

  platform::setKeepAlive(fd_, true);
  if (options_.tcpNoDelay) platform::setNoDelay(fd_, true);
  platform::setLinger(fd_, lingerOn_, lingerTimeout_);

  if (localPort_ != 0 || localAddr != 0) {
    if (const int code = platform::bindSocket(fd_, localAddr, localPort_); code != 0) {
      lastError_ = code;
      return raiseException("winsock.bind failed, error #" + std::to_string(code), code);
    }
  }

  watchId_ = loop_.watchFd(fd_, 0, [this, tok = std::weak_ptr<bool>(alive_)](unsigned revents) {
    auto alive = tok.lock();
    if (!alive || !*alive) return;
    guarded([&] { onFdReady(revents); });
  });
  watched_ = 0;

  const int err = platform::connectSocket(fd_, destAddr, destPort);
  if (err == 0 || err == wsaeInProgress || err == wsaeWouldBlock) {
    watch(platform::EventLoop::kWrite);
    changeState(SocketState::Connecting);
    return;
  }
  if (isConnectOutcome(err)) {
    // Delivered from the loop like a connect that failed later, never inside connect().
    const std::uint64_t conn = connection_;
    loop_.post([this, conn, err, tok = std::weak_ptr<bool>(alive_)] {
      auto alive = tok.lock();
      if (!alive || !*alive || conn != connection_ || connectNotified_ || fd_ < 0) return;
      guarded([&] { onConnectDone(err); });
    });
    changeState(SocketState::Connecting);
    return;
  }
  socketError("Connect", err);
}

void AsyncSocket::watch(unsigned events) {
  if (!watchId_ || events == watched_) return;
  watched_ = events;
  loop_.modifyWatch(watchId_, events);
}

void AsyncSocket::onFdReady(unsigned revents) {
  if (fd_ < 0) return;
  std::shared_ptr<bool> alive = alive_;
  const std::uint64_t conn = connection_;
  if (!connectNotified_) {
    if (!(revents & (platform::EventLoop::kWrite | platform::EventLoop::kError))) return;
    onConnectDone(platform::socketPendingError(fd_));
    return;
  }
  if (revents & (platform::EventLoop::kRead | platform::EventLoop::kError)) {
    onReadable();
    if (!*alive || conn != connection_ || fd_ < 0) return;
  }
  if (revents & platform::EventLoop::kWrite) {
    if (tryToSend() && socksPhase_ == SocksPhase::None) fire(onDataSent, 0);
  }
}

void AsyncSocket::onConnectDone(int err) {
  connectNotified_ = true;
  const std::uint16_t code = static_cast<std::uint16_t>(err);
  const std::uint64_t conn = connection_;
  auto stillHere = [&, alive = alive_] { return *alive && conn == connection_ && fd_ >= 0; };
  if (code != 0) lastError_ = code;

  if (code == 0) {
    changeState(SocketState::Connected);
    if (!stillHere()) return;
    watch(platform::EventLoop::kRead |
          (bufferedByteCount() > 0 ? platform::EventLoop::kWrite : 0u));
  }

  if (socksPhase_ != SocksPhase::None) {
    if (!fire(onSocksConnected, code) || !stillHere()) return;
    if (code != 0) {
      socksPhase_ = SocksPhase::None;
      if (!fire(onSessionConnected, code) || !stillHere()) return;
      internalClose(true, code);
      return;
    }
    socksUserPassOffered_ = socksAuthentication_ == SocksAuthentication::Usercode;
    const std::string greeting = socks::buildGreeting(socksUserPassOffered_);
    send(greeting.data(), static_cast<int>(greeting.size()));
    return;
  }

  if (!fire(onSessionConnected, code) || !stillHere()) return;
  if (code != 0) internalClose(true, code);
}

// ---------------------------------------------------------------------------------------
// Receiving

void AsyncSocket::onReadable() {
  if (socksPhase_ != SocksPhase::None) return socksData();
  char c;
  int err = 0;
  const long n = platform::peekBytes(fd_, &c, 1, err);
  if (n > 0) return receiveLoop();
  if (n < 0 && (err == wsaeWouldBlock || err == wsaeIntr)) return;
  // The peer closed (n == 0) or the connection broke.
  const int code = n == 0 ? 0 : err;
  if (code) lastError_ = code;
  internalClose(false, code);
}

void AsyncSocket::receiveLoop() {
  std::shared_ptr<bool> alive = alive_;
  const std::uint64_t conn = connection_;
  for (int rounds = 0;; ++rounds) {
    const long long before = readCount_;
    if (!fire(onDataAvailable, 0) || conn != connection_ || fd_ < 0) return;
    if (readCount_ == before) {
      // Nobody read: throw away what is there, so that the loop can move on.
      char discard[1024];
      int err = 0;
      if (platform::receiveBytes(fd_, discard, sizeof discard, err) <= 0) return;
    }
    if (options_.noReceiveLoop) return;
    // Let the loop serve others now and then when a peer floods us.
    if (rounds >= 64) return;
    char c;
    int err = 0;
    if (platform::peekBytes(fd_, &c, 1, err) <= 0) return;
  }
}

int AsyncSocket::receive(void* buffer, int size) {
  if (size <= 0) return 0;
  if (!socksLeftover_.empty()) {
    const int n = std::min<int>(size, static_cast<int>(socksLeftover_.size()));
    std::memcpy(buffer, socksLeftover_.data(), static_cast<std::size_t>(n));
    socksLeftover_.erase(0, static_cast<std::size_t>(n));
    readCount_ += n;
    return n;
  }
  if (fd_ < 0) {
    lastError_ = wsaeNotConn;
    return -1;
  }
  long n;
  int err = 0;
  do {
    n = platform::receiveBytes(fd_, buffer, static_cast<std::size_t>(size), err);
  } while (n < 0 && err == wsaeIntr);
  if (n < 0) {
    lastError_ = err;
    return -1;
  }
  readCount_ += n;
  return static_cast<int>(n);
}

std::string AsyncSocket::receiveStr() {
  std::string out;
  char buf[4096];
  for (;;) {
    const int n = receive(buf, sizeof buf);
    if (n <= 0) break;
    out.append(buf, static_cast<std::size_t>(n));
    if (n < static_cast<int>(sizeof buf)) break;
  }
  return out;
}

// ---------------------------------------------------------------------------------------
// Close

void AsyncSocket::internalClose(bool doShutdown, int error) {
  if (fd_ < 0) {
    if (state_ != SocketState::Closed) changeState(SocketState::Closed);
    return;
  }
  if (watchId_) loop_.unwatch(watchId_);
  watchId_ = 0;
  watched_ = 0;
  if (doShutdown) platform::shutdownSocket(fd_);
  platform::closeSocket(fd_);
  fd_ = -1;
  sendQueue_.clear();
  socksPhase_ = SocksPhase::None;
  socksReplyBuffer_.clear();
  std::shared_ptr<bool> alive = alive_;
  changeState(SocketState::Closed);
  if (!*alive) return;
  if (!closeFired_) {
    closeFired_ = true;
    fire(onSessionClosed, static_cast<std::uint16_t>(error));
  }
}

void AsyncSocket::close() {
  internalClose(true, 0);
}

void AsyncSocket::abort() {
  if (dnsLookup_) dnsLookup_->cancel();
  dnsLookup_.reset();
  sendQueue_.clear();
  if (fd_ >= 0 && state_ == SocketState::Connected) {
    platform::setLinger(fd_, false, 0);
  }
  internalClose(false, 0);
}

}  // namespace ravelin::net

#include "net/http_client.h"

#include <algorithm>
#include <cstdint>

#include "net/async_socket.h"
#include "net/net_errors.h"
#include "net/socket_errors.h"
#include "platform/huge_pages.h"

namespace ravelin::net {

namespace {

constexpr std::size_t kReceiveChunk = 256 * 1024;
// A declared Content-Length is reserved up front in a body string, up to this much.
constexpr std::int64_t kMaxReserve = std::int64_t{1} << 30;

// Grows the body string ahead of a declared length (only address space: pages are used
// as the body fills them, so a length that lies costs nothing). A large body asks for
// huge pages: filling 100 MB of fresh memory page by page can cost more than the
// transfer itself, and a huge page wastes at most 2 MB at the end.
void ReserveBody(std::string& body, std::int64_t declared) {
  const std::size_t want = body.size() + static_cast<std::size_t>(std::min(declared, kMaxReserve));
  if (want <= body.capacity()) return;
  body.reserve(want);
  constexpr std::size_t kHuge = platform::kHugePageSize;
  if (body.capacity() - body.size() >= 2 * kHuge) {
    const auto begin =
        (reinterpret_cast<std::uintptr_t>(body.data() + body.size()) + kHuge - 1) & ~(kHuge - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(body.data() + body.capacity()) & ~(kHuge - 1);
    if (end > begin) platform::adviseHugePages(reinterpret_cast<void*>(begin), end - begin);
  }
}

std::string errorText(int code) {
  return socketErrorText(code) + " (Error #" + std::to_string(code) + ")";
}

}  // namespace

HttpClient::HttpClient() : HttpClient(platform::EventLoop::forCurrentThread()) {}

HttpClient::HttpClient(platform::EventLoop& loop)
    : loop_(loop),
      socket_(std::make_unique<AsyncSocket>(loop)),
      alive_(std::make_shared<bool>(true)) {
  socket_->onDnsLookupDone = [this](AsyncSocket&, std::uint16_t e) { lookupDone(e); };
  socket_->onSessionConnected = [this](AsyncSocket&, std::uint16_t e) { sessionConnected(e); };
  socket_->onDataAvailable = [this](AsyncSocket&, std::uint16_t) { dataAvailable(); };
  socket_->onSessionClosed = [this](AsyncSocket&, std::uint16_t e) { sessionClosed(e); };
  // An exception out of our own handlers must not leave a request hanging.
  socket_->onBgException = [this](AsyncSocket&, const std::exception& e, bool& canClose) {
    canClose = false;
    if (state_ != httpReady && state_ != httpAborting) fail(httperrNoData, e.what());
  };
}

HttpClient::~HttpClient() {
  *alive_ = false;
  ending_ = true;
  socket_.reset();
}

void HttpClient::setState(HttpState s) {
  state_ = s;
  if (onStateChange) onStateChange(*this);
}

void HttpClient::resetResults() {
  rcvdHeader_.clear();
  errorCode_ = 0;
  statusCode_ = 0;
  reason_.clear();
  rcvdCount_ = 0;
  contentLength_ = -1;
  contentType_.clear();
  location_.clear();
  wwwAuthenticate_.clear();
}

void HttpClient::startGet() {
  if (state_ != httpReady) throw HttpError("HTTP component is busy", httperrBusy);
  setState(httpStarting);
  resetResults();
  lineCount_ = 0;
  headerBegun_ = false;
  relocating_ = false;
  ending_ = false;
  docBegun_ = false;
  relocations_ = 0;

  const http::UrlParts u = http::splitUrl(url);
  if (!u.user.empty()) {
    username = u.user;
    password = u.password;
  }
  scheme_.clear();
  if (!prepareTarget(u)) return;
  startLookup();
}

// Works out where to connect and what to ask for, from a URL's parts.
bool HttpClient::prepareTarget(const http::UrlParts& u) {
  if (!u.scheme.empty()) scheme_ = u.scheme;
  if (scheme_.empty()) scheme_ = "http";
  host_ = u.host;
  hadPort_ = !u.port.empty();
  port_ = hadPort_ ? u.port : http::defaultPort(scheme_);
  path_ = u.path.empty() ? "/" : u.path;
  useTls_ = http::isHttpsScheme(scheme_);
  viaProxy_ = !proxy.empty();
  if (!viaProxy_) {
    connHost_ = host_;
    connPort_ = port_;
    target_ = path_;
  } else {
    const http::UrlParts p = http::splitUrl(proxy);
    connHost_ = p.host;
    connPort_ = p.port.empty() ? proxyPort : p.port;
    // Through a tunnel the server itself is asked, with the path only.
    target_ = useTls_ ? path_ : scheme_ + "://" + host_ + (hadPort_ ? ":" + port_ : "") + path_;
  }
  return true;
}

void HttpClient::startLookup() {
  setState(httpDnsLookup);
  phase_ = Phase::Plain;
  tls_.reset();
  parser_.reset();
  tunnelParser_.reset();
  plainBuf_.clear();
  try {
    socket_->setMultiThreaded(multiThreaded);
    socket_->startDnsLookup(connHost_);
  } catch (const std::exception& e) {
    // The lookup could not even start (an empty host, no helper thread): the request
    // ends like a failed lookup, from the loop.
    const auto* se = dynamic_cast<const SocketError*>(&e);
    const int code = se && se->errorCode() != 0 ? se->errorCode() : static_cast<int>(wsaeInval);
    if (state_ == httpDnsLookup) fail(static_cast<std::uint16_t>(code), e.what());
  }
}

void HttpClient::lookupDone(std::uint16_t error) {
  if (state_ != httpDnsLookup) return;
  if (error != 0) {
    fail(error, "can't resolve hostname to IP address");
    return;
  }
  setState(httpConnecting);
  try {
    socket_->setAddr(socket_->dnsResult());
    socket_->setPort(connPort_);
    socket_->setProto(SocketProto::Tcp);
    socket_->setLocalAddr(localAddr);
    socket_->connect();
  } catch (const std::exception&) {
    int code = socket_->lastError();
    if (code == 0) code = wsaeInval;
    ending_ = true;
    socket_->close();
    ending_ = false;
    fail(static_cast<std::uint16_t>(code), "can't connect: " + errorText(code));
  }
}

void HttpClient::sessionConnected(std::uint16_t error) {
  if (state_ != httpConnecting) return;
  if (error != 0) {
    fail(error, errorText(error));
    return;
  }
  if (useTls_ && viaProxy_) {
    phase_ = Phase::Tunnel;
    sendBytes(http::buildConnectRequest(host_, port_, agent, proxyUsername, proxyPassword));
    return;
  }
  if (useTls_) {
    phase_ = Phase::Handshake;
    tls_ = platform::TlsSession::client(host_, {tlsCaFile, tlsCaDir});
    flushTls();
    return;
  }
  transportReady();
}

// The connection (with its tunnel and TLS, where used) stands: send the request.
void HttpClient::transportReady() {
  phase_ = Phase::Plain;
  setState(httpConnected);
  if (onSessionConnected) onSessionConnected(*this);
  if (state_ != httpConnected) return;
  setState(httpWaitingHeader);
  sendRequest();
}

void HttpClient::sendRequest() {
  if (onRequestHeaderBegin) onRequestHeaderBegin(*this);
  http::GetRequest r;
  r.target = target_;
  r.host = http::hostHeader(host_, port_, scheme_);
  r.accept = accept;
  r.agent = agent;
  if (acceptGzip) r.acceptEncoding = "gzip";
  r.sender = sender;
  r.reference = reference;
  r.cookie = cookie;
  r.username = username;
  r.password = password;
  r.viaProxy = viaProxy_ && !useTls_;
  r.proxyUsername = proxyUsername;
  r.proxyPassword = proxyPassword;
  r.noCache = noCache;
  r.modifiedSince = modifiedSince;
  r.rangeBegin = contentRangeBegin;
  r.rangeEnd = contentRangeEnd;
  requestBytes_ = http::buildGetRequest(r);
  contentRangeBegin.clear();
  contentRangeEnd.clear();
  if (onRequestHeaderEnd) onRequestHeaderEnd(*this);
  if (state_ != httpWaitingHeader) return;
  sendBytes(requestBytes_);
}

void HttpClient::sendBytes(const std::string& bytes) {
  if (tls_) {
    if (tls_->write(bytes) != platform::TlsSession::Status::Ok) {
      fail(httperrTls, tls_->errorText());
      return;
    }
    flushTls();
    return;
  }
  socket_->send(bytes.data(), static_cast<int>(bytes.size()));
}

// Sends whatever TLS has produced (handshake messages, encrypted records).
void HttpClient::flushTls() {
  if (!tls_) return;
  if (tls_->status() == platform::TlsSession::Status::Error) {
    fail(httperrTls, tls_->errorText());
    return;
  }
  if (tls_->handshakeDone() == false) {
    std::string ignored;
    tls_->pump(ignored);  // produces the first handshake message
    if (tls_->status() == platform::TlsSession::Status::Error) {
      fail(httperrTls, tls_->errorText());
      return;
    }
  }
  while (tls_ && tls_->hasOutgoing() && socket_->state() == SocketState::Connected) {
    const std::string out = tls_->takeOutgoing();
    socket_->send(out.data(), static_cast<int>(out.size()));
  }
}

void HttpClient::dataAvailable() {
  if (recvBuf_.size() < kReceiveChunk) recvBuf_.resize(kReceiveChunk);
  const auto alive = alive_;
  while (*alive && socket_ && socket_->state() == SocketState::Connected) {
    const int n = socket_->receive(recvBuf_.data(), static_cast<int>(recvBuf_.size()));
    if (n <= 0) break;
    if (state_ == httpReady || state_ == httpAborting || relocating_) continue;  // dropped
    incoming(recvBuf_.data(), static_cast<std::size_t>(n));
  }
}

void HttpClient::incoming(const char* data, std::size_t len) {
  if (!tls_) {
    if (phase_ == Phase::Tunnel)
      tunnelData(std::string_view(data, len));
    else if (state_ == httpWaitingBody)
      bodyData(data, len);
    else if (state_ == httpWaitingHeader)
      headerData(std::string_view(data, len));
    return;
  }
  const bool wasDone = tls_->handshakeDone();
  tls_->receive(std::string_view(data, len));
  plainBuf_.clear();
  const auto st = tls_->pump(plainBuf_);
  if (st == platform::TlsSession::Status::Error) {
    fail(httperrTls, tls_->errorText());
    return;
  }
  flushTls();
  if (state_ == httpReady) return;
  if (!wasDone && tls_->handshakeDone()) {
    transportReady();
    if (state_ != httpWaitingHeader) return;
  }
  if (!plainBuf_.empty()) {
    std::string plain;
    plain.swap(plainBuf_);
    if (state_ == httpWaitingBody)
      bodyData(plain.data(), plain.size());
    else if (state_ == httpWaitingHeader)
      headerData(plain);
  }
  if (st == platform::TlsSession::Status::Closed &&
      (state_ == httpWaitingHeader || state_ == httpWaitingBody)) {
    // The server ended the TLS stream: the same as closing the connection.
    socket_->close();
  }
}

// The proxy's answer to CONNECT.
void HttpClient::tunnelData(std::string_view data) {
  while (!data.empty()) {
    const auto r = tunnelParser_.feed(data);
    data.remove_prefix(r.consumed);
    switch (r.status) {
      case http::HttpResponseParser::Status::NeedMore:
        return;
      case http::HttpResponseParser::Status::Line:
        continue;
      case http::HttpResponseParser::Status::HeaderEnd: {
        const int st = tunnelParser_.statusCode();
        if (st < 200 || st > 299) {
          fail(httperrProxyTunnel,
               "proxy refused the tunnel to " + host_ + ":" + port_ + ": " + std::to_string(st) +
                   " " + tunnelParser_.reasonPhrase(),
               st == 0 ? 404 : st);
          return;
        }
        phase_ = Phase::Handshake;
        tls_ = platform::TlsSession::client(host_, {tlsCaFile, tlsCaDir});
        flushTls();
        if (!data.empty() && tls_) incoming(data.data(), data.size());
        return;
      }
      default:
        fail(httperrProxyTunnel, "proxy sent no valid answer to CONNECT");
        return;
    }
  }
}

void HttpClient::headerData(std::string_view data) {
  using S = http::HttpResponseParser::Status;
  while (state_ == httpWaitingHeader) {
    const auto r = parser_.feed(data);
    data.remove_prefix(r.consumed);
    switch (r.status) {
      case S::NeedMore:
        return;
      case S::Error:
        // Nothing sensible can follow a line this long.
        fail(httperrLineTooLong, "HTTP line too long", statusCode_ ? statusCode_ : 404);
        return;
      case S::HeaderlessBody: {
        if (onHeaderBegin) onHeaderBegin(*this);
        if (contentType_.empty()) contentType_ = "text/html";
        headerBegun_ = false;
        gunzip_.reset();
        setState(httpWaitingBody);
        if (onHeaderEnd) onHeaderEnd(*this);
        if (state_ != httpWaitingBody) return;
        const std::string first = parser_.line();
        bodyData(first.data(), first.size());
        if (state_ == httpWaitingBody && !data.empty()) bodyData(data.data(), data.size());
        return;
      }
      case S::HeaderEnd:
        headerEnd(data);
        return;
      case S::Line: {
        if (parser_.lineCount() == 1) {
          if (lineCount_ == 0) headerBegun_ = true;
          if (onHeaderBegin) onHeaderBegin(*this);
          if (state_ != httpWaitingHeader) return;
        }
        ++lineCount_;
        rcvdHeader_.push_back(parser_.line());
        statusCode_ = parser_.statusCode();
        reason_ = parser_.reasonPhrase();
        contentLength_ = parser_.contentLength();
        if (parser_.hasLocation()) location_ = parser_.location();
        contentType_ = parser_.contentType();
        wwwAuthenticate_ = parser_.wwwAuthenticate();
        if (parser_.lineIsCookie() && onCookie) {
          bool accept = true;
          onCookie(*this, parser_.cookie(), accept);
        }
        if (onHeaderData) onHeaderData(*this);
        if (state_ != httpWaitingHeader) return;
        if (statusCode_ >= 400) {
          // An error status: the document is not wanted.
          socket_->close();
          return;
        }
        continue;
      }
    }
  }
}

void HttpClient::headerEnd(std::string_view rest) {
  headerBegun_ = false;
  if (contentLength_ == 0) {
    if (onHeaderEnd) onHeaderEnd(*this);
    if (state_ == httpWaitingHeader) endRequest();
    return;
  }
  if (parser_.hasLocation()) {
    relocate();
    return;
  }
  gunzip_.reset();
  if (acceptGzip && parser_.contentEncoding() == "gzip")
    gunzip_ = std::make_unique<platform::GzipInflater>(
        static_cast<std::uint64_t>(std::max<std::int64_t>(maxDecodedBody, 0)));
  setState(httpWaitingBody);
  if (onHeaderEnd) onHeaderEnd(*this);
  if (state_ != httpWaitingBody) return;
  // The length on the wire says nothing about the size of a gzip body.
  if (bodyString && contentLength_ > 0 && !gunzip_) ReserveBody(*bodyString, contentLength_);
  if (!rest.empty()) bodyData(rest.data(), rest.size());
}

void HttpClient::bodyData(const char* data, std::size_t len) {
  if (len == 0) return;
  if (!docBegun_) {
    docBegun_ = true;
    if (onDocBegin) onDocBegin(*this);
    if (state_ != httpWaitingBody) return;
  }
  rcvdCount_ += static_cast<std::int64_t>(len);
  if (!gunzip_) {
    deliver(data, len);
    return;
  }
  std::string plain;
  using G = platform::GzipInflater::Status;
  const G status = gunzip_->feed(std::string_view(data, len), plain);
  if (!plain.empty()) deliver(plain.data(), plain.size());
  if (state_ != httpWaitingBody) return;
  if (status == G::TooLarge)
    fail(httperrBodyTooLarge, "gzip body expands past " + std::to_string(maxDecodedBody) + " bytes",
         statusCode_);
  else if (status == G::Error)
    fail(httperrBadEncoding, "damaged gzip body (" + gunzip_->errorText() + ")", statusCode_);
}

void HttpClient::deliver(const char* data, std::size_t len) {
  if (bodyString) bodyString->append(data, len);
  if (bodyStream) bodyStream->write(data, static_cast<std::streamsize>(len));
  if (onDocData) onDocData(*this, data, static_cast<int>(len));
}

void HttpClient::relocate() {
  if (relocations_ >= kMaxRelocations) {
    fail(httperrTooManyRelocations,
         "Too many relocations (more than " + std::to_string(kMaxRelocations) + ")");
    return;
  }
  ++relocations_;
  const std::string loc = location_;
  if (loc.starts_with("/") && !loc.starts_with("//")) {
    path_ = loc;
  } else if (loc.starts_with("./") || loc.starts_with("../")) {
    path_ = http::resolveRelativePath(loc, path_);
  } else {
    http::UrlParts u = http::splitUrl(loc);
    const bool schemeGiven = !u.scheme.empty();
    if (!schemeGiven && !loc.starts_with("//")) u.scheme = "http";
    if (!schemeGiven && loc.starts_with("//")) u.scheme = scheme_;
    if (onRelocate) {
      try {
        onRelocate(*this, u.scheme + "://" + u.host + (u.port.empty() ? "" : ":" + u.port) +
                              (u.path.empty() ? "/" : u.path));
      } catch (const std::exception& e) {
        fail(httperrProxyChoice, e.what());
        return;
      }
    }
    scheme_.clear();
    prepareTarget(u);
    relocating_ = true;
    lineCount_ = 0;
    socket_->close();
    return;
  }
  // Same host and scheme, new path.
  if (viaProxy_ && !useTls_)
    target_ = scheme_ + "://" + host_ + (hadPort_ ? ":" + port_ : "") + path_;
  else
    target_ = path_;
  relocating_ = true;
  lineCount_ = 0;
  socket_->close();
}

void HttpClient::sessionClosed(std::uint16_t error) {
  if (ending_ || state_ == httpReady || state_ == httpAborting) return;
  if (relocating_) {
    restartAfterClose();
    return;
  }
  switch (state_) {
    case httpWaitingBody:
      // HTTP/1.0: the body ends with the connection.
      if (tls_) {
        plainBuf_.clear();
        tls_->pump(plainBuf_);
        if (!plainBuf_.empty()) {
          std::string plain;
          plain.swap(plainBuf_);
          bodyData(plain.data(), plain.size());
        }
      }
      if (gunzip_ && gunzip_->finish() == platform::GzipInflater::Status::Error) {
        fail(httperrBadEncoding, "damaged gzip body (" + gunzip_->errorText() + ")", statusCode_);
        return;
      }
      if (docBegun_ && onDocEnd) onDocEnd(*this);
      if (state_ == httpWaitingBody) endRequest();
      return;
    case httpWaitingHeader:
      if (headerBegun_) {
        // Closed in the middle of a header: ask once more. The line count is kept, so a
        // second close during the header ends the request.
        headerBegun_ = false;
        if (onHeaderEnd) onHeaderEnd(*this);
        if (state_ != httpWaitingHeader) return;
        relocating_ = true;
        restartAfterClose();
        return;
      }
      if (lineCount_ == 0 && error != 0) {
        fail(error, errorText(error));
        return;
      }
      endRequest();
      return;
    case httpConnecting:
      if (phase_ == Phase::Handshake)
        fail(httperrTls, "TLS handshake failed: the server closed the connection");
      else if (phase_ == Phase::Tunnel)
        fail(httperrProxyTunnel, "the proxy closed the connection before the tunnel stood");
      else if (error != 0)
        fail(error, errorText(error));
      else
        fail(wsaeConnAborted, errorText(wsaeConnAborted));
      return;
    default:
      endRequest();
      return;
  }
}

// The connection is gone after a relocation (or a header cut short): start again from
// the name lookup, from the loop, so that nothing runs inside the socket's own close.
void HttpClient::restartAfterClose() {
  std::weak_ptr<bool> alive = alive_;
  loop_.post([this, alive] {
    if (alive.expired() || !relocating_) return;
    relocating_ = false;
    if (state_ == httpReady || state_ == httpAborting) return;
    if (onLocationChange) onLocationChange(*this);
    if (state_ == httpReady || state_ == httpAborting) return;
    rcvdHeader_.clear();
    docBegun_ = false;
    startLookup();
  });
}

void HttpClient::fail(std::uint16_t error, const std::string& reason, int status) {
  if (state_ == httpReady) return;
  errorCode_ = error;
  statusCode_ = status;
  reason_ = reason;
  endRequest();
}

void HttpClient::closeSocket() {
  if (!socket_) return;
  ending_ = true;
  if (socket_->state() != SocketState::Closed) socket_->close();
  ending_ = false;
}

void HttpClient::endRequest() {
  closeSocket();
  socket_->stopDnsLookup();
  relocating_ = false;
  tls_.reset();
  plainBuf_.clear();
  const std::uint16_t error = errorCode_;
  setState(httpReady);
  std::weak_ptr<bool> alive = alive_;
  loop_.post([this, alive, error] {
    if (alive.expired()) return;
    if (onRequestDone) onRequestDone(*this, httpGET, error);
  });
}

void HttpClient::abort() {
  if (state_ == httpReady) {
    closeSocket();
    return;
  }
  setState(httpAborting);
  socket_->stopDnsLookup();
  statusCode_ = 404;
  reason_ = "Connection aborted on request";
  errorCode_ = httperrAborted;
  endRequest();
}

}  // namespace ravelin::net

#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "net/http_response_parser.h"
#include "net/http_url.h"
#include "platform/event_loop.h"
#include "platform/gzip_inflater.h"
#include "platform/tls_session.h"

namespace ravelin::net {

class AsyncSocket;

// A failure raised at a call of HttpClient.
class HttpError : public std::runtime_error {
 public:
  HttpError(const std::string& message, int errorCode)
      : std::runtime_error(message), errorCode_(errorCode) {}
  int errorCode() const { return errorCode_; }

 private:
  int errorCode_;
};

// Error codes of the client itself (network and lookup errors use the socket's numbers).
enum : std::uint16_t {
  httperrBusy = 1,
  httperrNoData = 2,
  httperrAborted = 3,
  httperrLineTooLong = 4,
  httperrTooManyRelocations = 5,
  httperrTls = 6,
  httperrProxyTunnel = 7,
  httperrBodyTooLarge = 8,  // a gzip body expands past maxDecodedBody
  httperrBadEncoding = 9,   // a gzip body is damaged
  httperrProxyChoice = 10,  // no proxy could be chosen for a relocation's URL
};

// Request states, in this order.
enum HttpState {
  httpReady,
  httpStarting,
  httpConnected,
  httpDnsLookup,
  httpConnecting,
  httpWaitingHeader,
  httpWaitingBody,
  httpAborting
};

enum HttpRequest { httpGET };

// Fetches one web resource at a time with HTTP/1.0 GET, without blocking its caller:
// startGet() returns at once and the outcome arrives as events on the thread that created
// the client, while that thread processes its platform::EventLoop. Goes directly or
// through an HTTP proxy; "https" URLs are fetched over TLS (through the proxy with a
// CONNECT tunnel), with the server's certificate checked against the trust store.
//
// Every request ends with exactly one onRequestDone, always from the loop's processing
// (never from inside StartGet or Abort). Its error is 0 whenever a response arrived,
// whatever its status; otherwise a network error number or one of the httperr codes.
class HttpClient {
 public:
  // Relocations followed for one request before it ends with httperrTooManyRelocations.
  static constexpr int kMaxRelocations = 20;

  HttpClient();  // on the calling thread's loop
  explicit HttpClient(platform::EventLoop& loop);
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // Properties.
  std::string url;
  std::string proxy;             // HTTP proxy host (or host:port); empty for direct
  std::string proxyPort = "80";  // used when proxy names no port
  std::string agent = "Mozilla/3.0 (compatible)";
  std::string accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
  std::string sender, reference, cookie;
  std::string username, password;
  std::string proxyUsername, proxyPassword;
  bool noCache = false;
  std::int64_t modifiedSince = 0;  // seconds since 1970; 0 sends no If-Modified-Since
  std::string contentRangeBegin, contentRangeEnd;  // cleared after each request
  std::string localAddr = "0.0.0.0";
  bool multiThreaded = false;
  // Asks for gzip bodies ("Accept-Encoding: gzip") and expands a body that comes with
  // "Content-Encoding: gzip" as it arrives: the body stream, the body string and onDocData
  // see the plain bytes, while contentLength() and rcvdCount() count the bytes on the
  // wire. A body that expands past maxDecodedBody bytes, or is damaged, ends the request
  // with httperrBodyTooLarge or httperrBadEncoding (the reason phrase says which).
  bool acceptGzip = true;
  std::int64_t maxDecodedBody = std::int64_t{64} << 20;
  // Trust anchors for https; both empty means the system's trust store.
  std::string tlsCaFile, tlsCaDir;
  // Every body byte is appended to the stream, or to the string when that is set
  // instead (the string is grown ahead of a declared Content-Length). Owned by the
  // caller.
  std::ostream* bodyStream = nullptr;
  std::string* bodyString = nullptr;

  // Starts a GET of URL and returns at once. Throws HttpError (httperrBusy,
  // "HTTP component is busy") unless the state is ready.
  void startGet();
  // Stops the request in any state; exactly one onRequestDone with error 3 follows.
  void abort();

  // Results of the current (or last) request.
  HttpState state() const { return state_; }
  int statusCode() const { return statusCode_; }
  const std::string& reasonPhrase() const { return reason_; }
  std::int64_t contentLength() const { return contentLength_; }
  std::int64_t rcvdCount() const { return rcvdCount_; }
  const std::string& contentType() const { return contentType_; }
  const std::vector<std::string>& rcvdHeader() const { return rcvdHeader_; }
  const std::string& location() const { return location_; }
  const std::vector<std::string>& wWWAuthenticate() const { return wwwAuthenticate_; }
  // The host, port and request target of the connection in use.
  const std::string& connectionHost() const { return connHost_; }
  const std::string& connectionPort() const { return connPort_; }
  const std::string& requestTarget() const { return target_; }
  int relocations() const { return relocations_; }
  uint16_t RequestError() const { return errorCode_; }

  // Events (all on the client's thread).
  std::function<void(HttpClient&)> onStateChange;
  std::function<void(HttpClient&)> onSessionConnected;
  std::function<void(HttpClient&)> onRequestHeaderBegin;
  std::function<void(HttpClient&)> onRequestHeaderEnd;
  std::function<void(HttpClient&)> onHeaderBegin;
  std::function<void(HttpClient&)> onHeaderData;
  std::function<void(HttpClient&)> onHeaderEnd;
  std::function<void(HttpClient&)> onDocBegin;
  std::function<void(HttpClient&, const char* data, int len)> onDocData;
  std::function<void(HttpClient&)> onDocEnd;
  std::function<void(HttpClient&)> onLocationChange;
  // Before a relocation to another host or scheme connects, with the new absolute URL: the
  // place to choose the proxy for it. An exception it throws fails the request with
  // httperrProxyChoice and its text as the reason.
  std::function<void(HttpClient&, const std::string& url)> onRelocate;
  std::function<void(HttpClient&, const std::string& cookie, bool& accept)> onCookie;
  std::function<void(HttpClient&, HttpRequest request, std::uint16_t error)> onRequestDone;

 private:
  enum class Phase { Plain, Tunnel, Handshake };

  void setState(HttpState s);
  void resetResults();
  bool prepareTarget(const http::UrlParts& u);
  void startLookup();
  void lookupDone(std::uint16_t error);
  void sessionConnected(std::uint16_t error);
  void transportReady();
  void sendRequest();
  void sendBytes(const std::string& bytes);
  void flushTls();
  void dataAvailable();
  void incoming(const char* data, std::size_t len);
  void tunnelData(std::string_view data);
  void headerData(std::string_view data);
  void headerEnd(std::string_view rest);
  void bodyData(const char* data, std::size_t len);
  void deliver(const char* data, std::size_t len);
  void relocate();
  void sessionClosed(std::uint16_t error);
  void restartAfterClose();
  void fail(std::uint16_t error, const std::string& reason, int status = 404);
  void endRequest();
  void closeSocket();

  platform::EventLoop& loop_;
  std::unique_ptr<AsyncSocket> socket_;
  std::shared_ptr<bool> alive_;

  HttpState state_ = httpReady;
  Phase phase_ = Phase::Plain;
  std::unique_ptr<platform::TlsSession> tls_;
  http::HttpResponseParser parser_;
  http::HttpResponseParser tunnelParser_;
  std::string plainBuf_;  // decrypted bytes waiting to be handled
  std::string recvBuf_;   // raw receive buffer

  // The request.
  std::string scheme_, host_, port_, path_;
  bool hadPort_ = false;
  bool viaProxy_ = false;
  bool useTls_ = false;
  std::string connHost_, connPort_, target_;
  std::string requestBytes_;

  // Per-request results.
  int statusCode_ = 0;
  std::string reason_;
  std::int64_t contentLength_ = -1;
  std::int64_t rcvdCount_ = 0;
  std::string contentType_;
  std::vector<std::string> rcvdHeader_;
  std::string location_;
  std::vector<std::string> wwwAuthenticate_;
  std::uint16_t errorCode_ = 0;
  std::unique_ptr<platform::GzipInflater> gunzip_;  // while a gzip body arrives

  int lineCount_ = 0;  // header lines of this request, kept across a repetition
  bool headerBegun_ = false;
  bool relocating_ = false;
  bool ending_ = false;  // the client itself closes the connection to end the request
  bool docBegun_ = false;
  int relocations_ = 0;
};

}  // namespace ravelin::net

#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "update/http_response_parser.h"
#include "update/http_url.h"
#include "update/tls_session.h"

class TWSocket;

// A failure raised at a call of THttpCli.
class EHttpException : public std::runtime_error {
 public:
  EHttpException(const std::string& message, int errorCode)
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
};

// Request states, in this order.
enum THttpState {
  httpReady,
  httpStarting,
  httpConnected,
  httpDnsLookup,
  httpConnecting,
  httpWaitingHeader,
  httpWaitingBody,
  httpAborting
};

enum THttpRequest { httpGET };

// Fetches one web resource at a time with HTTP/1.0 GET, without blocking its caller:
// StartGet() returns at once and the outcome arrives as events on the thread that created
// the client, while that thread processes its platform::EventLoop. Goes directly or
// through an HTTP proxy; "https" URLs are fetched over TLS (through the proxy with a
// CONNECT tunnel), with the server's certificate checked against the trust store.
//
// Every request ends with exactly one OnRequestDone, always from the loop's processing
// (never from inside StartGet or Abort). Its error is 0 whenever a response arrived,
// whatever its status; otherwise a network error number or one of the httperr codes.
class THttpCli {
 public:
  // Relocations followed for one request before it ends with httperrTooManyRelocations.
  static constexpr int kMaxRelocations = 20;

  THttpCli();  // on the calling thread's loop
  explicit THttpCli(platform::EventLoop& loop);
  ~THttpCli();
  THttpCli(const THttpCli&) = delete;
  THttpCli& operator=(const THttpCli&) = delete;

  // Properties.
  std::string URL;
  std::string Proxy;             // HTTP proxy host (or host:port); empty for direct
  std::string ProxyPort = "80";  // used when Proxy names no port
  std::string Agent = "Mozilla/3.0 (compatible)";
  std::string Accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
  std::string Sender, Reference, Cookie;
  std::string Username, Password;
  std::string ProxyUsername, ProxyPassword;
  bool NoCache = false;
  std::int64_t ModifiedSince = 0;  // seconds since 1970; 0 sends no If-Modified-Since
  std::string ContentRangeBegin, ContentRangeEnd;  // cleared after each request
  std::string LocalAddr = "0.0.0.0";
  bool MultiThreaded = false;
  // Trust anchors for https; both empty means the system's trust store.
  std::string TlsCaFile, TlsCaDir;
  // Every body byte is appended to the stream, or to the string when that is set
  // instead (the string is grown ahead of a declared Content-Length). Owned by the
  // caller.
  std::ostream* BodyStream = nullptr;
  std::string* BodyString = nullptr;

  // Starts a GET of URL and returns at once. Throws EHttpException (httperrBusy,
  // "HTTP component is busy") unless the state is ready.
  void StartGet();
  // Stops the request in any state; exactly one OnRequestDone with error 3 follows.
  void Abort();

  // Results of the current (or last) request.
  THttpState State() const { return state_; }
  int StatusCode() const { return statusCode_; }
  const std::string& ReasonPhrase() const { return reason_; }
  std::int64_t ContentLength() const { return contentLength_; }
  std::int64_t RcvdCount() const { return rcvdCount_; }
  const std::string& ContentType() const { return contentType_; }
  const std::vector<std::string>& RcvdHeader() const { return rcvdHeader_; }
  const std::string& Location() const { return location_; }
  const std::vector<std::string>& WWWAuthenticate() const { return wwwAuthenticate_; }
  // The host, port and request target of the connection in use.
  const std::string& ConnectionHost() const { return connHost_; }
  const std::string& ConnectionPort() const { return connPort_; }
  const std::string& RequestTarget() const { return target_; }
  int Relocations() const { return relocations_; }
  uint16_t RequestError() const { return errorCode_; }

  // Events (all on the client's thread).
  std::function<void(THttpCli&)> OnStateChange;
  std::function<void(THttpCli&)> OnSessionConnected;
  std::function<void(THttpCli&)> OnRequestHeaderBegin;
  std::function<void(THttpCli&)> OnRequestHeaderEnd;
  std::function<void(THttpCli&)> OnHeaderBegin;
  std::function<void(THttpCli&)> OnHeaderData;
  std::function<void(THttpCli&)> OnHeaderEnd;
  std::function<void(THttpCli&)> OnDocBegin;
  std::function<void(THttpCli&, const char* data, int len)> OnDocData;
  std::function<void(THttpCli&)> OnDocEnd;
  std::function<void(THttpCli&)> OnLocationChange;
  std::function<void(THttpCli&, const std::string& cookie, bool& accept)> OnCookie;
  std::function<void(THttpCli&, THttpRequest request, std::uint16_t error)> OnRequestDone;

 private:
  enum class Phase { Plain, Tunnel, Handshake };

  void setState(THttpState s);
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
  void relocate();
  void sessionClosed(std::uint16_t error);
  void restartAfterClose();
  void fail(std::uint16_t error, const std::string& reason, int status = 404);
  void endRequest();
  void closeSocket();

  platform::EventLoop& loop_;
  std::unique_ptr<TWSocket> socket_;
  std::shared_ptr<bool> alive_;

  THttpState state_ = httpReady;
  Phase phase_ = Phase::Plain;
  std::unique_ptr<http::TlsSession> tls_;
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

  int lineCount_ = 0;  // header lines of this request, kept across a repetition
  bool headerBegun_ = false;
  bool relocating_ = false;
  bool ending_ = false;  // the client itself closes the connection to end the request
  bool docBegun_ = false;
  int relocations_ = 0;
};

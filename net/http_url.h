#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace ravelin::net {

namespace http {

// The parts of a URL as the HTTP client uses them; each may be empty.
struct UrlParts {
  std::string scheme, user, password, host, port, path;
};

// Splits a URL into scheme, user, password, host, port and path:
//  - "scheme://rest"; "/path" (not "//") and "http:path" are a path only (scheme http);
//    anything else is the rest as a whole ("mailto:x" gives the scheme mailto);
//  - in the rest the path starts at the first "/" or "?", whichever comes first;
//    before it stands [user[":"password]"@"]host[":"port], where an IPv6 literal host
//    keeps its brackets ("[::1]:8080").
UrlParts splitUrl(std::string_view url);

// A path that starts with "./" or "../" taken relative to the directory of basePath
// (one directory up per "../"); any other path is returned unchanged.
std::string resolveRelativePath(std::string_view path, std::string_view basePath);

// The port a scheme uses when the URL names none: "443" for https, else "80".
std::string defaultPort(std::string_view scheme);

// The value of the Host line: the host, with ":port" when the port is not the scheme's
// default (a name-based server on another port needs it to pick the site).
std::string hostHeader(std::string_view host, std::string_view port, std::string_view scheme);

// True for "https" in any case.
bool isHttpsScheme(std::string_view scheme);

// Standard Base64 with padding.
std::string base64Encode(std::string_view bytes);

// "Sun, 06 Nov 1994 08:49:37" for a time in seconds since 1970 (UTC).
std::string httpDate(std::int64_t unixSeconds);

// Everything a GET request is built from.
struct GetRequest {
  std::string target;  // the path, or the absolute URL when sent to a proxy
  std::string host;    // value of the Host line
  std::string accept, agent, sender, reference, cookie;
  std::string acceptEncoding;                // Accept-Encoding, when not empty
  std::string username, password;            // Authorization: Basic, when username is set
  std::string proxyUsername, proxyPassword;  // Proxy-Authorization, when via a proxy
  bool viaProxy = false;
  bool noCache = false;
  std::int64_t modifiedSince = 0;  // seconds since 1970, 0 for none
  std::string rangeBegin, rangeEnd;
};

// The request bytes: the GET line for HTTP/1.0, the optional header lines in their fixed
// order, each ending in CR LF, and the empty line.
std::string buildGetRequest(const GetRequest& r);

// The CONNECT request that asks an HTTP proxy for a tunnel to host:port.
std::string buildConnectRequest(const std::string& host, const std::string& port,
                                const std::string& agent, const std::string& proxyUsername,
                                const std::string& proxyPassword);

}  // namespace http

}  // namespace ravelin::net

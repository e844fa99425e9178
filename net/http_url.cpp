#include "net/http_url.h"

#include <cctype>
#include <cstdio>
#include <ctime>

#include "platform/calendar.h"

namespace ravelin::net {

namespace http {

namespace {

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  return true;
}

// host[":"port]; an IPv6 literal host stays in its brackets, whose colons are not the port's.
void SplitHostPort(std::string_view hp, UrlParts& u) {
  const std::size_t colon = hp.rfind(':');
  const std::size_t bracket = hp.rfind(']');
  if (colon == std::string_view::npos || (bracket != std::string_view::npos && bracket > colon)) {
    u.host = std::string(hp);
  } else {
    u.host = std::string(hp.substr(0, colon));
    u.port = std::string(hp.substr(colon + 1));
  }
}

}  // namespace

UrlParts splitUrl(std::string_view url) {
  UrlParts u;
  std::string_view rest;
  const std::size_t sep = url.find("://");
  if (sep != std::string_view::npos) {
    u.scheme = std::string(url.substr(0, sep));
    rest = url.substr(sep + 3);
  } else if (url.starts_with("//")) {
    // Scheme-relative ("//host/path"): the caller keeps its scheme.
    rest = url.substr(2);
  } else if (url.starts_with("/")) {
    u.scheme = "http";
    u.path = std::string(url);
    return u;
  } else if (StartsWithNoCase(url, "http:")) {
    u.scheme = "http";
    u.path = std::string(url.substr(5));
    return u;
  } else {
    const std::size_t colon = url.find(':');
    // "mailto:someone" names its scheme; "host:port/path" does not (the part after the
    // colon starts with a digit there).
    if (colon != std::string_view::npos && colon + 1 < url.size() &&
        !std::isdigit(static_cast<unsigned char>(url[colon + 1])) &&
        url.find_first_of("/?") > colon)
      u.scheme = std::string(url.substr(0, colon));
    rest = url;
  }

  const std::size_t pathStart = rest.find_first_of("/?");
  std::string_view authority = rest;
  if (pathStart != std::string_view::npos) {
    u.path = std::string(rest.substr(pathStart));
    authority = rest.substr(0, pathStart);
  }
  const std::size_t at = authority.rfind('@');
  if (at != std::string_view::npos) {
    const std::string_view userInfo = authority.substr(0, at);
    const std::size_t colon = userInfo.find(':');
    if (colon == std::string_view::npos) {
      u.user = std::string(userInfo);
    } else {
      u.user = std::string(userInfo.substr(0, colon));
      u.password = std::string(userInfo.substr(colon + 1));
    }
    authority = authority.substr(at + 1);
  }
  SplitHostPort(authority, u);
  return u;
}

std::string resolveRelativePath(std::string_view path, std::string_view basePath) {
  if (!path.starts_with("./") && !path.starts_with("../")) return std::string(path);
  // The directory of the base: everything up to and including its last "/".
  std::string dir(basePath.substr(0, basePath.find('?')));
  const std::size_t slash = dir.rfind('/');
  dir = slash == std::string::npos ? std::string("/") : dir.substr(0, slash + 1);
  while (true) {
    if (path.starts_with("./")) {
      path.remove_prefix(2);
    } else if (path.starts_with("../")) {
      path.remove_prefix(3);
      if (dir.size() > 1) {
        const std::size_t up = dir.rfind('/', dir.size() - 2);
        dir = up == std::string::npos ? std::string("/") : dir.substr(0, up + 1);
      }
    } else {
      break;
    }
  }
  return dir + std::string(path);
}

std::string defaultPort(std::string_view scheme) {
  return isHttpsScheme(scheme) ? "443" : "80";
}

std::string hostHeader(std::string_view host, std::string_view port, std::string_view scheme) {
  std::string value(host);
  if (!port.empty() && port != defaultPort(scheme)) value.append(":").append(port);
  return value;
}

bool isHttpsScheme(std::string_view scheme) {
  return scheme.size() == 5 && StartsWithNoCase(scheme, "https");
}

std::string base64Encode(std::string_view bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                       (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                       static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  if (i < bytes.size()) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string httpDate(std::int64_t unixSeconds) {
  const std::tm tm = platform::utcCalendarTime(unixSeconds);
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s, %02d %s %04d %02d:%02d:%02d", kDays[tm.tm_wday % 7],
                tm.tm_mday, kMonths[tm.tm_mon % 12], tm.tm_year + 1900, tm.tm_hour, tm.tm_min,
                tm.tm_sec);
  return buf;
}

std::string buildGetRequest(const GetRequest& r) {
  std::string s;
  s.reserve(256);
  auto line = [&s](std::string_view a, std::string_view b = {}) {
    s.append(a);
    s.append(b);
    s.append("\r\n");
  };
  line("GET " + r.target + " HTTP/1.0");
  if (!r.sender.empty()) line("From: ", r.sender);
  if (!r.accept.empty()) line("Accept: ", r.accept);
  if (!r.reference.empty()) line("Referer: ", r.reference);
  if (!r.agent.empty()) line("User-Agent: ", r.agent);
  line("Host: ", r.host);
  if (!r.acceptEncoding.empty()) line("Accept-Encoding: ", r.acceptEncoding);
  if (r.noCache) line("Pragma: no-cache");
  if (r.modifiedSince != 0) line("If-Modified-Since: ", httpDate(r.modifiedSince) + " GMT");
  if (!r.username.empty())
    line("Authorization: Basic ", base64Encode(r.username + ":" + r.password));
  if (r.viaProxy && !r.proxyUsername.empty())
    line("Proxy-Authorization: Basic ", base64Encode(r.proxyUsername + ":" + r.proxyPassword));
  if (!r.cookie.empty()) line("Cookie: ", r.cookie);
  if (!r.rangeBegin.empty() || !r.rangeEnd.empty())
    line("Range: bytes=", r.rangeBegin + "-" + r.rangeEnd);
  line("");
  return s;
}

std::string buildConnectRequest(const std::string& host, const std::string& port,
                                const std::string& agent, const std::string& proxyUsername,
                                const std::string& proxyPassword) {
  const std::string hp = host + ":" + port;
  std::string s = "CONNECT " + hp + " HTTP/1.0\r\nHost: " + hp + "\r\n";
  if (!agent.empty()) s += "User-Agent: " + agent + "\r\n";
  if (!proxyUsername.empty())
    s += "Proxy-Authorization: Basic " + base64Encode(proxyUsername + ":" + proxyPassword) + "\r\n";
  s += "\r\n";
  return s;
}

}  // namespace http

}  // namespace ravelin::net

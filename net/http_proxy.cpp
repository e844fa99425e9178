#include "net/http_proxy.h"

#include <cctype>
#include <cstdlib>
#include <stdexcept>

#include "net/http_client.h"
#include "net/http_url.h"
#include "net/ip_address.h"

namespace ravelin::net {

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The first of the lower-case name and its upper-case twin that is set and not empty.
std::optional<std::string> VariableName(const ProxyEnvironment& env, const std::string& lower) {
  for (const std::string& name : {lower, Upper(lower)}) {
    const auto it = env.find(name);
    if (it != env.end() && !it->second.empty()) return name;
  }
  return std::nullopt;
}

// "%40" in a user name or password stands for "@", as in any URL.
std::string PercentDecoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() &&
        std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

HttpProxy ParseProxyValue(const std::string& name, std::string_view value) {
  value = Trim(value);
  const std::size_t sep = value.find("://");
  if (sep != std::string_view::npos) {
    const std::string scheme = Lower(value.substr(0, sep));
    if (scheme != "http")
      throw std::invalid_argument(name + " names a " + scheme +
                                  ":// proxy; only HTTP proxies (http://host:port) can be used");
    value.remove_prefix(sep + 3);
  }
  const http::UrlParts p = http::splitUrl("http://" + std::string(value));
  if (p.host.empty()) throw std::invalid_argument(name + " names no proxy host");
  return {p.host, p.port.empty() ? "1080" : p.port, PercentDecoded(p.user),
          PercentDecoded(p.password)};
}

// A name without brackets around an IPv6 address and without a trailing dot, in lower case.
std::string PlainHost(std::string_view host) {
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
    host = host.substr(1, host.size() - 2);
  if (!host.empty() && host.back() == '.') host.remove_suffix(1);
  return Lower(host);
}

}  // namespace

ProxyEnvironment processProxyEnvironment() {
  ProxyEnvironment env;
  for (const std::string lower : {"http_proxy", "https_proxy", "no_proxy"}) {
    for (const std::string& name : {lower, Upper(lower)})
      if (const char* value = std::getenv(name.c_str())) env[name] = value;
  }
  return env;
}

bool noProxyNamesHost(std::string_view noProxy, std::string_view host) {
  const std::string h = PlainHost(host);
  const std::optional<IpAddress> ip = parseIpAddress(h);
  std::size_t start = 0;
  while (start <= noProxy.size()) {
    std::size_t end = noProxy.find(',', start);
    if (end == std::string_view::npos) end = noProxy.size();
    std::string_view entry = Trim(noProxy.substr(start, end - start));
    start = end + 1;
    if (entry == "*") return true;
    // The port: after a bracketed IPv6 address, or after the only colon of a name.
    if (entry.starts_with('[')) {
      entry = entry.substr(0, entry.find(']') + 1);
    } else if (const std::size_t colon = entry.find(':');
               colon != std::string_view::npos &&
               entry.find(':', colon + 1) == std::string_view::npos) {
      entry = entry.substr(0, colon);
    }
    if (entry.starts_with('.')) entry.remove_prefix(1);
    // An address range ("10.0.0.0/8", "fd00::/8") takes in every address it covers.
    std::string_view prefix;
    if (const std::size_t slash = entry.find('/'); slash != std::string_view::npos) {
      prefix = entry.substr(slash + 1);
      entry = entry.substr(0, slash);
    }
    const std::string name = PlainHost(entry);
    if (name.empty()) continue;
    if (ip) {
      const std::optional<IpAddress> range = parseIpAddress(name);
      if (!range) continue;
      int bits = range->bits();
      if (!prefix.empty()) {
        bits = 0;
        for (char c : prefix)
          bits = std::isdigit(static_cast<unsigned char>(c)) && bits <= 128 ? bits * 10 + (c - '0')
                                                                            : 1000;
      }
      if (samePrefix(*ip, *range, bits)) return true;
      continue;
    }
    if (h == name) return true;
    if (!ip && h.size() > name.size() && h.ends_with(name) && h[h.size() - name.size() - 1] == '.')
      return true;
  }
  return false;
}

std::optional<HttpProxy> proxyFor(std::string_view url, const std::string& proxyAddr, int proxyPort,
                                  const ProxyEnvironment& env) {
  if (!proxyAddr.empty()) return HttpProxy{proxyAddr, std::to_string(proxyPort), "", ""};
  const http::UrlParts u = http::splitUrl(url);
  const std::optional<std::string> name =
      VariableName(env, http::isHttpsScheme(u.scheme) ? "https_proxy" : "http_proxy");
  if (!name) return std::nullopt;
  if (const auto noProxy = VariableName(env, "no_proxy");
      noProxy && noProxyNamesHost(env.at(*noProxy), u.host))
    return std::nullopt;
  return ParseProxyValue(*name, env.at(*name));
}

void useProxy(HttpClient& client, const std::optional<HttpProxy>& proxy) {
  client.proxy = proxy ? proxy->host : "";
  if (!proxy) return;
  client.proxyPort = proxy->port;
  client.proxyUsername = proxy->username;
  client.proxyPassword = proxy->password;
}

void useProxyRules(HttpClient& client, std::string_view url, const std::string& proxyAddr,
                   int proxyPort, const ProxyEnvironment& env) {
  useProxy(client, proxyFor(url, proxyAddr, proxyPort, env));
  client.onRelocate = [proxyAddr, proxyPort, env](HttpClient& c, const std::string& newUrl) {
    useProxy(c, proxyFor(newUrl, proxyAddr, proxyPort, env));
  };
}

}  // namespace ravelin::net

#pragma once
// Which HTTP proxy a download goes through: the one configured in the settings, otherwise
// the one the environment names, read the way curl reads it.
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace ravelin::net {

class HttpClient;

struct HttpProxy {
  std::string host;
  std::string port;  // when host names none
  std::string username, password;
  bool operator==(const HttpProxy&) const = default;
};

// The proxy variables of an environment by name (http_proxy, HTTPS_PROXY, no_proxy, ...).
using ProxyEnvironment = std::map<std::string, std::string>;

// This process's proxy variables: http_proxy, https_proxy and no_proxy in lower and upper
// case, those that are set.
ProxyEnvironment processProxyEnvironment();

// The proxy for url. A configured proxyAddr (with proxyPort) wins. Otherwise https URLs use
// https_proxy, others http_proxy (the lower-case name first, then the upper-case one; an
// empty value counts as unset), unless no_proxy (or NO_PROXY) names the URL's host; a value
// is "http://[user:password@]host[:port][/]" or the same without "http://", the port 1080
// when it names none. Nothing: the download goes directly. A variable that names another
// kind of proxy ("socks5://...") raises std::invalid_argument, which names the variable.
std::optional<HttpProxy> proxyFor(std::string_view url, const std::string& proxyAddr, int proxyPort,
                                  const ProxyEnvironment& env);

// Whether a no_proxy list names host: comma-separated names, each matching the host itself
// and its subdomains (with or without a leading dot), "*" matching every host; a ":port"
// after a name is ignored. An IP address matches the same address in any spelling and the
// ranges that cover it ("127.0.0.0/8", "fd00::/8"), never a part of a name.
bool noProxyNamesHost(std::string_view noProxy, std::string_view host);

// Points the client at the proxy, or at no proxy.
void useProxy(HttpClient& client, const std::optional<HttpProxy>& proxy);

// Points the client at proxyFor(url, ...) now, and at the proxy of the new URL whenever a
// relocation leads elsewhere: a list moved to a host that no_proxy names is fetched directly.
// Throws like proxyFor for url; a relocation whose proxy cannot be chosen fails the request.
void useProxyRules(HttpClient& client, std::string_view url, const std::string& proxyAddr,
                   int proxyPort, const ProxyEnvironment& env);

}  // namespace ravelin::net

#include <system_error>
#include "net/async_socket.h"

#include "net/async_socket_events.h"
#include "net/net_errors.h"

namespace ravelin::net {

// ---------------------------------------------------------------------------------------
// Name lookup

void AsyncSocket::startDnsLookup(const std::string& host) {
  if (host.empty()) {
    std::shared_ptr<bool> alive = alive_;
    raiseException("DNS lookup: invalid host name.", wsaeInval);
    if (!*alive) return;
    fire(onDnsLookupDone, wsaeInval);
    return;
  }
  if (dnsLookup_) dnsLookup_->cancel();
  dnsLookup_.reset();
  dnsResult_.clear();
  dnsResultList_.clear();

  if (const auto a = platform::parseIPv4(host)) {
    dnsResult_ = platform::formatIPv4(*a);
    fire(onDnsLookupDone, 0);
    return;
  }
  try {
    dnsLookup_ = net::DnsLookup::start(
        loop_, host,
        [this, tok = std::weak_ptr<bool>(alive_)](int error, const std::vector<std::string>& list) {
          auto alive = tok.lock();
          if (!alive || !*alive) return;
          guarded([&] { dnsAnswer(error, list); });
        });
  } catch (const std::system_error& e) {
    const int code = platform::netErrorFromErrno(e.code().value());
    lastError_ = code;
    raiseException(host + ": can't start DNS lookup, error #" + std::to_string(code), code);
  }
}

void AsyncSocket::dnsAnswer(int error, const std::vector<std::string>& addresses) {
  dnsLookup_.reset();
  if (error == 0) {
    dnsResultList_ = addresses;
    dnsResult_ = addresses.empty() ? std::string() : addresses.front();
  } else {
    lastError_ = error;
  }
  fire(onDnsLookupDone, static_cast<std::uint16_t>(error));
}

void AsyncSocket::stopDnsLookup() {
  // Cancelling cannot fail here: the answer of a cancelled lookup is simply never
  // delivered.
  if (dnsLookup_) dnsLookup_->cancel();
  dnsLookup_.reset();
}

}  // namespace ravelin::net

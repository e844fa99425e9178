// The SOCKS 5 reply parsers on arbitrary bytes: the first byte picks the parser and a
// chunk size, the rest is the reply. Fed whole and grown chunk by chunk, a parser must
// give the same verdict, never consume more than it was given, and only finish with a
// complete reply.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "net/socks_reply.h"

using namespace ravelin;
using namespace ravelin::net;

namespace {

net::socks::Reply parse(int which, std::string_view bytes) {
  switch (which) {
    case 0:
      return net::socks::parseMethodReply(bytes);
    case 1:
      return net::socks::parseAuthReply(bytes);
    default:
      return net::socks::parseConnectReply(bytes);
  }
}

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const int which = data[0] % 3;
  const std::size_t chunk = 1 + (data[0] >> 2) % 16;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  const net::socks::Reply whole = parse(which, bytes);
  check(whole.consumed <= bytes.size());
  if (whole.status == net::socks::ParseStatus::Done) check(whole.consumed > 0);
  if (whole.status == net::socks::ParseStatus::Error)
    check(whole.error >= 20001 && whole.error <= 20017);

  // Grown piece by piece, the way a socket collects a reply.
  net::socks::Reply grown;
  std::size_t have = 0;
  while (have < bytes.size()) {
    have = std::min(bytes.size(), have + chunk);
    grown = parse(which, bytes.substr(0, have));
    if (grown.status != net::socks::ParseStatus::NeedMore) break;
  }
  if (grown.status == net::socks::ParseStatus::Done) {
    // The same reply found in the shorter prefix: the whole input agrees, except that the
    // authentication reply refuses extra bytes that arrived together with it.
    check(grown.consumed <= have);
    if (which != 1) {
      check(whole.status == net::socks::ParseStatus::Done);
      check(whole.consumed == grown.consumed);
      check(whole.boundAddr == grown.boundAddr && whole.boundPort == grown.boundPort);
    }
  } else if (grown.status == net::socks::ParseStatus::Error && which != 1) {
    check(whole.status == net::socks::ParseStatus::Error && whole.error == grown.error);
  }
  return 0;
}

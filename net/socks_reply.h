#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ravelin::net {

// The SOCKS 5 client side of the negotiation as pure functions over bytes: builders for
// the three requests and incremental parsers for the three replies. A parser is given all
// reply bytes collected so far and says whether it needs more, is done (and how many bytes
// the reply took; anything after them belongs to the next stage) or failed (with the
// error code and text the socket reports).
namespace socks {

enum class ParseStatus { NeedMore, Done, Error };

// The error numbers of the negotiation, above the range of the network errors (NetError).
// socksErrGeneralFailure..socksErrAddressType are the proxy's connect reply statuses 1..8
// in order.
enum SocksError : int {
  socksErrTooMuchData = 20001,
  socksErrVersion = 20002,
  socksErrAuthMethod = 20003,
  socksErrGeneralFailure = 20004,
  socksErrNotAllowed = 20005,
  socksErrNetUnreachable = 20006,
  socksErrHostUnreachable = 20007,
  socksErrConnectionRefused = 20008,
  socksErrTtlExpired = 20009,
  socksErrCommandNotSupported = 20010,
  socksErrAddressType = 20011,
  socksErrUnassigned = 20012,
  socksErrAuthFailed = 20015,
};

struct Reply {
  ParseStatus status = ParseStatus::NeedMore;
  std::size_t consumed = 0;
  int error = 0;
  std::string errorText;
  // Method reply: the method the proxy chose (0 none, 2 user/password).
  int method = -1;
  // Connect reply: the address (dotted text or name) and port (decimal text) the proxy
  // reports as bound.
  std::string boundAddr;
  std::string boundPort;
};

// 5, 1, then 0 (no authentication) or 2 (user code and password).
std::string buildGreeting(bool userPassword);
// 1, length, user code, length, password. Each field longer than 255 bytes is cut to 255.
std::string buildAuthRequest(std::string_view user, std::string_view password);
// 5, 1, 0, 3, length, host text, port in network order. Host text of 1..255 bytes.
std::string buildConnectRequest(std::string_view host, std::uint16_t port);

// Method reply: two bytes, 5 then the chosen method. A method other than 0 (none) or 2
// (user code and password) is socksErrAuthMethod.
Reply parseMethodReply(std::string_view bytes);
// Authentication reply: exactly two bytes, 1 then 0 on success; more than two bytes at
// once is socksErrTooMuchData.
Reply parseAuthReply(std::string_view bytes);
// Connect reply: 5, status, 0, address type, address, port.
Reply parseConnectReply(std::string_view bytes);

// Error text for a SOCKS error code (20001..20017; "socks error #<code>" for a number
// without a text of its own).
std::string errorText(int code);

}  // namespace socks

}  // namespace ravelin::net

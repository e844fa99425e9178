#include "net/socks_reply.h"

#include <algorithm>

namespace ravelin::net {

namespace socks {

namespace {

Reply fail(int code) {
  Reply r;
  r.status = ParseStatus::Error;
  r.error = code;
  r.errorText = errorText(code);
  return r;
}

unsigned byteAt(std::string_view s, std::size_t i) {
  return static_cast<unsigned char>(s[i]);
}

}  // namespace

std::string errorText(int code) {
  switch (code) {
    case socksErrTooMuchData:
      return "too much data availaible";
    case socksErrVersion:
      return "socks version error";
    case socksErrAuthMethod:
      return "authentification method not acceptable";
    case socksErrGeneralFailure:
      return "general SOCKS server failure";
    case socksErrNotAllowed:
      return "connection not allowed by ruleset";
    case socksErrNetUnreachable:
      return "network unreachable";
    case socksErrHostUnreachable:
      return "host unreachable";
    case socksErrConnectionRefused:
      return "connection refused";
    case socksErrTtlExpired:
      return "time to live expired";
    case socksErrCommandNotSupported:
      return "command not supported";
    case socksErrAddressType:
      return "address type not supported";
    case socksErrAuthFailed:
      return "socks authentication failed";
    default:
      return "socks error #" + std::to_string(code);
  }
}

std::string buildGreeting(bool userPassword) {
  return std::string{'\x05', '\x01', userPassword ? '\x02' : '\x00'};
}

std::string buildAuthRequest(std::string_view user, std::string_view password) {
  user = user.substr(0, std::min<std::size_t>(user.size(), 255));
  password = password.substr(0, std::min<std::size_t>(password.size(), 255));
  std::string out;
  out.push_back('\x01');
  out.push_back(static_cast<char>(user.size()));
  out.append(user);
  out.push_back(static_cast<char>(password.size()));
  out.append(password);
  return out;
}

std::string buildConnectRequest(std::string_view host, std::uint16_t port) {
  std::string out{'\x05', '\x01', '\x00', '\x03'};
  out.push_back(static_cast<char>(host.size()));
  out.append(host);
  out.push_back(static_cast<char>(port >> 8));
  out.push_back(static_cast<char>(port & 0xFF));
  return out;
}

Reply parseMethodReply(std::string_view bytes) {
  Reply r;
  if (bytes.empty()) return r;
  if (byteAt(bytes, 0) != 5) return fail(socksErrVersion);
  if (bytes.size() < 2) return r;
  const unsigned method = byteAt(bytes, 1);
  if (method != 0 && method != 2) return fail(socksErrAuthMethod);
  r.status = ParseStatus::Done;
  r.consumed = 2;
  r.method = static_cast<int>(method);
  return r;
}

Reply parseAuthReply(std::string_view bytes) {
  Reply r;
  if (bytes.empty()) return r;
  if (byteAt(bytes, 0) != 1) return fail(socksErrVersion);
  if (bytes.size() > 2) return fail(socksErrTooMuchData);
  if (bytes.size() < 2) return r;
  if (byteAt(bytes, 1) != 0) return fail(socksErrAuthFailed);
  r.status = ParseStatus::Done;
  r.consumed = 2;
  return r;
}

Reply parseConnectReply(std::string_view bytes) {
  Reply r;
  if (bytes.empty()) return r;
  if (byteAt(bytes, 0) != 5) return fail(socksErrVersion);
  if (bytes.size() < 2) return r;
  const unsigned status = byteAt(bytes, 1);
  if (status != 0) {
    if (status <= 8) return fail(socksErrGeneralFailure + static_cast<int>(status) - 1);
    Reply e = fail(socksErrUnassigned);
    e.errorText = "unassigned error #" + std::to_string(status);
    return e;
  }
  if (bytes.size() < 4) return r;
  const unsigned atyp = byteAt(bytes, 3);
  std::size_t total;
  if (atyp == 1) {
    total = 10;
  } else if (atyp == 3) {
    if (bytes.size() < 5) return r;
    total = 7 + byteAt(bytes, 4);
  } else {
    return fail(socksErrAddressType);
  }
  if (bytes.size() < total) return r;
  if (atyp == 1) {
    r.boundAddr = std::to_string(byteAt(bytes, 4)) + "." + std::to_string(byteAt(bytes, 5)) + "." +
                  std::to_string(byteAt(bytes, 6)) + "." + std::to_string(byteAt(bytes, 7));
  } else {
    r.boundAddr = std::string(bytes.substr(5, byteAt(bytes, 4)));
  }
  r.boundPort = std::to_string(byteAt(bytes, total - 2) * 256 + byteAt(bytes, total - 1));
  r.status = ParseStatus::Done;
  r.consumed = total;
  return r;
}

}  // namespace socks

}  // namespace ravelin::net

#pragma once
// IP addresses in their text forms, read without the operating system's help so that every
// platform reads them alike.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace ravelin::net {

struct IpAddress {
  bool v6 = false;
  std::array<std::uint8_t, 16> bytes{};  // an IPv4 address in the first four
  int bits() const { return v6 ? 128 : 32; }
  bool operator==(const IpAddress&) const = default;
};

// A dotted IPv4 address ("10.0.0.1") or an IPv6 address ("::1", "fe80::1:2",
// "::ffff:10.0.0.1"), without brackets; nothing when text is neither.
std::optional<IpAddress> parseIpAddress(std::string_view text);

// Whether the first prefixBits bits of two addresses of the same family agree.
bool samePrefix(const IpAddress& a, const IpAddress& b, int prefixBits);

}  // namespace ravelin::net

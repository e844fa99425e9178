#include "net/ip_address.h"

#include <vector>

namespace ravelin::net {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::array<std::uint8_t, 4>> ParseIpv4(std::string_view text) {
  std::array<std::uint8_t, 4> out{};
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (text.empty() || text.front() != '.') return std::nullopt;
      text.remove_prefix(1);
    }
    int value = 0, digits = 0;
    while (!text.empty() && text.front() >= '0' && text.front() <= '9' && digits < 4) {
      value = value * 10 + (text.front() - '0');
      text.remove_prefix(1);
      ++digits;
    }
    if (digits == 0 || digits > 3 || value > 255) return std::nullopt;
    out[static_cast<std::size_t>(part)] = static_cast<std::uint8_t>(value);
  }
  if (!text.empty()) return std::nullopt;
  return out;
}

// Groups of hex digits separated by ':', the last of them possibly a dotted IPv4 address
// (two groups) when v4Tail allows it. Nothing when a group is malformed.
std::optional<std::vector<std::uint16_t>> ParseGroups(std::string_view text, bool v4Tail) {
  std::vector<std::uint16_t> groups;
  if (text.empty()) return groups;
  while (true) {
    const std::size_t colon = text.find(':');
    const std::string_view group = text.substr(0, colon);
    if (v4Tail && colon == std::string_view::npos && group.find('.') != std::string_view::npos) {
      const auto v4 = ParseIpv4(group);
      if (!v4) return std::nullopt;
      groups.push_back(static_cast<std::uint16_t>((*v4)[0] << 8 | (*v4)[1]));
      groups.push_back(static_cast<std::uint16_t>((*v4)[2] << 8 | (*v4)[3]));
      return groups;
    }
    if (group.empty() || group.size() > 4) return std::nullopt;
    unsigned value = 0;
    for (char c : group) {
      const int digit = HexDigit(c);
      if (digit < 0) return std::nullopt;
      value = value * 16 + static_cast<unsigned>(digit);
    }
    groups.push_back(static_cast<std::uint16_t>(value));
    if (colon == std::string_view::npos) return groups;
    text.remove_prefix(colon + 1);
  }
}

}  // namespace

std::optional<IpAddress> parseIpAddress(std::string_view text) {
  if (const auto v4 = ParseIpv4(text)) {
    IpAddress a;
    std::copy(v4->begin(), v4->end(), a.bytes.begin());
    return a;
  }
  if (text.find(':') == std::string_view::npos) return std::nullopt;
  const std::size_t gap = text.find("::");
  std::optional<std::vector<std::uint16_t>> head, tail;
  if (gap == std::string_view::npos) {
    head = ParseGroups(text, true);
    tail.emplace();
    if (head && head->size() != 8) return std::nullopt;
  } else {
    head = ParseGroups(text.substr(0, gap), false);
    tail = ParseGroups(text.substr(gap + 2), true);
    if (head && tail && head->size() + tail->size() > 7) return std::nullopt;
  }
  if (!head || !tail) return std::nullopt;
  IpAddress a;
  a.v6 = true;
  const auto put = [&a](std::size_t index, std::uint16_t group) {
    a.bytes[2 * index] = static_cast<std::uint8_t>(group >> 8);
    a.bytes[2 * index + 1] = static_cast<std::uint8_t>(group & 0xFF);
  };
  for (std::size_t i = 0; i < head->size(); ++i) put(i, (*head)[i]);
  for (std::size_t i = 0; i < tail->size(); ++i) put(8 - tail->size() + i, (*tail)[i]);
  return a;
}

bool samePrefix(const IpAddress& a, const IpAddress& b, int prefixBits) {
  if (a.v6 != b.v6 || prefixBits < 0 || prefixBits > a.bits()) return false;
  for (int bit = 0; bit < prefixBits; ++bit) {
    const auto mask = static_cast<std::uint8_t>(0x80 >> (bit % 8));
    if ((a.bytes[static_cast<std::size_t>(bit / 8)] & mask) !=
        (b.bytes[static_cast<std::size_t>(bit / 8)] & mask))
      return false;
  }
  return true;
}

}  // namespace ravelin::net

#pragma once
// Builders for server.met bytes in tests: every tag form the ed2k clients write, so a
// test states its file tag by tag.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace test::met {

inline std::string le(std::uint64_t v, int width) {
  std::string s;
  for (int i = 0; i < width; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return s;
}

inline std::string header(std::uint32_t count, std::uint8_t first = 0x0E) {
  return std::string(1, static_cast<char>(first)) + le(count, 4);
}

// An entry: address bytes, port, the tag count and the tags as given.
inline std::string entry(std::initializer_list<int> address, std::uint16_t port,
                         const std::vector<std::string>& tags, std::int32_t tagCount) {
  std::string s;
  for (int b : address) s.push_back(static_cast<char>(b));
  s += le(port, 2) + le(static_cast<std::uint32_t>(tagCount), 4);
  for (const auto& t : tags) s += t;
  return s;
}
inline std::string entry(std::initializer_list<int> address, std::uint16_t port,
                         const std::vector<std::string>& tags = {}) {
  return entry(address, port, tags, static_cast<std::int32_t>(tags.size()));
}

// The name part of a tag: a one-byte ID (name length 1) or a text name.
inline std::string idName(std::uint8_t id) {
  return le(1, 2) + std::string(1, static_cast<char>(id));
}
inline std::string textName(std::string_view name) {
  return le(name.size(), 2) + std::string(name);
}

inline std::string tag(std::uint8_t type, const std::string& name, const std::string& value) {
  return std::string(1, static_cast<char>(type)) + name + value;
}
// Compact form: type with 0x80 set, then the ID byte, no name length.
inline std::string compact(std::uint8_t type, std::uint8_t id, const std::string& value) {
  return std::string(1, static_cast<char>(type | 0x80)) + std::string(1, static_cast<char>(id)) +
         value;
}

inline std::string strValue(std::string_view text) {
  return le(text.size(), 2) + std::string(text);
}

inline std::string strTag(std::uint8_t id, std::string_view text) {
  return tag(0x02, idName(id), strValue(text));
}
inline std::string strTag(std::string_view name, std::string_view text) {
  return tag(0x02, textName(name), strValue(text));
}
inline std::string intTag(std::uint8_t id, std::uint32_t v) {
  return tag(0x03, idName(id), le(v, 4));
}
inline std::string intTag(std::string_view name, std::uint32_t v) {
  return tag(0x03, textName(name), le(v, 4));
}
inline std::string u16Tag(std::uint8_t id, std::uint16_t v) {
  return tag(0x08, idName(id), le(v, 2));
}
inline std::string u8Tag(std::uint8_t id, std::uint8_t v) {
  return tag(0x09, idName(id), le(v, 1));
}
inline std::string u64Tag(std::uint8_t id, std::uint64_t v) {
  return tag(0x0B, idName(id), le(v, 8));
}
// A string of 1 to 16 bytes in the type byte (0x11 .. 0x20), no length field.
inline std::string shortStrTag(std::uint8_t id, std::string_view text) {
  return tag(static_cast<std::uint8_t>(0x10 + text.size()), idName(id), std::string(text));
}

}  // namespace test::met

#pragma once
// Server list bodies built byte by byte for the update tests and benchmarks.
#include <cstdint>
#include <string>

namespace test {

inline void PutLE(std::string& s, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// One MET entry in the old layout: address, port, and string tags with full names:
// name ("1"), description ("11") and an integer "users" tag.
inline std::string MetEntry(int a, int b, int c, int d, int port, const std::string& name,
                            const std::string& desc, std::uint32_t users) {
  std::string s;
  for (int x : {a, b, c, d}) s.push_back(static_cast<char>(x));
  PutLE(s, static_cast<std::uint64_t>(port), 2);
  PutLE(s, 3, 4);
  auto strTag = [&s](std::uint8_t id, const std::string& v) {
    s.push_back(2);
    PutLE(s, 1, 2);
    s.push_back(static_cast<char>(id));
    PutLE(s, v.size(), 2);
    s += v;
  };
  strTag(0x01, name);
  strTag(0x0B, desc);
  s.push_back(3);
  PutLE(s, 5, 2);
  s += "users";
  PutLE(s, users, 4);
  return s;
}

// A MET body: header byte, the declared count and the entries.
inline std::string MetBody(std::uint32_t declared, const std::string& entries,
                           std::uint8_t header = 0x0E) {
  std::string s(1, static_cast<char>(header));
  PutLE(s, declared, 4);
  return s + entries;
}

// n entries 10.x.y.z:4661+i%1000 named "srv<i>".
inline std::string ManyMetEntries(int n, int firstOctet = 10) {
  std::string s;
  for (int i = 0; i < n; ++i)
    s += MetEntry(firstOctet, (i >> 16) & 0xFF, (i >> 8) & 0xFF, i & 0xFF, 4661 + i % 1000,
                  "srv" + std::to_string(i), "d", static_cast<std::uint32_t>(i));
  return s;
}

// An entry as today's clients write it: compact tag names (one ID byte, type | 0x80),
// short strings without a length field, small integer types, and the name tags "users"
// and "files" spelled out.
inline std::string CurrentClientMetEntry(int a, int b, int c, int d, int port) {
  std::string s;
  for (int x : {a, b, c, d}) s.push_back(static_cast<char>(x));
  PutLE(s, static_cast<std::uint64_t>(port), 2);
  PutLE(s, 6, 4);
  // name: type 0x02 | 0x80, id 0x01, 16-bit length, bytes
  s.push_back(static_cast<char>(0x82));
  s.push_back(0x01);
  PutLE(s, 9, 2);
  s += "Today One";
  // description: a 4-byte short string (type 0x14 | 0x80), id 0x0B
  s.push_back(static_cast<char>(0x94));
  s.push_back(0x0B);
  s += "desc";
  // ping: 16-bit integer (0x08 | 0x80), id 0x0C
  s.push_back(static_cast<char>(0x88));
  s.push_back(0x0C);
  PutLE(s, 42, 2);
  // preference: 8-bit integer (0x09 | 0x80), id 0x0E, value 1 (High)
  s.push_back(static_cast<char>(0x89));
  s.push_back(0x0E);
  s.push_back(1);
  // "users" and "files" as 32-bit integers with full names
  s.push_back(3);
  PutLE(s, 5, 2);
  s += "users";
  PutLE(s, 1234, 4);
  s.push_back(3);
  PutLE(s, 5, 2);
  s += "files";
  PutLE(s, 98765, 4);
  return s;
}

// A BOT record: ":" then address, port (LE), preference byte, users (LE).
inline std::string BotRecord(int a, int b, int c, int d, int port, int pref, int users) {
  std::string s(1, ':');
  for (int x : {a, b, c, d}) s.push_back(static_cast<char>(x));
  PutLE(s, static_cast<std::uint64_t>(port), 2);
  s.push_back(static_cast<char>(pref));
  PutLE(s, static_cast<std::uint64_t>(users), 2);
  return s;
}

}  // namespace test

#include "serverlist/merge.h"

#include "serverlist/ip_port.h"

namespace {
void lowerAscii(std::string& s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
}
}  // namespace

std::string ServerKey(std::string_view ip, std::string_view port) {
  std::string key;
  key.reserve(ip.size() + port.size() + 1);
  key.append(ip).append(1, ':').append(port);
  return key;
}

KeySet::KeySet(const ServerList& list) {
  keys_.reserve(list.size() * 2 + 16);
  for (const ServerEntry& e : list.entries()) add(e.server.IP, e.server.Port);
}

bool KeySet::add(std::string_view ip, std::string_view port) {
  std::string key = ServerKey(ip, port);
  lowerAscii(key);
  return keys_.insert(std::move(key)).second;
}

bool KeySet::contains(std::string_view ip, std::string_view port) const {
  std::string key = ServerKey(ip, port);
  lowerAscii(key);
  return keys_.count(key) != 0;
}

bool MergeServer(ServerList& list, KeySet& keys, TServer record, std::string extraTags,
                 std::int32_t extraTagCount) {
  record.IP = TrimText(record.IP);
  record.Port = TrimText(record.Port);
  if (!IsValidIP(record.IP) || !IsValidPort(record.Port)) return false;
  if (!keys.add(record.IP, record.Port)) return false;
  list.append(ServerEntry{std::move(record), true, std::move(extraTags), extraTagCount});
  return true;
}

#pragma once
#include <string>
#include <string_view>
#include <unordered_set>

#include "serverlist/server_list.h"

// The key of a server: IP, ":" and port, compared without regard to letter case.
std::string ServerKey(std::string_view ip, std::string_view port);

// The keys of the servers already listed, and of those an import has taken so far.
class KeySet {
 public:
  KeySet() = default;
  explicit KeySet(const ServerList& list);
  // Adds the key; false when it was there already.
  bool add(std::string_view ip, std::string_view port);
  bool contains(std::string_view ip, std::string_view port) const;
  size_t size() const { return keys_.size(); }

 private:
  std::unordered_set<std::string> keys_;
};

// The merge rule of every import: trims IP and port, and appends the record as a checked
// entry when both pass IsValidIP and IsValidPort and the key is new. Listed servers are
// never changed. Returns whether the record was appended.
bool MergeServer(ServerList& list, KeySet& keys, TServer record, std::string extraTags = {},
                 std::int32_t extraTagCount = 0);

#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/progress_bar.h"
#include "serverlist/server_list.h"

namespace ravelin::serverlist {

// The key of a server: IP, ":" and port, compared without regard to letter case.
std::string serverKey(std::string_view ip, std::string_view port);

// The keys of the servers already listed, and of those an import has taken so far.
// An open-addressing table over one text arena: an import of a hundred thousand servers
// makes no allocation per key.
class KeySet {
 public:
  KeySet() = default;
  explicit KeySet(const ServerList& list);
  // Adds the key; false when it was there already.
  bool add(std::string_view ip, std::string_view port);
  bool contains(std::string_view ip, std::string_view port) const;
  size_t size() const { return count_; }
  // Room for n more keys, so an import of known size does not rehash as it grows.
  void reserve(size_t n);

 private:
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t length = 0;
    std::uint64_t offset = 0;  // into arena_; length 0 marks an empty slot
  };
  // The folded key in scratch_ and its hash.
  std::uint32_t fold(std::string_view ip, std::string_view port) const;
  size_t find(std::uint32_t hash) const;  // the slot holding scratch_, or the empty one to use
  void grow(size_t minSlots);

  std::vector<Slot> slots_;
  std::string arena_;
  size_t count_ = 0;
  mutable std::string scratch_;
};

// The merge rule of every import: trims IP and port, and appends the record as a checked
// entry when both pass IsValidIP and IsValidPort and the key is new. Listed servers are
// never changed. Returns whether the record was appended.
bool mergeServer(ServerList& list, KeySet& keys, Server record, std::string extraTags = {},
                 std::int32_t extraTagCount = 0);

// The whole source file of a MET or BOT import. A file that cannot be read ends the import
// quietly: no message, no log line, the status recounted and the bar hidden.
std::optional<std::string> readImportSource(const std::string& fileName, ServerList& list,
                                            runtime::ProgressBar& bar);

}  // namespace ravelin::serverlist

#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/app_context.h"
#include "runtime/progress_bar.h"
#include "serverlist/ip_filter.h"
#include "serverlist/list_read_problem.h"
#include "serverlist/list_unpack.h"
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

// The merge of one import or update into the list. Its rule: trims IP and port, and
// appends the record as a checked entry when both pass IsValidIP and IsValidPort, the
// address lies in no range of the IP filter (IPFilterFile) and the key is new. Listed
// servers are never changed.
class ImportMerge {
 public:
  // Takes the keys listed right now and the current IP filter (currentIpFilter).
  ImportMerge(ServerList& list, runtime::AppContext& ctx);
  // Room for n more keys (KeySet::reserve).
  void reserve(size_t n) { keys_.reserve(n); }
  // Returns whether the record was appended.
  bool add(Server record, std::string extraTags = {}, std::int32_t extraTagCount = 0);
  size_t blocked() const { return blocked_; }
  // "<n> servers blocked by <file>", when a filter is in use.
  void logBlocked() const;

 private:
  ServerList& list_;
  runtime::AppContext& ctx_;
  KeySet keys_;
  std::shared_ptr<const IpFilter> filter_;
  size_t blocked_ = 0;
};

// The bytes of an import's source, unpacked when they come packed; the archive member
// taken is logged. Nothing (logged: "Skipped <file>: ...") when the packing cannot be used.
std::optional<std::string> unpackImportSource(std::string bytes, ListContent content,
                                              const std::string& fileName,
                                              runtime::AppContext& ctx);

// The source bytes of an import, unpacked when they come packed (list_unpack.h); the
// archive member taken is logged. A file that cannot be read, or whose packing cannot be
// used (logged: "Skipped <file>: ..."), ends the import quietly: nothing changed, the
// status recounted and the bar, when there is one, hidden; problem, when given, says why.
std::optional<std::string> readImportSource(const std::string& fileName, ListContent content,
                                            ServerList& list, runtime::ProgressBar* bar,
                                            runtime::AppContext& ctx,
                                            ListReadProblem* problem = nullptr);

}  // namespace ravelin::serverlist

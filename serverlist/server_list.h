#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "serverlist/server.h"

namespace ravelin::serverlist {

// One row of the list. extraTags holds, byte for byte, the server.met tags of this
// server that no field stands for, so that a read-write round trip keeps them; they are
// never shown and only the MET writer writes them back.
struct ServerEntry {
  Server server;
  bool checked = false;
  std::string extraTags;
  std::int32_t extraTagCount = 0;
};

// Receives the list's changes; the GUI's list model is one.
class ServerListObserver {
 public:
  virtual ~ServerListObserver() = default;
  virtual void rowsInserted(size_t first, size_t count) = 0;
  virtual void rowsRemoved(size_t first, size_t count) = 0;
  virtual void rowChanged(size_t row) = 0;
  virtual void listReset() = 0;
  // The status text changed; read it with ServerList::statusText().
  virtual void statusChanged() = 0;
  // Repainting is suspended between updatesSuspended(true) and updatesSuspended(false).
  virtual void updatesSuspended(bool suspended) = 0;
};

// The ordered server list with at most one selected row. Every change of a row's texts,
// check mark or selection raises a change notification, which recounts the status text;
// removing rows raises none, so callers that remove rows run recount() themselves.
class ServerList {
 public:
  // The column and direction that sortServers orders the rows by.
  int sortColumn() const { return sortColumn_; }
  bool sortDescending() const { return sortDescending_; }
  void sortBy(int column, bool descending) {
    sortColumn_ = column;
    sortDescending_ = descending;
  }
  // The rows are kept in that order (the header shows its arrow): a click on a column
  // header starts it, a row moved by hand ends it (server_sort.h).
  bool sortKept() const { return sortKept_; }
  void keepSort(bool keep) { sortKept_ = keep; }

  // List-wide state.
  bool statusCounting = true;
  bool negCompare = false;

  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const ServerEntry& operator[](size_t row) const { return entries_[row]; }
  const std::vector<ServerEntry>& entries() const { return entries_; }
  size_t checkedCount() const { return checkedCount_; }

  void append(ServerEntry entry);
  void append(const Server& server, bool checked) { append(ServerEntry{server, checked, {}, 0}); }
  void setChecked(size_t row, bool checked);
  void setServer(size_t row, const Server& server);
  // Sets one field (index as in ServerField) of a row.
  void setField(size_t row, int field, std::string value);
  void insert(size_t row, ServerEntry entry);
  void remove(size_t row);
  // Removes the rows (ascending, each once) in one pass, reported as one reset; the
  // selection stays on its entry unless that goes too.
  void removeRows(const std::vector<size_t>& rows);
  void clear();
  // Replaces the whole order at once (sorting); the entries stay the same.
  void reorder(std::vector<ServerEntry> entries);
  // Reorders the rows so that new row i is old row order[i] (order is a permutation of
  // 0..size()-1). Entries are moved, not copied; the selection stays on its entry.
  void permute(const std::vector<size_t>& order);
  void reserve(size_t n) { entries_.reserve(n); }
  // Up to n rows may be appended before endUpdate(): the first append that needs room
  // makes room for all of them at once. An import that appends nothing moves nothing.
  void expectAppends(size_t n) { expectedAppends_ = n; }

  std::optional<size_t> selected() const { return selected_; }
  void select(std::optional<size_t> row);

  // Whether rows, their order, texts or check marks changed since the list was last
  // written to the client's server.met or marked as saved (a list loaded into an empty
  // list is what its file holds); an export to any other file does not count. Selecting
  // changes nothing here.
  bool changedSinceSaved() const { return revision_ != savedRevision_; }
  // Notes that the list as it stands is stored; the writers call it on a const list, as
  // writing it does not change it.
  void markSaved() const { savedRevision_ = revision_; }

  // Panel 0 of the status bar, as the last recount left it.
  const std::string& statusText() const;
  void recount();

  // Suspends and resumes repainting of the list (imports do this around their loop).
  void beginUpdate();
  void endUpdate();

  void setObserver(ServerListObserver* observer) { observer_ = observer; }

 private:
  void changed(size_t row);

  int sortColumn_ = 0;
  bool sortDescending_ = true;
  bool sortKept_ = false;
  std::vector<ServerEntry> entries_;
  std::optional<size_t> selected_;
  std::uint64_t revision_ = 0;
  mutable std::uint64_t savedRevision_ = 0;
  size_t checkedCount_ = 0;
  size_t expectedAppends_ = 0;
  // What the last recount saw; the text is formed from it only when someone reads it, so
  // the notification of every appended row stays cheap.
  struct StatusSnapshot {
    size_t rows = 0;
    size_t checked = 0;
    bool counting = true;
    bool operator==(const StatusSnapshot&) const = default;
  };
  StatusSnapshot status_;
  mutable std::optional<StatusSnapshot> textFor_;
  mutable std::string statusText_;
  ServerListObserver* observer_ = nullptr;
};

// The status text for N entries of which C are checked, with statusCounting set:
// " EDonkey2000 servers (3 IPs) [1/2 - 33.33% checked]", or "" when N is 0.
std::string statusTextCounting(size_t n, size_t checked);

}  // namespace ravelin::serverlist

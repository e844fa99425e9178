#include "serverlist/server_list.h"
#include "runtime/translate.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace ravelin::serverlist {

namespace {
// The entries of a permutation cycle lie anywhere in the array: asking for the next one
// early hides most of the memory latency of the move.
inline void prefetchEntry(const ServerEntry* entry) {
#if defined(__GNUC__)
  const char* bytes = reinterpret_cast<const char*>(entry);
  for (size_t line = 0; line < sizeof(ServerEntry); line += 64) __builtin_prefetch(bytes + line);
#else
  (void)entry;
#endif
}
}  // namespace

void ServerList::append(ServerEntry entry) {
  if (expectedAppends_ != 0 && entries_.size() == entries_.capacity()) {
    entries_.reserve(entries_.size() + expectedAppends_);
    expectedAppends_ = 0;
  }
  if (entry.checked) ++checkedCount_;
  entries_.push_back(std::move(entry));
  ++revision_;
  if (observer_) observer_->rowsInserted(entries_.size() - 1, 1);
  changed(entries_.size() - 1);
}

void ServerList::insert(size_t row, ServerEntry entry) {
  if (row > entries_.size()) row = entries_.size();
  if (entry.checked) ++checkedCount_;
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(row), std::move(entry));
  ++revision_;
  if (selected_ && *selected_ >= row) ++*selected_;
  if (observer_) observer_->rowsInserted(row, 1);
  changed(row);
}

void ServerList::setChecked(size_t row, bool checked) {
  ServerEntry& e = entries_.at(row);
  if (e.checked != checked) {
    e.checked = checked;
    checked ? ++checkedCount_ : --checkedCount_;
    ++revision_;
  }
  changed(row);
}

void ServerList::setServer(size_t row, const Server& server) {
  entries_.at(row).server = server;
  ++revision_;
  changed(row);
}

void ServerList::setField(size_t row, int field, std::string value) {
  entries_.at(row).server.field(field) = std::move(value);
  ++revision_;
  changed(row);
}

void ServerList::remove(size_t row) {
  if (row >= entries_.size()) return;
  if (entries_[row].checked) --checkedCount_;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(row));
  ++revision_;
  if (selected_) {
    if (*selected_ == row) {
      selected_.reset();
    } else if (*selected_ > row) {
      --*selected_;
    }
  }
  if (observer_) observer_->rowsRemoved(row, 1);
}

void ServerList::removeRows(const std::vector<size_t>& rows) {
  size_t kept = 0, next = 0;
  std::optional<size_t> selected;
  for (size_t row = 0; row < entries_.size(); ++row) {
    if (next < rows.size() && rows[next] == row) {
      ++next;
      if (entries_[row].checked) --checkedCount_;
      continue;
    }
    if (selected_ == row) selected = kept;
    if (kept != row) entries_[kept] = std::move(entries_[row]);
    ++kept;
  }
  if (kept == entries_.size()) return;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(kept), entries_.end());
  selected_ = selected;
  ++revision_;
  if (observer_) observer_->listReset();
}

void ServerList::clear() {
  if (!entries_.empty()) ++revision_;
  entries_.clear();
  checkedCount_ = 0;
  selected_.reset();
  if (observer_) observer_->listReset();
}

void ServerList::reorder(std::vector<ServerEntry> entries) {
  entries_ = std::move(entries);
  ++revision_;
  checkedCount_ = 0;
  for (const ServerEntry& e : entries_) checkedCount_ += e.checked ? 1 : 0;
  selected_.reset();
  if (observer_) observer_->listReset();
}

void ServerList::permute(const std::vector<size_t>& order) {
  if (order.size() != entries_.size()) {
    throw std::invalid_argument("ServerList::permute: order has the wrong size");
  }
  std::vector<bool> seen(order.size());
  for (size_t from : order) {
    if (from >= order.size() || seen[from]) {
      throw std::invalid_argument("ServerList::permute: order is not a permutation");
    }
    seen[from] = true;
  }
  std::optional<size_t> selected;
  if (selected_) {
    for (size_t i = 0; i < order.size(); ++i) {
      if (order[i] == *selected_) selected = i;
    }
  }
  // In place, one cycle of the permutation after the other: every entry is moved once
  // and no second array of entries is needed.
  std::vector<bool> done(order.size());
  for (size_t start = 0; start < order.size(); ++start) {
    if (done[start]) continue;
    done[start] = true;
    if (order[start] == start) continue;
    ++revision_;
    ServerEntry first = std::move(entries_[start]);
    size_t to = start;
    for (size_t from = order[to]; from != start; from = order[to]) {
      prefetchEntry(&entries_[order[from]]);
      entries_[to] = std::move(entries_[from]);
      to = from;
      done[to] = true;
    }
    entries_[to] = std::move(first);
  }
  selected_ = selected;
  if (observer_) observer_->listReset();
}

void ServerList::select(std::optional<size_t> row) {
  if (row && *row >= entries_.size()) row.reset();
  selected_ = row;
  if (row) changed(*row);
}

void ServerList::beginUpdate() {
  if (observer_) observer_->updatesSuspended(true);
}

void ServerList::endUpdate() {
  expectedAppends_ = 0;
  // An import appends one row at a time; give back the vector's growth reserve when it
  // is large, so a big list costs about the entries themselves.
  if (entries_.capacity() - entries_.size() > entries_.size() / 8) entries_.shrink_to_fit();
  if (observer_) observer_->updatesSuspended(false);
}

void ServerList::changed(size_t row) {
  if (observer_) observer_->rowChanged(row);
  recount();
}

void ServerList::recount() {
  status_ = StatusSnapshot{entries_.size(), checkedCount_, statusCounting};
  if (observer_) observer_->statusChanged();
}

const std::string& ServerList::statusText() const {
  if (textFor_ != status_) {
    statusText_ = status_.counting ? statusTextCounting(status_.rows, status_.checked)
                                   : runtime::fillIn(_(" EDonkey2000 servers (%s IPs)"),
                                                     {std::to_string(status_.rows)});
    textFor_ = status_;
  }
  return statusText_;
}

std::string statusTextCounting(size_t n, size_t checked) {
  if (n == 0) return {};
  const double percent =
      std::round(static_cast<double>(checked) / static_cast<double>(n) * 100.0 * 100.0) / 100.0;
  char number[32];
  std::snprintf(number, sizeof number, "%.15g", percent);
  // The user's decimal separator.
  std::string p = number;
  const char* point = std::localeconv()->decimal_point;
  if (point && *point && *point != '.') {
    if (auto dot = p.find('.'); dot != std::string::npos) p.replace(dot, 1, point);
  }
  return runtime::fillIn(
      _(" EDonkey2000 servers (%s IPs) [%s/%s - %s%% checked]"),
      {std::to_string(n), std::to_string(checked), std::to_string(n - checked), p});
}

}  // namespace ravelin::serverlist

#include "serverlist/server_sort.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#include "serverlist/text_compare.h"

namespace ravelin::serverlist {

namespace {

// The IP column: four parts packed into two words, first part highest. A part counts by
// its leading digits (none gives 0) and saturates at the largest 32-bit value; missing
// parts are 0 and parts after the fourth are ignored, so edited rows whose IP is no
// address still sort.
struct IpKey {
  std::uint64_t hi = 0, lo = 0;
  std::uint32_t row = 0;
};

IpKey makeIpKey(std::string_view ip, std::uint32_t row) {
  std::uint32_t parts[4] = {0, 0, 0, 0};
  size_t part = 0;
  bool inDigits = true;
  for (size_t i = 0; i < ip.size() && part < 4; ++i) {
    const char c = ip[i];
    if (c == '.') {
      ++part;
      inDigits = true;
    } else if (inDigits && c >= '0' && c <= '9') {
      const std::uint64_t v = std::uint64_t{parts[part]} * 10 + static_cast<unsigned>(c - '0');
      parts[part] = v > std::numeric_limits<std::uint32_t>::max()
                        ? std::numeric_limits<std::uint32_t>::max()
                        : static_cast<std::uint32_t>(v);
    } else {
      inDigits = false;
    }
  }
  return {std::uint64_t{parts[0]} << 32 | parts[1], std::uint64_t{parts[2]} << 32 | parts[3], row};
}

int compareIp(const IpKey& a, const IpKey& b) {
  if (a.hi != b.hi) return a.hi < b.hi ? -1 : 1;
  if (a.lo != b.lo) return a.lo < b.lo ? -1 : 1;
  return 0;
}

// Columns 1 to 8. block: -1 texts below all numbers, 0 numbers, 1 other texts. A text is
// copied, a to z as A to Z, into one arena shared by all keys, so that comparing texts is
// comparing bytes there; prefix holds its first eight bytes big-endian, padded with zero
// bytes, so that unequal prefixes decide without touching the arena.
struct FieldKey {
  std::int8_t block = 0;
  std::uint32_t row = 0;
  union {
    double number;
    std::uint64_t prefix;
  };
  size_t offset = 0;
  size_t length = 0;
};

FieldKey makeFieldKey(std::string_view text, std::uint32_t row, std::string& arena) {
  FieldKey k;
  k.row = row;
  if (const auto number = parseNumberText(text)) {
    k.block = 0;
    k.number = *number;
    return k;
  }
  // Every number text starts with one of "+-.0123456789" (0x2B to 0x39).
  const unsigned char first = text.empty() ? 0 : static_cast<unsigned char>(text[0]);
  k.block = (text.empty() || first < '+') ? -1 : 1;
  k.offset = arena.size();
  k.length = text.size();
  k.prefix = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - ('a' - 'A'));
    arena.push_back(c);
    if (i < 8) k.prefix |= std::uint64_t{static_cast<unsigned char>(c)} << (56 - 8 * i);
  }
  return k;
}

// Ascending comparison of two field keys.
int compareField(const FieldKey& a, const FieldKey& b, bool negCompare, const char* arena) {
  if (a.block != b.block) {
    const int ba = negCompare ? -a.block : a.block;
    const int bb = negCompare ? -b.block : b.block;
    return ba < bb ? -1 : 1;
  }
  if (a.block == 0) return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
  int r;
  if (a.prefix != b.prefix) {
    r = a.prefix < b.prefix ? -1 : 1;
  } else {
    // char_traits<char>::compare orders bytes as unsigned values.
    r = std::string_view(arena + a.offset, a.length)
            .compare(std::string_view(arena + b.offset, b.length));
    r = (r > 0) - (r < 0);
  }
  return negCompare ? -r : r;
}

bool validColumn(int column) {
  return column >= 0 && column < kServerFieldCount;
}

template <typename Key, typename compareField>
std::vector<size_t> sortedOrder(std::vector<Key>& keys, bool descending, compareField compare) {
  if (descending) {
    std::stable_sort(keys.begin(), keys.end(),
                     [&](const Key& x, const Key& y) { return compare(y, x) < 0; });
  } else {
    std::stable_sort(keys.begin(), keys.end(),
                     [&](const Key& x, const Key& y) { return compare(x, y) < 0; });
  }
  std::vector<size_t> order;
  order.reserve(keys.size());
  for (const Key& k : keys) order.push_back(k.row);
  return order;
}

}  // namespace

int compareServers(const Server& a, const Server& b, int column, bool negCompare, bool descending) {
  if (!validColumn(column)) return 0;
  int r;
  if (column == fIP) {
    r = compareIp(makeIpKey(a.ip, 0), makeIpKey(b.ip, 0));
  } else {
    std::string arena;
    const FieldKey ka = makeFieldKey(a.field(column), 0, arena);
    const FieldKey kb = makeFieldKey(b.field(column), 1, arena);
    r = compareField(ka, kb, negCompare, arena.data());
  }
  return descending ? -r : r;
}

void sortServers(ServerList& list) {
  const int column = list.sortColumn();
  if (!validColumn(column) || list.size() < 2) return;
  // Rows are numbered in 32 bits; no list comes near that (each row takes over 300 bytes).
  if (list.size() > std::numeric_limits<std::uint32_t>::max()) return;
  const auto& entries = list.entries();
  std::vector<size_t> order;
  if (column == fIP) {
    std::vector<IpKey> keys;
    keys.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
      keys.push_back(makeIpKey(entries[i].server.ip, static_cast<std::uint32_t>(i)));
    order = sortedOrder(keys, list.sortDescending(), compareIp);
  } else {
    size_t textBytes = 0;
    for (const ServerEntry& e : entries) textBytes += e.server.field(column).size();
    std::string arena;
    arena.reserve(textBytes);
    std::vector<FieldKey> keys;
    keys.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
      keys.push_back(
          makeFieldKey(entries[i].server.field(column), static_cast<std::uint32_t>(i), arena));
    }
    const bool neg = list.negCompare;
    const char* text = arena.data();
    order =
        sortedOrder(keys, list.sortDescending(), [neg, text](const FieldKey& x, const FieldKey& y) {
          return compareField(x, y, neg, text);
        });
  }
  list.permute(order);
}

void keepSortOrder(ServerList& list) {
  if (list.sortKept()) sortServers(list);
}

void clickColumn(ServerList& list, int column) {
  if (!validColumn(column)) return;
  list.keepSort(true);
  // Another column starts ascending (texts A to Z, numbers small to large); the same
  // column again turns the direction round. The list starts on column 0, descending, so
  // the first click on it ascends too.
  list.sortBy(column, column == list.sortColumn() ? !list.sortDescending() : false);
  sortServers(list);
}

void moveServer(ServerList& list, size_t row, std::optional<size_t> target) {
  if (row >= list.size()) return;
  const size_t dest = (target && *target < list.size()) ? *target : list.size();
  if (dest == row || dest == row + 1) return;
  list.keepSort(false);
  const bool wasSelected = list.selected() == row;
  list.insert(dest, list[row]);
  const size_t original = dest < row ? row + 1 : row;
  list.remove(original);
  const size_t newRow = dest < row ? dest : dest - 1;
  // Removing raises no change notification: recount here so that the status text does
  // not keep the count of the moment when the copy and the original were both listed.
  if (wasSelected) {
    list.select(newRow);
  } else {
    list.recount();
  }
}

}  // namespace ravelin::serverlist

// Sorting arbitrary field texts: the result must be a permutation that is non-decreasing
// under CompareServers, and CompareServers must be antisymmetric on every adjacent pair.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "serverlist/server_sort.h"

using namespace ravelin;
using namespace ravelin::serverlist;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 8192) return 0;
  const int column = data[0] % kServerFieldCount;
  const bool negCompare = data[0] & 0x10;
  const bool descending = data[0] & 0x20;
  ServerList list;
  std::vector<std::string> texts;
  std::string current;
  for (size_t i = 1; i < size; ++i) {
    if (data[i] == '\n') {
      texts.push_back(current);
      current.clear();
    } else {
      current.push_back(static_cast<char>(data[i]));
    }
  }
  texts.push_back(current);
  for (const std::string& t : texts) {
    Server s;
    s.field(column) = t;
    list.append(s, true);
  }
  list.sortBy(column, descending);
  list.negCompare = negCompare;
  sortServers(list);
  std::vector<std::string> after;
  for (size_t i = 0; i < list.size(); ++i) {
    after.push_back(list[i].server.field(column));
    if (i == 0) continue;
    const Server& a = list[i - 1].server;
    const Server& b = list[i].server;
    const int ab = compareServers(a, b, column, negCompare, descending);
    const int ba = compareServers(b, a, column, negCompare, descending);
    if (ab > 0 || (ab < 0) != (ba > 0) || (ab == 0) != (ba == 0)) std::abort();
  }
  std::sort(texts.begin(), texts.end());
  std::sort(after.begin(), after.end());
  if (texts != after) std::abort();
  return 0;
}

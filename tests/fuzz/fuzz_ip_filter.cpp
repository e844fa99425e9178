// Parses arbitrary bytes as an IP filter: the ranges must come out sorted, apart and
// non-empty, and every blocking line must be blocked by the result.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "serverlist/ip_filter.h"

using namespace ravelin::serverlist;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::size_t bad = 0;
  const IpFilter filter = IpFilter::parse(text, &bad);
  const auto& r = filter.ranges();
  for (std::size_t i = 0; i < r.size(); ++i) {
    if (r[i].first > r[i].last) __builtin_trap();
    if (i > 0 && r[i].first <= r[i - 1].last + std::uint64_t{1}) __builtin_trap();
  }
  std::size_t pos = 0, lines = 0;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) nl = text.size();
    IpRange range;
    if (parseFilterLine(text.substr(pos, nl - pos), range) == FilterLine::Blocks &&
        (!filter.blocks(range.first) || !filter.blocks(range.last)))
      __builtin_trap();
    ++lines;
    pos = nl + 1;
  }
  if (bad > lines) __builtin_trap();
  return 0;
}

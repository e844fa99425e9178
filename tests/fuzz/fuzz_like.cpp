// The wildcard match against the whole-text meaning of its patterns, computed by dynamic
// programming; any disagreement aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "serverlist/server_filter.h"

using namespace ravelin;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;

namespace {
bool reference(std::string_view t, std::string_view p) {
  std::vector<char> next(p.size() + 1), cur(p.size() + 1);
  // Row i holds whether text[i..] matches pattern[j..], built from the end of the text.
  for (size_t i = t.size() + 1; i-- > 0;) {
    cur[p.size()] = i == t.size();
    for (size_t j = p.size(); j-- > 0;) {
      if (p[j] == '*') {
        cur[j] = cur[j + 1] || (i < t.size() && next[j]);
      } else {
        cur[j] = i < t.size() && (p[j] == '?' || p[j] == t[i]) && next[j + 1];
      }
    }
    next.swap(cur);
  }
  return next[0];
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // Text, a zero byte, pattern.
  const size_t cut = input.find('\0');
  const std::string_view text = input.substr(0, cut == std::string_view::npos ? size : cut);
  const std::string_view pattern =
      cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);
  if (like(text, pattern) != reference(text, pattern)) std::abort();
  return 0;
}

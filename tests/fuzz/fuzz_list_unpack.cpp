// Unpacks arbitrary bytes as every kind of list under a small cap: nothing may crash,
// nothing may expand past the cap, and what is returned must fit its kind when it came out
// of an archive.
#include <cstddef>
#include <cstdint>
#include <string>

#include "serverlist/list_unpack.h"

using namespace ravelin::serverlist;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::uint64_t kCap = 64 << 10;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (ListContent content :
       {ListContent::Met, ListContent::Bot, ListContent::Links, ListContent::Text}) {
    try {
      const UnpackedList list = unpackList(bytes, content, kCap);
      if (list.data.size() > kCap && list.data != bytes) __builtin_trap();
      if (!list.member.empty() && !fitsContent(list.data, content)) __builtin_trap();
    } catch (const ListUnpackError&) {
    }
  }
  return 0;
}

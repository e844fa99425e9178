#pragma once
// The IP filter: address ranges whose servers no import or update takes (IPFilterFile).
// Two line formats are read, mixed freely:
//   the client's ipfilter.dat:  "001.002.003.004 - 001.002.003.255 , 100 , description"
//                               (a level below 127 blocks; 127 and above allow, which
//                               here means the line is ignored)
//   the PeerGuardian text list: "description:1.2.3.4-1.2.3.255" (every range blocks)
// Empty lines and lines that start with "#" or "//" are comments. The file may be plain
// or packed (list_unpack.h).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/app_context.h"

namespace ravelin::serverlist {

struct IpRange {
  std::uint32_t first = 0;  // addresses as numbers, first part most significant
  std::uint32_t last = 0;
};

enum class FilterLine { Comment, Blocks, Allows, Bad };

// One line (without its line end) of either format; range is set for Blocks and Allows.
FilterLine parseFilterLine(std::string_view line, IpRange& range);

class IpFilter {
 public:
  IpFilter() = default;
  // The blocking ranges of a whole filter text, sorted and merged where they overlap or
  // touch. badLines, when given, receives the number of lines in neither format.
  static IpFilter parse(std::string_view text, std::size_t* badLines = nullptr);

  // A binary search over the merged ranges.
  bool blocks(std::uint32_t address) const;
  // False for a text that is not a dotted address.
  bool blocks(std::string_view dottedIp) const;
  const std::vector<IpRange>& ranges() const { return ranges_; }

 private:
  std::vector<IpRange> ranges_;
};

// The dotted address as a number; false when the text is not four parts of 0 to 255
// (leading zeros allowed, as the filter files write them).
bool parseIpv4(std::string_view text, std::uint32_t& address);

// Reads (and unpacks, at most maxBytes) a filter file. Throws platform::FileError when it
// cannot be read and ListUnpackError when its packing is damaged or too large.
IpFilter loadIpFilterFile(const std::string& path, std::uint64_t maxBytes,
                          std::size_t* badLines = nullptr);

// The filter of ctx.settings.IPFilterFile, or nothing when the key is empty or the file
// cannot be used (which is logged; the import then goes on unfiltered). The file is read
// again only when its path, size or modification time changed since the last load, which
// logs the number of ranges and, when there are any, of bad lines.
std::shared_ptr<const IpFilter> currentIpFilter(runtime::AppContext& ctx);

}  // namespace ravelin::serverlist

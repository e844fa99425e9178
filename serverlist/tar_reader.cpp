#include "serverlist/tar_reader.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace ravelin::serverlist {

namespace {

constexpr std::size_t kBlock = 512;
// Header fields: offset and length.
constexpr std::size_t kNameAt = 0, kNameLength = 100;
constexpr std::size_t kSizeAt = 124, kSizeLength = 12;
constexpr std::size_t kChecksumAt = 148, kChecksumLength = 8;
constexpr std::size_t kTypeAt = 156;
constexpr std::size_t kMagicAt = 257;
constexpr std::size_t kPrefixAt = 345, kPrefixLength = 155;
// More than any list could need; keeps a damaged size from wrapping the arithmetic.
constexpr std::uint64_t kMaxSize = std::uint64_t{1} << 62;
// No size given by a pax header.
constexpr std::uint64_t kNoSize = ~std::uint64_t{0};

// A NUL-terminated field (or one that fills its room).
std::string_view field(std::string_view header, std::size_t at, std::size_t length) {
  const std::string_view f = header.substr(at, length);
  return f.substr(0, f.find('\0'));
}

// Octal digits, maybe led by spaces and ended by a space or NUL; or, when the first byte
// has its high bit, a big-endian base-256 number (GNU tar's way past 8 GiB).
std::optional<std::uint64_t> number(std::string_view f) {
  std::uint64_t value = 0;
  if (!f.empty() && (static_cast<unsigned char>(f[0]) & 0x80)) {
    if (static_cast<unsigned char>(f[0]) != 0x80) return std::nullopt;  // negative or huge
    for (char c : f.substr(1)) {
      if (value >= kMaxSize >> 8) return std::nullopt;
      value = value << 8 | static_cast<unsigned char>(c);
    }
    return value;
  }
  std::size_t i = 0;
  while (i < f.size() && f[i] == ' ') ++i;
  bool digits = false;
  for (; i < f.size() && f[i] >= '0' && f[i] <= '7'; ++i) {
    if (value >= kMaxSize >> 3) return std::nullopt;
    value = value << 3 | static_cast<std::uint64_t>(f[i] - '0');
    digits = true;
  }
  for (; i < f.size(); ++i)
    if (f[i] != ' ' && f[i] != '\0') return std::nullopt;
  if (!digits) return std::nullopt;
  return value;
}

// Decimal digits, as pax records have them.
std::optional<std::uint64_t> decimal(std::string_view digits) {
  if (digits.empty() || digits.size() > 18) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

// The sum of the header's bytes with the checksum field taken as spaces; old tars summed
// signed bytes, so either sum is accepted.
bool checksumHolds(std::string_view header) {
  const std::optional<std::uint64_t> recorded = number(field(header, kChecksumAt, kChecksumLength));
  if (!recorded) return false;
  std::uint64_t sum = 0;
  std::int64_t signedSum = 0;
  for (std::size_t i = 0; i < kBlock; ++i) {
    const bool inField = i >= kChecksumAt && i < kChecksumAt + kChecksumLength;
    const char c = inField ? ' ' : header[i];
    sum += static_cast<unsigned char>(c);
    signedSum += static_cast<signed char>(c);
  }
  return *recorded == sum || static_cast<std::int64_t>(*recorded) == signedSum;
}

// The path and size of a pax extended header's records ("<length> <key>=<value>\n").
void readPaxRecords(std::string_view records, std::optional<std::string>& path,
                    std::uint64_t& size) {
  while (!records.empty()) {
    const std::size_t space = records.find(' ');
    const std::optional<std::uint64_t> length =
        space == std::string_view::npos ? std::nullopt : decimal(records.substr(0, space));
    if (!length || *length <= space + 1 || *length > records.size() || records[*length - 1] != '\n')
      throw damagedArchive("a pax extended header is damaged");
    const std::string_view record = records.substr(space + 1, *length - space - 2);
    records.remove_prefix(*length);
    const std::size_t equals = record.find('=');
    if (equals == std::string_view::npos) throw damagedArchive("a pax extended header is damaged");
    const std::string_view key = record.substr(0, equals);
    const std::string_view value = record.substr(equals + 1);
    if (key == "path") path = std::string(value);
    if (key == "size") {
      const std::optional<std::uint64_t> n = decimal(value);
      if (!n) throw damagedArchive("a pax extended header is damaged");
      size = *n;
    }
  }
}

}  // namespace

void readTarMembers(std::string_view bytes, const MemberVisitor& visit) {
  // What GNU 'L' and pax 'x' records say about the member that follows them.
  std::optional<std::string> longName;
  std::uint64_t paxSize = kNoSize;
  std::size_t at = 0;
  // A block of zeros ends the archive; so does its plain end.
  while (bytes.size() - at >= kBlock) {
    const std::string_view header = bytes.substr(at, kBlock);
    if (header.find_first_not_of('\0') == std::string_view::npos) return;
    if (!checksumHolds(header)) throw damagedArchive("a tar header's checksum does not match");
    const std::optional<std::uint64_t> headerSize = number(field(header, kSizeAt, kSizeLength));
    if (!headerSize) throw damagedArchive("a tar header's size is damaged");
    const char type = header[kTypeAt];
    // Records about the member that follows: GNU's long name and long link name, pax's
    // extended and global headers.
    const bool about = type == 'L' || type == 'K' || type == 'x' || type == 'g';
    // Links and directories have no data, whatever their size field says.
    const bool hasData = type != '1' && type != '2' && type != '5';
    const std::uint64_t size = !hasData ? 0 : about || paxSize == kNoSize ? *headerSize : paxSize;
    at += kBlock;
    if (size > bytes.size() - at) throw damagedArchive("the archive ends inside a member");
    const std::string_view data = bytes.substr(at, static_cast<std::size_t>(size));
    // Data fills whole blocks; the last block may be cut short only at the archive's end.
    at += static_cast<std::size_t>(
        std::min<std::uint64_t>((size + kBlock - 1) / kBlock * kBlock, bytes.size() - at));

    if (type == 'L') {
      longName = std::string(data.substr(0, data.find('\0')));
      continue;
    }
    if (type == 'x') {
      readPaxRecords(data, longName, paxSize);
      continue;
    }
    if (about) continue;
    std::string name;
    if (longName) {
      name = std::move(*longName);
    } else {
      name = field(header, kNameAt, kNameLength);
      // Only POSIX ustar has the prefix; GNU's format keeps other fields there.
      const std::string_view prefix = field(header, kPrefixAt, kPrefixLength);
      if (header.substr(kMagicAt, 6) == std::string_view("ustar\0", 6) && !prefix.empty())
        name = std::string(prefix) + "/" + name;
    }
    longName.reset();
    paxSize = kNoSize;
    // '0' and the old NUL mark a regular file, '7' a contiguous one; links, directories,
    // devices and the like are passed over.
    if ((type != '0' && type != '\0' && type != '7') || name.empty() || name.back() == '/')
      continue;
    ArchiveMember member(std::move(name), data, ArchiveMember::Packing::Stored, std::nullopt);
    if (visit(member)) return;
  }
  if (at != bytes.size()) throw damagedArchive("the archive ends inside a header");
}

}  // namespace ravelin::serverlist

#include "serverlist/zip_reader.h"

#include <cstdint>

namespace ravelin::serverlist {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kCentralSize = 46;
constexpr std::size_t kLocalSize = 30;
constexpr std::size_t kMaxComment = 0xFFFF;
constexpr std::uint32_t kZip64Mark = 0xFFFFFFFF;
constexpr std::uint16_t kEncrypted = 1;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr unsigned kMadeOnUnix = 3;
constexpr std::uint32_t kUnixTypeMask = 0170000;
constexpr std::uint32_t kUnixDirectory = 0040000;
constexpr std::uint32_t kUnixLink = 0120000;

// Callers check that the bytes are there.
std::uint16_t le16(std::string_view b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                    static_cast<unsigned char>(b[at + 1]) << 8);
}

std::uint32_t le32(std::string_view b, std::size_t at) {
  return le16(b, at) | static_cast<std::uint32_t>(le16(b, at + 2)) << 16;
}

// The end of central directory record stands last, followed only by a comment of up to
// 64 KiB, so the search goes back no further than that.
std::size_t findEndRecord(std::string_view bytes) {
  if (bytes.size() >= kEndSize) {
    const std::size_t lowest =
        bytes.size() > kEndSize + kMaxComment ? bytes.size() - kEndSize - kMaxComment : 0;
    for (std::size_t at = bytes.size() - kEndSize;; --at) {
      if (le32(bytes, at) == kEndSignature && le16(bytes, at + 20) <= bytes.size() - at - kEndSize)
        return at;
      if (at == lowest) break;
    }
  }
  throw damagedArchive("no end of central directory record");
}

// Directories and symbolic links (whose data is the target's name) are no lists. Any
// other member holds its content, even one that zip read from a pipe and marked so.
bool holdsContent(std::string_view name, unsigned madeOn, std::uint32_t externalAttributes) {
  if (name.empty() || name.back() == '/') return false;
  const std::uint32_t type = (externalAttributes >> 16) & kUnixTypeMask;
  return madeOn != kMadeOnUnix || (type != kUnixDirectory && type != kUnixLink);
}

}  // namespace

void readZipMembers(std::string_view bytes, const MemberVisitor& visit) {
  const std::size_t end = findEndRecord(bytes);
  const std::uint16_t disk = le16(bytes, end + 4);
  const std::uint16_t directoryDisk = le16(bytes, end + 6);
  const std::uint16_t entriesOnDisk = le16(bytes, end + 8);
  const std::uint16_t entries = le16(bytes, end + 10);
  const std::uint32_t directorySize = le32(bytes, end + 12);
  const std::uint32_t directoryAt = le32(bytes, end + 16);
  // A zip64 end record may stand before this one (Info-ZIP writes one for input from a
  // pipe); it is needed only when these fields overflow.
  if (entries == 0xFFFF || directorySize == kZip64Mark || directoryAt == kZip64Mark)
    throw damagedArchive("zip64 archives are not supported");
  if (disk != 0 || directoryDisk != 0 || entriesOnDisk != entries)
    throw damagedArchive("archives split over several disks are not supported");
  if (directoryAt > end || directorySize > end - directoryAt)
    throw damagedArchive("the central directory lies outside the archive");

  const std::string_view directory = bytes.substr(directoryAt, directorySize);
  std::size_t at = 0;
  for (unsigned i = 0; i < entries; ++i) {
    if (directory.size() - at < kCentralSize || le32(directory, at) != kCentralSignature)
      throw damagedArchive("the central directory is damaged");
    const unsigned madeOn = le16(directory, at + 4) >> 8;
    const std::uint16_t flags = le16(directory, at + 8);
    const std::uint16_t method = le16(directory, at + 10);
    const std::uint32_t crc = le32(directory, at + 16);
    const std::uint32_t packedSize = le32(directory, at + 20);
    const std::uint32_t size = le32(directory, at + 24);
    const std::size_t nameLength = le16(directory, at + 28);
    const std::size_t variable = nameLength + le16(directory, at + 30) + le16(directory, at + 32);
    const std::uint32_t externalAttributes = le32(directory, at + 38);
    const std::uint32_t localAt = le32(directory, at + 42);
    if (directory.size() - at - kCentralSize < variable)
      throw damagedArchive("the central directory is damaged");
    const std::string name(directory.substr(at + kCentralSize, nameLength));
    at += kCentralSize + variable;
    if (!holdsContent(name, madeOn, externalAttributes)) continue;

    if (packedSize == kZip64Mark || size == kZip64Mark || localAt == kZip64Mark)
      throw damagedArchive("zip64 sizes of " + name + " are not supported");
    if (flags & kEncrypted) throw damagedArchive(name + " is encrypted");
    if (method != kStored && method != kDeflated)
      throw damagedArchive(name + " is packed with method " + std::to_string(method) +
                           ", which is not supported");
    if (localAt > bytes.size() || bytes.size() - localAt < kLocalSize ||
        le32(bytes, localAt) != kLocalSignature)
      throw damagedArchive("the local header of " + name + " is damaged");
    // The local header's own name and extra field may differ in length from the central
    // directory's copy.
    const std::size_t dataAt =
        localAt + kLocalSize + le16(bytes, localAt + 26) + le16(bytes, localAt + 28);
    if (dataAt > bytes.size() || packedSize > bytes.size() - dataAt)
      throw damagedArchive("the data of " + name + " lies outside the archive");
    ArchiveMember member(
        name, bytes.substr(dataAt, packedSize),
        method == kStored ? ArchiveMember::Packing::Stored : ArchiveMember::Packing::Deflated,
        ArchiveMember::Expected{size, crc});
    if (visit(member)) return;
  }
}

}  // namespace ravelin::serverlist

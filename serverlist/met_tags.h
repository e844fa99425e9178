#pragma once
// The server.met layout: a header byte, a count of entries and the entries, each an
// address, a port and a list of ed2k tags. This file holds the pure decoder and encoder
// shared by the file reader and writer (met_file.h) and the update worker; nothing here
// touches files, the list or the user interface.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "serverlist/server.h"

namespace ravelin::serverlist {

namespace mettag {
// Tag value types of the ed2k tag encoding.
inline constexpr std::uint8_t kHash = 0x01;       // 16 bytes
inline constexpr std::uint8_t kString = 0x02;     // 16-bit length, then the bytes
inline constexpr std::uint8_t kUInt32 = 0x03;     // 4 bytes, read as signed
inline constexpr std::uint8_t kFloat = 0x04;      // 4 bytes
inline constexpr std::uint8_t kBool = 0x05;       // 1 byte
inline constexpr std::uint8_t kBoolArray = 0x06;  // 16-bit bit count, then count/8+1 bytes
inline constexpr std::uint8_t kBlob = 0x07;       // 32-bit length, then the bytes
inline constexpr std::uint8_t kUInt16 = 0x08;
inline constexpr std::uint8_t kUInt8 = 0x09;
inline constexpr std::uint8_t kUInt64 = 0x0B;
// 0x11 .. 0x20: a string of (type - 0x10) bytes without a length field.
inline constexpr std::uint8_t kShortStringFirst = 0x11;
inline constexpr std::uint8_t kShortStringLast = 0x20;
// Set in the type byte: the name is a single ID byte with no length field before it.
inline constexpr std::uint8_t kCompactName = 0x80;

// Tag IDs of the server fields.
inline constexpr std::uint8_t kIdName = 0x01;
inline constexpr std::uint8_t kIdDesc = 0x0B;
inline constexpr std::uint8_t kIdPing = 0x0C;
inline constexpr std::uint8_t kIdHist = 0x0D;
inline constexpr std::uint8_t kIdPref = 0x0E;
inline constexpr std::uint8_t kIdPort = 0x0F;
inline constexpr std::uint8_t kIdAddress = 0x10;
}  // namespace mettag

// The header byte this program writes, and the one today's clients write. Both are read.
inline constexpr std::uint8_t kMetHeader = 0x0E;
inline constexpr std::uint8_t kMetHeaderNew = 0xE0;
inline bool isMetHeader(std::uint8_t b) {
  return b == kMetHeader || b == kMetHeaderNew;
}

// The size of the header: the header byte and the 4-byte entry count.
inline constexpr std::size_t kMetHeaderSize = 5;
// Only the low three bytes of the entry count are used.
inline constexpr std::uint32_t kMetMaxCount = 0xFFFFFF;

// One decoded entry. extraTags holds, in their original encoding and order, the tags
// that no field stands for (the address and port tags excepted, which are dropped);
// extraTagCount is how many tags that is.
struct MetRecord {
  Server server;
  std::string extraTags;
  std::int32_t extraTagCount = 0;
  // The entry ran past the end of the data; its missing bytes were read as zero.
  bool truncated = false;
};

// Why decoding ended.
enum class MetStop {
  None,            // not ended yet
  BadHeader,       // the first byte is neither 0x0E nor 0xE0 (or there is none)
  Count,           // all declared entries were read
  MaxRecords,      // the caller's limit was reached first
  EndOfData,       // the data was exhausted before the declared count
  UnknownTagType,  // an entry holds a tag of a type that cannot be skipped
};

// Pulls entries one at a time from a whole MET file held in memory. Bytes beyond the end
// of the data read as zero, so a truncated last entry still decodes (flagged truncated);
// once an entry would start beyond the end, decoding ends with EndOfData, since every
// further entry would be all zeros. An entry with a tag of an unknown type ends
// decoding with UnknownTagType and is not returned: from there on the tag stream
// cannot be followed.
class MetDecoder {
 public:
  MetDecoder(std::string_view bytes, std::uint32_t maxRecords = kMetMaxCount);

  bool headerOk() const { return headerOk_; }
  std::uint8_t header() const { return header_; }
  // The number of entries the file states (low three bytes of the count).
  std::uint32_t declaredCount() const { return declared_; }

  // Decodes the next entry into rec (which is reset first); false once decoding has
  // ended, and stop() says why.
  bool next(MetRecord& rec);
  MetStop stop() const { return stop_; }
  std::uint32_t recordsRead() const { return read_; }
  // Bytes consumed so far (may exceed the data's size for a truncated entry).
  std::size_t position() const { return pos_; }

 private:
  std::uint8_t byteAt(std::size_t at) const {
    return at < data_.size() ? static_cast<std::uint8_t>(data_[at]) : 0;
  }
  std::uint64_t readLE(std::size_t width);
  bool readTag(MetRecord& rec);

  std::string_view data_;
  std::size_t pos_ = 0;
  std::uint32_t max_;
  std::uint32_t declared_ = 0;
  std::uint32_t read_ = 0;
  std::uint8_t header_ = 0;
  bool headerOk_ = false;
  MetStop stop_ = MetStop::None;
};

struct MetParseResult {
  bool headerOk = false;
  std::uint8_t header = 0;
  std::uint32_t declaredCount = 0;
  std::vector<MetRecord> records;
  MetStop stop = MetStop::None;
};

// Decodes a whole MET body: at most maxRecords entries, fewer when the declared count,
// the data or an unknown tag type ends it first. No validity or duplicate test; a
// truncated last entry is included with its truncated flag set.
MetParseResult parseMet(std::string_view bytes, std::uint32_t maxRecords);

// Appends one entry to out: address, port, tag count and tags in the order name,
// description, ping, hist, preference, [address, port,] users, files, then extraTags.
// Fields holding "n/a" are left out; the address and port tags are written when
// addressTags is set. Returns false, leaving out unchanged, when a field cannot be
// written: the address is not four integers, Port, Ping, Hist, Users or Files is neither
// "n/a" nor a 32-bit integer, or Name or Desc is longer than 65535 bytes.
bool encodeMetEntry(std::string& out, const Server& server, std::string_view extraTags,
                    std::int32_t extraTagCount, bool addressTags);

// The four bytes of a dotted address as the binary formats store it: each of the four
// dot-separated parts parsed with parseInt32 and cut to its low 8 bits. False when the
// text is not four such integers.
bool parseAddressBytes(std::string_view ip, std::uint8_t (&parts)[4]);

// Appends the 5-byte header: 0x0E and the count's low three bytes, then a zero byte.
void encodeMetHeader(std::string& out, std::uint32_t count);

}  // namespace ravelin::serverlist

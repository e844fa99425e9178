#include "serverlist/archive_member.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace ravelin::serverlist {

namespace {

constexpr std::size_t kPiece = 64 * 1024;

}  // namespace

ListUnpackError damagedArchive(const std::string& why) {
  return ListUnpackError("damaged archive (" + why + ")", false);
}

struct ArchiveMember::Inflate {
  z_stream z{};
  bool ended = false;
  ~Inflate() { inflateEnd(&z); }
};

ArchiveMember::ArchiveMember(std::string name, std::string_view packed, Packing packing,
                             std::optional<Expected> expected)
    : name_(std::move(name)), packed_(packed), expected_(expected) {
  if (packing == Packing::Stored) return;
  // A zip member holds at most 4 GiB packed, which zlib takes in one go.
  if (packed.size() > UINT_MAX) throw damagedArchive(name_ + " is too large");
  inflate_ = std::make_unique<Inflate>();
  // Raw deflate: a zip member has neither zlib's header nor its trailer.
  if (inflateInit2(&inflate_->z, -MAX_WBITS) != Z_OK) {
    inflate_.reset();
    throw ListUnpackError("the archive could not be read (out of memory)", false);
  }
  inflate_->z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  inflate_->z.avail_in = static_cast<uInt>(packed.size());
}

ArchiveMember::~ArchiveMember() = default;

bool ArchiveMember::readPiece(std::string& out) {
  if (ended_) return false;
  const std::size_t before = out.size();
  out.resize(before + kPiece);
  char* piece = out.data() + before;
  std::size_t got = 0;
  if (inflate_) {
    got = inflatePiece(piece, kPiece);
  } else {
    got = std::min(kPiece, packed_.size() - taken_);
    std::memcpy(piece, packed_.data() + taken_, got);
    taken_ += got;
  }
  out.resize(before + got);
  if (got == 0) {
    finish();
    return false;
  }
  produced_ += got;
  crc_ = static_cast<std::uint32_t>(
      crc32(crc_, reinterpret_cast<const Bytef*>(piece), static_cast<uInt>(got)));
  // A member that runs on past its recorded size is given up at once, not expanded on.
  if (expected_ && produced_ > expected_->size)
    throw damagedArchive(name_ + " is longer than its recorded size");
  return true;
}

std::size_t ArchiveMember::inflatePiece(char* piece, std::size_t room) {
  z_stream& z = inflate_->z;
  z.next_out = reinterpret_cast<Bytef*>(piece);
  z.avail_out = static_cast<uInt>(room);
  // Each round either makes progress or ends in an error: zlib answers Z_BUF_ERROR when
  // it can do nothing more with what it has.
  while (!inflate_->ended && z.avail_out == room) {
    const int rc = inflate(&z, Z_NO_FLUSH);
    if (rc == Z_STREAM_END)
      inflate_->ended = true;
    else if (rc == Z_BUF_ERROR)
      throw damagedArchive("the data of " + name_ + " ends early");
    else if (rc != Z_OK)
      throw damagedArchive("the data of " + name_ + " is not valid deflate data" +
                           (z.msg ? std::string(": ") + z.msg : std::string()));
  }
  return room - z.avail_out;
}

void ArchiveMember::finish() {
  ended_ = true;
  if (!expected_) return;
  if (produced_ != expected_->size)
    throw damagedArchive(name_ + " is shorter than its recorded size");
  if (crc_ != expected_->crc32) throw damagedArchive("CRC-32 mismatch in " + name_);
}

}  // namespace ravelin::serverlist

#include "serverlist/archive_member.h"

#include <algorithm>
#include <cstring>

namespace ravelin::serverlist {

namespace {

constexpr std::size_t kPiece = 64 * 1024;

}  // namespace

ListUnpackError damagedArchive(const std::string& why) {
  return ListUnpackError("damaged archive (" + why + ")", false);
}

ArchiveMember::ArchiveMember(std::string name, std::string_view packed, Packing packing,
                             std::optional<Expected> expected)
    : name_(std::move(name)), packed_(packed), expected_(expected) {
  if (packing == Packing::Stored) return;
  // Raw deflate: a zip member has neither zlib's header nor its trailer.
  inflater_ = std::make_unique<platform::Inflater>(platform::Inflater::Format::RawDeflate);
  if (!inflater_->ready())
    throw ListUnpackError("the archive could not be read (out of memory)", false);
}

ArchiveMember::~ArchiveMember() = default;

bool ArchiveMember::readPiece(std::string& out) {
  if (ended_) return false;
  const std::size_t before = out.size();
  out.resize(before + kPiece);
  char* piece = out.data() + before;
  std::size_t got = 0;
  if (inflater_) {
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
  crc_ = platform::crc32(crc_, std::string_view(piece, got));
  // A member that runs on past its recorded size is given up at once, not expanded on.
  if (expected_ && produced_ > expected_->size)
    throw damagedArchive(name_ + " is longer than its recorded size");
  return true;
}

std::size_t ArchiveMember::inflatePiece(char* piece, std::size_t room) {
  if (inflated_) return 0;
  std::string_view rest = packed_.substr(taken_);
  std::size_t got = 0;
  const platform::Inflater::Result result = inflater_->inflate(rest, piece, room, got);
  taken_ = packed_.size() - rest.size();
  switch (result) {
    case platform::Inflater::Result::End:
      inflated_ = true;
      break;
    case platform::Inflater::Result::NeedMore:
      // The whole member is at hand: deflate data that wants more is cut short.
      throw damagedArchive("the data of " + name_ + " ends early");
    case platform::Inflater::Result::Error:
      throw damagedArchive(
          "the data of " + name_ + " is not valid deflate data" +
          (inflater_->errorText().empty() ? std::string() : ": " + inflater_->errorText()));
    case platform::Inflater::Result::Full:
      break;
  }
  return got;
}

void ArchiveMember::finish() {
  ended_ = true;
  if (!expected_) return;
  if (produced_ != expected_->size)
    throw damagedArchive(name_ + " is shorter than its recorded size");
  if (crc_ != expected_->crc32) throw damagedArchive("CRC-32 mismatch in " + name_);
}

}  // namespace ravelin::serverlist

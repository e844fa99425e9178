#pragma once
// A member of a zip or tar archive, its content handed out piece by piece so that a
// member that cannot fit is given up after its start and the expansion is counted as
// it happens.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/inflater.h"
#include "serverlist/list_unpack.h"

namespace ravelin::serverlist {

// The error of an archive that cannot be read: "damaged archive (<why>)".
ListUnpackError damagedArchive(const std::string& why);

class ArchiveMember {
 public:
  enum class Packing { Stored, Deflated };
  // What the whole content must come to (zip members carry it; tar members do not).
  struct Expected {
    std::uint64_t size;
    std::uint32_t crc32;
  };

  // packed is the member's data as it lies in the archive, which must outlive this.
  ArchiveMember(std::string name, std::string_view packed, Packing packing,
                std::optional<Expected> expected);
  ~ArchiveMember();
  ArchiveMember(const ArchiveMember&) = delete;
  ArchiveMember& operator=(const ArchiveMember&) = delete;

  const std::string& name() const { return name_; }
  // Appends the next piece of the content (at most 64 KiB) to out. False when the content
  // has ended, after its size and CRC-32 were found as expected. Throws ListUnpackError.
  bool readPiece(std::string& out);

 private:
  std::size_t inflatePiece(char* piece, std::size_t room);
  void finish();

  std::string name_;
  std::string_view packed_;
  std::size_t taken_ = 0;  // of packed_
  std::optional<Expected> expected_;
  std::unique_ptr<platform::Inflater> inflater_;  // deflated members only
  bool inflated_ = false;                         // its deflate stream has ended
  std::uint64_t produced_ = 0;
  std::uint32_t crc_ = 0;
  bool ended_ = false;
};

// Called with each regular member in archive order; returns true to stop there.
using MemberVisitor = std::function<bool(ArchiveMember&)>;

}  // namespace ravelin::serverlist

#include "platform/inflater.h"

#include <zlib.h>

#include <algorithm>

namespace ravelin::platform {

namespace {
// zlib counts in 32 bits: input goes in slices of at most this.
constexpr std::size_t kSlice = std::size_t{1} << 30;
}  // namespace

struct Inflater::Stream {
  z_stream z{};
};

Inflater::Inflater(Format format) : stream_(std::make_unique<Stream>()) {
  // 15 window bits; plus 16 for a gzip header and trailer, negative for none at all.
  const int bits = format == Format::Gzip ? MAX_WBITS + 16 : -MAX_WBITS;
  ready_ = inflateInit2(&stream_->z, bits) == Z_OK;
}

Inflater::~Inflater() {
  if (ready_) inflateEnd(&stream_->z);
}

void Inflater::reset() {
  if (ready_) inflateReset(&stream_->z);
}

Inflater::Result Inflater::inflate(std::string_view& input, char* out, std::size_t room,
                                   std::size_t& written) {
  z_stream& z = stream_->z;
  written = 0;
  if (!ready_) return Result::Error;
  room = std::min(room, kSlice);
  for (;;) {
    const std::size_t slice = std::min(input.size(), kSlice);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    z.avail_in = static_cast<uInt>(slice);
    z.next_out = reinterpret_cast<Bytef*>(out + written);
    z.avail_out = static_cast<uInt>(room - written);
    const int rc = ::inflate(&z, Z_NO_FLUSH);
    input.remove_prefix(slice - z.avail_in);
    written = room - z.avail_out;
    if (rc == Z_STREAM_END) return Result::End;
    if (rc != Z_OK && rc != Z_BUF_ERROR) {
      error_ = z.msg ? z.msg : "";
      return Result::Error;
    }
    if (written == room) return Result::Full;
    // zlib answers Z_BUF_ERROR when it can do nothing with what it has.
    if (rc == Z_BUF_ERROR) {
      if (input.empty()) return Result::NeedMore;
      error_.clear();
      return Result::Error;
    }
  }
}

std::uint32_t crc32(std::uint32_t crc, std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t slice = std::min(bytes.size(), kSlice);
    crc = static_cast<std::uint32_t>(
        ::crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(slice)));
    bytes.remove_prefix(slice);
  }
  return crc;
}

}  // namespace ravelin::platform

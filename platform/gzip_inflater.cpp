#include "platform/gzip_inflater.h"

#include <zlib.h>

#include <algorithm>

namespace ravelin::platform {

namespace {
constexpr std::size_t kPiece = 64 * 1024;
// 15 window bits, plus 16: a gzip header and trailer, not a zlib one.
constexpr int kGzipWindow = 15 + 16;
}  // namespace

bool isGzip(std::string_view bytes) {
  return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1F &&
         static_cast<unsigned char>(bytes[1]) == 0x8B;
}

struct GzipInflater::Stream {
  z_stream z{};
  bool ready = false;
  ~Stream() {
    if (ready) inflateEnd(&z);
  }
};

GzipInflater::GzipInflater(std::uint64_t maxOutput)
    : stream_(std::make_unique<Stream>()), max_(maxOutput) {
  if (inflateInit2(&stream_->z, kGzipWindow) != Z_OK) {
    status_ = Status::Error;
    error_ = "zlib could not be set up";
    return;
  }
  stream_->ready = true;
}

GzipInflater::~GzipInflater() = default;

GzipInflater::Status GzipInflater::feed(std::string_view input, std::string& out) {
  if (status_ != Status::NeedMore) return status_;
  z_stream& z = stream_->z;
  unsigned char piece[kPiece];
  while (!input.empty()) {
    if (memberEnded_) {
      // Another member may follow; anything else after a complete stream is ignored.
      if (static_cast<unsigned char>(input[0]) != 0x1F) return status_ = Status::Done;
      if (input.size() >= 2 && !isGzip(input)) return status_ = Status::Done;
      inflateReset(&z);
      memberEnded_ = false;
    }
    // zlib counts its input in 32 bits.
    const std::size_t take = std::min<std::size_t>(input.size(), 1u << 30);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    z.avail_in = static_cast<uInt>(take);
    int rc = Z_OK;
    // On while input is left, or while a full piece says that more output is waiting.
    do {
      z.next_out = piece;
      z.avail_out = kPiece;
      rc = inflate(&z, Z_NO_FLUSH);
      if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
        error_ = z.msg ? z.msg : "damaged gzip data";
        return status_ = Status::Error;
      }
      const std::size_t got = kPiece - z.avail_out;
      if (got > max_ - produced_) {
        out.append(reinterpret_cast<const char*>(piece),
                   static_cast<std::size_t>(max_ - produced_));
        produced_ = max_;
        return status_ = Status::TooLarge;
      }
      out.append(reinterpret_cast<const char*>(piece), got);
      produced_ += got;
      if (rc == Z_BUF_ERROR && got == 0) break;  // needs more input
    } while (rc != Z_STREAM_END && (z.avail_in > 0 || z.avail_out == 0));
    const std::size_t used = take - z.avail_in;
    if (rc == Z_STREAM_END) {
      memberEnded_ = true;
    } else if (used == 0) {
      error_ = "damaged gzip data";  // zlib took nothing: no way forward
      return status_ = Status::Error;
    }
    input.remove_prefix(used);
  }
  return status_;
}

GzipInflater::Status GzipInflater::finish() {
  if (status_ != Status::NeedMore) return status_;
  if (memberEnded_) return status_ = Status::Done;
  error_ = "gzip data ends early";
  return status_ = Status::Error;
}

std::string gunzip(std::string_view data, std::uint64_t maxOutput) {
  GzipInflater inflater(maxOutput);
  std::string out;
  inflater.feed(data, out);
  switch (inflater.finish()) {
    case GzipInflater::Status::Done:
      return out;
    case GzipInflater::Status::TooLarge:
      throw GzipError("expands past " + std::to_string(maxOutput) + " bytes", true);
    default:
      throw GzipError(inflater.errorText(), false);
  }
}

}  // namespace ravelin::platform

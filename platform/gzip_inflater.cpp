#include "platform/gzip_inflater.h"

#include <algorithm>

namespace ravelin::platform {

namespace {
constexpr std::size_t kPiece = 64 * 1024;
}  // namespace

bool isGzip(std::string_view bytes) {
  return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1F &&
         static_cast<unsigned char>(bytes[1]) == 0x8B;
}

GzipInflater::GzipInflater(std::uint64_t maxOutput)
    : inflater_(Inflater::Format::Gzip), max_(maxOutput) {
  if (!inflater_.ready()) {
    status_ = Status::Error;
    error_ = "zlib could not be set up";
  }
}

GzipInflater::~GzipInflater() = default;

GzipInflater::Status GzipInflater::feed(std::string_view input, std::string& out) {
  if (status_ != Status::NeedMore) return status_;
  char piece[kPiece];
  for (;;) {
    if (memberEnded_) {
      // Another member may follow; anything else after a complete stream is ignored.
      if (input.empty()) return status_;
      if (static_cast<unsigned char>(input[0]) != 0x1F) return status_ = Status::Done;
      if (input.size() >= 2 && !isGzip(input)) return status_ = Status::Done;
      inflater_.reset();
      memberEnded_ = false;
    }
    std::size_t got = 0;
    const Inflater::Result result = inflater_.inflate(input, piece, kPiece, got);
    if (got > max_ - produced_) {
      out.append(piece, static_cast<std::size_t>(max_ - produced_));
      produced_ = max_;
      return status_ = Status::TooLarge;
    }
    out.append(piece, got);
    produced_ += got;
    switch (result) {
      case Inflater::Result::Error:
        error_ = inflater_.errorText().empty() ? "damaged gzip data" : inflater_.errorText();
        return status_ = Status::Error;
      case Inflater::Result::End:
        memberEnded_ = true;
        break;
      case Inflater::Result::NeedMore:
        return status_;
      case Inflater::Result::Full:
        break;
    }
  }
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

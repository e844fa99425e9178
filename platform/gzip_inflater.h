#pragma once
// Expanding gzip data (zlib) as it arrives, with a cap on what it may expand to: a small
// compressed input can claim gigabytes, so output is produced in pieces and the
// expansion stops as soon as the cap is passed, never asking for the claimed size.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/inflater.h"

namespace ravelin::platform {

// Whether the bytes start with the gzip magic (1F 8B).
bool isGzip(std::string_view bytes);

class GzipInflater {
 public:
  enum class Status {
    NeedMore,  // all input taken; the stream is not complete yet
    Done,      // the last member ended (bytes after it that start no member are ignored)
    TooLarge,  // the output would pass maxOutput; it holds maxOutput bytes at most
    Error,     // the data is not valid gzip (errorText() says why)
  };

  explicit GzipInflater(std::uint64_t maxOutput);
  ~GzipInflater();
  GzipInflater(const GzipInflater&) = delete;
  GzipInflater& operator=(const GzipInflater&) = delete;

  // Expands input and appends the plain bytes to out. Several gzip members in a row are
  // one stream, as gzip itself reads them. After Done, TooLarge or Error nothing more is
  // taken and the same status is returned.
  Status feed(std::string_view input, std::string& out);
  // The end of the input: Done when the stream was complete, otherwise Error.
  Status finish();
  Status status() const { return status_; }
  std::uint64_t produced() const { return produced_; }
  const std::string& errorText() const { return error_; }

 private:
  Inflater inflater_;
  std::uint64_t max_;
  std::uint64_t produced_ = 0;
  Status status_ = Status::NeedMore;
  bool memberEnded_ = false;  // between members: what follows may start another one
  std::string error_;
};

// Raised by gunzip: the data is damaged, or expands past the cap (tooLarge()).
class GzipError : public std::runtime_error {
 public:
  GzipError(const std::string& what, bool tooLarge)
      : std::runtime_error(what), tooLarge_(tooLarge) {}
  bool tooLarge() const { return tooLarge_; }

 private:
  bool tooLarge_;
};

// The whole expansion of complete gzip data of at most maxOutput bytes. Throws GzipError.
std::string gunzip(std::string_view data, std::uint64_t maxOutput);

}  // namespace ravelin::platform

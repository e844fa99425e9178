#pragma once
// zlib's inflate, one piece of output at a time, for gzip streams and for the raw deflate
// data of zip members. What it has expanded, the caller counts and caps.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace ravelin::platform {

class Inflater {
 public:
  enum class Format { Gzip, RawDeflate };
  enum class Result {
    Full,      // out is full: call again for more
    NeedMore,  // all input is taken and the stream has not ended
    End,       // the stream (a gzip member) ended; input holds what follows it
    Error,     // the data is damaged: errorText() says how
  };

  explicit Inflater(Format format);
  ~Inflater();
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  // Expands the front of input into out (room bytes), takes what it used off input, and
  // sets written.
  Result inflate(std::string_view& input, char* out, std::size_t room, std::size_t& written);
  // Starts a new stream (the next gzip member).
  void reset();
  // False when zlib could not be set up (out of memory): every inflate() is an Error.
  bool ready() const { return ready_; }
  // zlib's words for the damage; empty when it has none.
  const std::string& errorText() const { return error_; }

 private:
  struct Stream;
  std::unique_ptr<Stream> stream_;
  bool ready_ = false;
  std::string error_;
};

// The CRC-32 of bytes (as zip records it), continued from crc.
std::uint32_t crc32(std::uint32_t crc, std::string_view bytes);

}  // namespace ravelin::platform

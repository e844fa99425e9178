#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ravelin::net {

namespace http {

// Incremental parser of an HTTP/1.x response header. It is fed the bytes as they arrive
// and stops after every complete line, so the caller can act on each line (close the
// connection once the status is 400 or more, follow a location, ...). Everything after
// the header belongs to the body, which ends when the server closes the connection;
// the parser does not look at it.
class HttpResponseParser {
 public:
  // The longest line, counted before its LF (a CR in front of the LF included).
  static constexpr std::size_t kMaxLine = 8192;

  enum class Status {
    NeedMore,        // every byte was taken; the line is not complete yet
    Line,            // one header line is complete (line()); more may follow
    HeaderEnd,       // the empty line that ends the header
    HeaderlessBody,  // the first line starts with <HTML>: no header, line() is the
                     // body's first piece and the rest of the input is body
    Error,           // a line is longer than kMaxLine
  };
  struct Result {
    Status status;
    std::size_t consumed;  // bytes of the input taken by this call
  };

  // Takes bytes until one line is complete, the input is used up or an error is found.
  // After HeaderEnd, HeaderlessBody or Error nothing more is taken: every later call
  // repeats that status with consumed 0.
  Result feed(std::string_view bytes);

  // Forgets everything: the next byte is the first of a new response.
  void reset();

  bool finished() const { return finished_; }
  // The last complete line, without its line end.
  const std::string& line() const { return line_; }
  // Lines of the current response seen so far, empty ones excluded.
  int lineCount() const { return lineCount_; }

  // Values taken from the header lines so far.
  int statusCode() const { return statusCode_; }
  const std::string& reasonPhrase() const { return reason_; }
  // From Content-Length; -1 when there was none (or it was not a number).
  std::int64_t contentLength() const { return contentLength_; }
  bool hasLocation() const { return hasLocation_; }
  const std::string& location() const { return location_; }
  // In lower case.
  const std::string& contentType() const { return contentType_; }
  // From Content-Encoding, trimmed, in lower case ("gzip", ...); empty when there was none.
  const std::string& contentEncoding() const { return contentEncoding_; }
  const std::string& contentRangeBegin() const { return rangeBegin_; }
  const std::string& contentRangeEnd() const { return rangeEnd_; }
  const std::string& acceptRanges() const { return acceptRanges_; }
  const std::vector<std::string>& wwwAuthenticate() const { return wwwAuthenticate_; }
  // Set when the line just returned was a Set-Cookie header; its value.
  bool lineIsCookie() const { return lineIsCookie_; }
  const std::string& cookie() const { return cookie_; }

 private:
  void interpretLine();

  std::string line_;
  std::string pending_;  // the line being collected
  bool finished_ = false;
  Status final_ = Status::NeedMore;
  int lineCount_ = 0;
  int statusCode_ = 0;
  std::string reason_;
  std::int64_t contentLength_ = -1;
  bool hasLocation_ = false;
  std::string location_;
  std::string contentType_;
  std::string contentEncoding_;
  std::string rangeBegin_, rangeEnd_;
  std::string acceptRanges_;
  std::vector<std::string> wwwAuthenticate_;
  bool lineIsCookie_ = false;
  std::string cookie_;
};

}  // namespace http

}  // namespace ravelin::net

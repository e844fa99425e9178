// Feeds arbitrary bytes to the response header parser, once whole and once in pieces
// whose sizes come from the first input byte, and checks that both agree and that the
// parser never claims more bytes than it was given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "net/http_response_parser.h"

using namespace ravelin;
using namespace ravelin::net;

namespace {

using net::http::HttpResponseParser;

struct Outcome {
  std::string lines;
  HttpResponseParser::Status final = HttpResponseParser::Status::NeedMore;
  std::size_t headerBytes = 0;
  int status = 0;
  std::int64_t length = -1;
  std::string location, type;
};

Outcome Run(std::string_view bytes, std::size_t chunk) {
  HttpResponseParser p;
  Outcome o;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::string_view piece = bytes.substr(pos, chunk);
    bool stop = false;
    while (true) {
      const auto r = p.feed(piece);
      if (r.consumed > piece.size()) std::abort();
      piece.remove_prefix(r.consumed);
      o.headerBytes += r.consumed;
      if (r.status == HttpResponseParser::Status::NeedMore) {
        if (!piece.empty()) std::abort();
        break;
      }
      if (r.status == HttpResponseParser::Status::Line) {
        if (p.line().size() > HttpResponseParser::kMaxLine) std::abort();
        o.lines += p.line();
        o.lines += '\n';
        continue;
      }
      o.final = r.status;
      stop = true;
      break;
    }
    pos += chunk;
    if (stop) break;
  }
  o.status = p.statusCode();
  o.length = p.contentLength();
  o.location = p.location();
  o.type = p.contentType();
  return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t chunk = 1 + data[0] % 64;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const Outcome whole = Run(bytes, bytes.size() + 1);
  const Outcome pieces = Run(bytes, chunk);
  if (whole.lines != pieces.lines || whole.final != pieces.final || whole.status != pieces.status ||
      whole.length != pieces.length || whole.location != pieces.location ||
      whole.type != pieces.type)
    std::abort();
  // What was taken up to the end of the header is the same either way (an error stops
  // the intake where the line became too long, which depends on the pieces).
  if (whole.final != HttpResponseParser::Status::Error && whole.headerBytes != pieces.headerBytes)
    std::abort();
  return 0;
}

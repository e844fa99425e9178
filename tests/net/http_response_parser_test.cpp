#include "net/http_response_parser.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::net;
using namespace ravelin::runtime;

namespace {

using net::http::HttpResponseParser;
using S = HttpResponseParser::Status;

// Everything the parser made of a response, fed in pieces of chunk bytes.
struct Outcome {
  std::vector<std::string> lines;
  S final = S::NeedMore;
  std::string rest;  // what followed the header (the body), or the headerless first line + rest
  int status = 0;
  std::string reason;
  std::int64_t length = -1;
  std::string location, type, rangeBegin, rangeEnd, cookie;
  bool operator==(const Outcome&) const = default;
};

Outcome fromText(const std::string& bytes, std::size_t chunk) {
  HttpResponseParser p;
  Outcome o;
  std::size_t pos = 0;
  bool done = false;
  while (pos < bytes.size() && !done) {
    std::string_view piece(bytes.data() + pos, std::min(chunk, bytes.size() - pos));
    pos += piece.size();
    while (!done) {
      const auto r = p.feed(piece);
      EXPECT_LE(r.consumed, piece.size());
      piece.remove_prefix(r.consumed);
      if (r.status == S::NeedMore) {
        EXPECT_TRUE(piece.empty());
        break;
      }
      if (r.status == S::Line) {
        o.lines.push_back(p.line());
        if (p.lineIsCookie()) o.cookie = p.cookie();
        continue;
      }
      o.final = r.status;
      if (r.status == S::HeaderlessBody) o.rest = p.line();
      if (r.status != S::Error) o.rest += std::string(piece) + bytes.substr(pos);
      done = true;
    }
  }
  o.status = p.statusCode();
  o.reason = p.reasonPhrase();
  o.length = p.contentLength();
  o.location = p.location();
  o.type = p.contentType();
  o.rangeBegin = p.contentRangeBegin();
  o.rangeEnd = p.contentRangeEnd();
  return o;
}

std::string Data(const std::string& name) {
  return test::ReadFile(std::string(RAVELIN_TEST_DATA) + "/http_responses/" + name);
}

TEST(HttpResponseParser, StatusLineAndKnownHeaders) {
  const Outcome o = fromText(Data("nginx_met.bin"), 1 << 20);
  EXPECT_EQ(o.final, S::HeaderEnd);
  EXPECT_EQ(o.status, 200);
  EXPECT_EQ(o.reason, "OK");
  EXPECT_EQ(o.length, 12);
  EXPECT_EQ(o.type, "application/octet-stream");
  ASSERT_EQ(o.lines.size(), 9u);
  EXPECT_EQ(o.lines[0], "HTTP/1.1 200 OK");
  EXPECT_EQ(o.lines[6], "Connection: close");
  EXPECT_EQ(o.rest, test::Bytes({0x0e, 1, 0, 0, 0, 0x7f, 0, 0, 1, 0x35, 0x12, 0}));
}

TEST(HttpResponseParser, RelocationKeepsTheLocationAndBodyFollows) {
  const Outcome o = fromText(Data("apache_301.bin"), 1 << 20);
  EXPECT_EQ(o.final, S::HeaderEnd);
  EXPECT_EQ(o.status, 301);
  EXPECT_EQ(o.reason, "Moved Permanently");
  EXPECT_EQ(o.location, "https://example.invalid/server.met");
  EXPECT_EQ(o.type, "text/html; charset=iso-8859-1");
  EXPECT_EQ(o.length, 239);
  EXPECT_TRUE(o.rest.starts_with("<!DOCTYPE"));
}

TEST(HttpResponseParser, HeaderlessHtmlInAnyCaseIsBodyFromItsFirstLine) {
  const Outcome o = fromText(Data("headerless_html.bin"), 1 << 20);
  EXPECT_EQ(o.final, S::HeaderlessBody);
  EXPECT_TRUE(o.lines.empty());
  EXPECT_EQ(o.type, "text/html");
  // The first line loses its line end; everything after it is passed on as it came.
  EXPECT_EQ(o.rest,
            "<html><body><a href=\"ed2k://|server|10.0.0.1|4242|/\">x</a></body>\n</html>\n");
  for (const char* first : {"<HTML>", "<hTmL> trailing", "<html>"}) {
    const Outcome h = fromText(std::string(first) + "\r\nx", 3);
    EXPECT_EQ(h.final, S::HeaderlessBody) << first;
    EXPECT_EQ(h.rest, std::string(first) + "x");
  }
  // Only the first line counts.
  const Outcome late = fromText("HTTP/1.0 200 OK\r\n<html>\r\n\r\n", 5);
  EXPECT_EQ(late.final, S::HeaderEnd);
  EXPECT_EQ(late.lines.size(), 2u);
}

TEST(HttpResponseParser, BareLineFeedsCookiesRangesAndLowerCaseType) {
  const Outcome o = fromText(Data("bare_lf.bin"), 7);
  EXPECT_EQ(o.final, S::HeaderEnd);
  EXPECT_EQ(o.status, 200);
  EXPECT_EQ(o.type, "text/html");
  EXPECT_EQ(o.cookie, "id=7; path=/");
  EXPECT_EQ(o.rangeBegin, "100");
  EXPECT_EQ(o.rangeEnd, "199");
  EXPECT_EQ(o.rest, "body with bare LF lines\n");
}

TEST(HttpResponseParser, BrokenValuesAreToleratedNotGuessed) {
  const Outcome o = fromText(Data("broken_values.bin"), 1 << 20);
  EXPECT_EQ(o.final, S::HeaderEnd);
  EXPECT_EQ(o.status, 0);   // "2x0" is no number
  EXPECT_EQ(o.length, -1);  // "lots" is no length
  EXPECT_EQ(o.lines.size(), 3u);
  const Outcome t = fromText(Data("truncated_404.bin"), 4);
  EXPECT_EQ(t.final, S::NeedMore);
  EXPECT_EQ(t.status, 404);
  EXPECT_EQ(t.lines.size(), 2u);
}

TEST(HttpResponseParser, LinesUpTo8192BytesPassLongerOnesFail) {
  const std::string ok = "X-A: " + std::string(8192 - 6, 'a') + "\r";  // 8192 bytes before LF
  ASSERT_EQ(ok.size(), 8192u);
  Outcome o = fromText("HTTP/1.0 200 OK\r\n" + ok + "\n\r\nB", 1000);
  EXPECT_EQ(o.final, S::HeaderEnd);
  EXPECT_EQ(o.rest, "B");
  o = fromText("HTTP/1.0 200 OK\r\nX-A: " + std::string(8192 - 5, 'a') + "\r\n\r\nB", 1000);
  EXPECT_EQ(o.final, S::Error);
  // The error is seen as soon as the line grows too long, without waiting for its end.
  HttpResponseParser p;
  EXPECT_EQ(p.feed(std::string(8192, 'a')).status, S::NeedMore);
  EXPECT_EQ(p.feed("a").status, S::Error);
  EXPECT_EQ(p.feed("\r\n").consumed, 0u);
  EXPECT_EQ(fromText(Data("long_line.bin"), 1).final, S::Error);
}

TEST(HttpResponseParser, EveryChunkSizeGivesTheSameResult) {
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(RAVELIN_TEST_DATA) + "/http_responses")) {
    const std::string bytes = test::ReadFile(entry.path().string());
    const Outcome whole = fromText(bytes, bytes.size() + 1);
    for (std::size_t chunk = 1; chunk <= bytes.size(); ++chunk)
      ASSERT_EQ(fromText(bytes, chunk), whole) << entry.path() << " chunk " << chunk;
  }
}

TEST(HttpResponseParser, ResetStartsANewResponse) {
  HttpResponseParser p;
  p.feed("HTTP/1.0 404 Gone\r\n");
  EXPECT_EQ(p.statusCode(), 404);
  EXPECT_EQ(p.lineCount(), 1);
  p.reset();
  EXPECT_EQ(p.statusCode(), 0);
  EXPECT_EQ(p.lineCount(), 0);
  EXPECT_EQ(p.contentLength(), -1);
  EXPECT_EQ(p.feed("\r\n").status, S::HeaderEnd);
  EXPECT_EQ(p.feed("more").status, S::HeaderEnd);
  EXPECT_EQ(p.feed("more").consumed, 0u);
}

}  // namespace

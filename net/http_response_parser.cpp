#include "net/http_response_parser.h"

#include <algorithm>
#include <cctype>

namespace ravelin::net {

namespace http {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

// A decimal number of at most 18 digits, nothing else; -1 otherwise.
std::int64_t ParseLength(std::string_view s) {
  s = TrimBlanks(s);
  if (s.empty() || s.size() > 18) return -1;
  std::int64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  return true;
}

}  // namespace

void HttpResponseParser::reset() {
  *this = HttpResponseParser();
}

HttpResponseParser::Result HttpResponseParser::feed(std::string_view bytes) {
  if (finished_) return {final_, 0};
  lineIsCookie_ = false;
  const std::size_t lf = bytes.find('\n');
  const std::size_t take = lf == std::string_view::npos ? bytes.size() : lf;
  if (pending_.size() + take > kMaxLine) {
    finished_ = true;
    final_ = Status::Error;
    pending_.clear();
    return {Status::Error, 0};
  }
  pending_.append(bytes.data(), take);
  if (lf == std::string_view::npos) return {Status::NeedMore, bytes.size()};

  const std::size_t consumed = lf + 1;
  if (!pending_.empty() && pending_.back() == '\r') pending_.pop_back();
  line_.swap(pending_);
  pending_.clear();

  const bool first = lineCount_ == 0;
  if (first && StartsWithNoCase(line_, "<HTML>")) {
    finished_ = true;
    final_ = Status::HeaderlessBody;
    if (contentType_.empty()) contentType_ = "text/html";
    return {Status::HeaderlessBody, consumed};
  }
  if (line_.empty()) {
    finished_ = true;
    final_ = Status::HeaderEnd;
    return {Status::HeaderEnd, consumed};
  }
  ++lineCount_;
  interpretLine();
  return {Status::Line, consumed};
}

void HttpResponseParser::interpretLine() {
  const std::string_view l = line_;
  if (l.starts_with("HTTP/1.0") || l.starts_with("HTTP/1.1")) {
    // "HTTP/1.1 200 OK": the code stands in columns 10 to 12, the reason from column 14.
    statusCode_ = 0;
    const std::string_view code = l.size() > 9 ? l.substr(9, 3) : std::string_view();
    const std::int64_t v = ParseLength(code);
    if (v >= 0) statusCode_ = static_cast<int>(v);
    reason_ = l.size() > 13 ? std::string(l.substr(13)) : std::string();
    return;
  }
  const std::size_t colon = l.find(':');
  if (colon == std::string_view::npos) return;
  const std::string name = Lower(l.substr(0, colon));
  std::string_view value = l.substr(colon + 1);
  while (!value.empty() && value.front() == ' ') value.remove_prefix(1);

  if (name == "location") {
    hasLocation_ = true;
    location_ = std::string(value);
  } else if (name == "content-length") {
    contentLength_ = ParseLength(value);
  } else if (name == "content-range") {
    // "bytes 100-199/1000"
    const std::size_t dash = value.find('-');
    const std::size_t slash = value.find('/');
    if (dash != std::string_view::npos && dash >= 6)
      rangeBegin_ = std::string(value.substr(6, dash - 6));
    if (dash != std::string_view::npos && slash != std::string_view::npos && slash > dash)
      rangeEnd_ = std::string(value.substr(dash + 1, slash - dash - 1));
  } else if (name == "accept-ranges") {
    acceptRanges_ = std::string(value);
  } else if (name == "content-type") {
    contentType_ = Lower(value);
  } else if (name == "content-encoding") {
    contentEncoding_ = Lower(TrimBlanks(value));
  } else if (name == "www-authenticate") {
    wwwAuthenticate_.emplace_back(value);
  } else if (name == "set-cookie") {
    lineIsCookie_ = true;
    cookie_ = std::string(value);
  }
}

}  // namespace http

}  // namespace ravelin::net

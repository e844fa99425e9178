#include "serverlist/ip_filter.h"

#include <algorithm>
#include <filesystem>
#include <mutex>

#include "platform/file_io.h"
#include "platform/paths.h"
#include "serverlist/list_unpack.h"

namespace ravelin::serverlist {

namespace {

// The level from which an ipfilter.dat range allows instead of blocking.
constexpr int kAllowLevel = 127;

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

void skipBlanks(std::string_view s, std::size_t& i) {
  while (i < s.size() && isBlank(s[i])) ++i;
}

// A dotted address at s[i], leaving i behind it.
bool readAddress(std::string_view s, std::size_t& i, std::uint32_t& address) {
  std::uint32_t value = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (i >= s.size() || s[i] != '.') return false;
      ++i;
    }
    unsigned n = 0;
    std::size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < 4) {
      n = n * 10 + static_cast<unsigned>(s[i] - '0');
      ++i;
      ++digits;
    }
    if (digits == 0 || digits > 3 || n > 255) return false;
    value = value << 8 | n;
  }
  address = value;
  return true;
}

// "a - b" with blanks allowed around the hyphen, from s[i]; leaves i behind b.
bool readRange(std::string_view s, std::size_t& i, IpRange& range) {
  skipBlanks(s, i);
  if (!readAddress(s, i, range.first)) return false;
  skipBlanks(s, i);
  if (i >= s.size() || s[i] != '-') return false;
  ++i;
  skipBlanks(s, i);
  if (!readAddress(s, i, range.last)) return false;
  skipBlanks(s, i);
  return range.first <= range.last;
}

// "range , level [, description]"
bool readDatLine(std::string_view s, IpRange& range, int& level) {
  std::size_t i = 0;
  if (!readRange(s, i, range) || i >= s.size() || s[i] != ',') return false;
  ++i;
  skipBlanks(s, i);
  int n = 0;
  std::size_t digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < 6) {
    n = n * 10 + (s[i] - '0');
    ++i;
    ++digits;
  }
  if (digits == 0 || digits >= 6) return false;
  skipBlanks(s, i);
  if (i < s.size() && s[i] != ',') return false;
  level = n;
  return true;
}

// "description:range"; the description may hold colons itself.
bool readGuardianLine(std::string_view s, IpRange& range) {
  const std::size_t colon = s.rfind(':');
  if (colon == std::string_view::npos) return false;
  std::size_t i = colon + 1;
  return readRange(s, i, range) && i == s.size();
}

}  // namespace

bool parseIpv4(std::string_view text, std::uint32_t& address) {
  std::size_t i = 0;
  return readAddress(text, i, address) && i == text.size();
}

FilterLine parseFilterLine(std::string_view line, IpRange& range) {
  std::size_t start = 0;
  while (start < line.size() && (isBlank(line[start]) || line[start] == '\r')) ++start;
  std::size_t end = line.size();
  while (end > start && (isBlank(line[end - 1]) || line[end - 1] == '\r')) --end;
  line = line.substr(start, end - start);
  if (line.empty() || line[0] == '#' || line.starts_with("//")) return FilterLine::Comment;
  int level = 0;
  if (readDatLine(line, range, level))
    return level < kAllowLevel ? FilterLine::Blocks : FilterLine::Allows;
  if (readGuardianLine(line, range)) return FilterLine::Blocks;
  return FilterLine::Bad;
}

IpFilter IpFilter::parse(std::string_view text, std::size_t* badLines) {
  IpFilter filter;
  std::size_t bad = 0;
  std::vector<IpRange>& r = filter.ranges_;
  r.reserve(text.size() / 40);
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) nl = text.size();
    IpRange range;
    switch (parseFilterLine(text.substr(pos, nl - pos), range)) {
      case FilterLine::Blocks:
        r.push_back(range);
        break;
      case FilterLine::Bad:
        ++bad;
        break;
      case FilterLine::Comment:
      case FilterLine::Allows:
        break;
    }
    pos = nl + 1;
  }
  std::sort(r.begin(), r.end(),
            [](const IpRange& a, const IpRange& b) { return a.first < b.first; });
  // Merge ranges that overlap or touch, in place.
  std::size_t out = 0;
  for (std::size_t i = 0; i < r.size(); ++i) {
    if (out > 0 && (r[out - 1].last == 0xFFFFFFFFu || r[i].first <= r[out - 1].last + 1)) {
      r[out - 1].last = std::max(r[out - 1].last, r[i].last);
      continue;
    }
    r[out++] = r[i];
  }
  r.resize(out);
  r.shrink_to_fit();
  if (badLines) *badLines = bad;
  return filter;
}

bool IpFilter::blocks(std::uint32_t address) const {
  // The last range that starts at or below the address.
  auto it = std::upper_bound(ranges_.begin(), ranges_.end(), address,
                             [](std::uint32_t a, const IpRange& r) { return a < r.first; });
  if (it == ranges_.begin()) return false;
  return address <= std::prev(it)->last;
}

bool IpFilter::blocks(std::string_view dottedIp) const {
  std::uint32_t address = 0;
  return parseIpv4(dottedIp, address) && blocks(address);
}

IpFilter loadIpFilterFile(const std::string& path, std::uint64_t maxBytes, std::size_t* badLines) {
  const UnpackedList text = unpackList(platform::readWholeFile(path), ListContent::Text, maxBytes);
  return IpFilter::parse(text.data, badLines);
}

std::shared_ptr<const IpFilter> currentIpFilter(runtime::AppContext& ctx) {
  const std::string& path = ctx.settings.IPFilterFile;
  if (path.empty()) return nullptr;
  // The last filter loaded, for the imports and updates that follow: a filter of a
  // million ranges is worth keeping while its file stays as it is.
  struct Cache {
    std::mutex mutex;
    std::string path;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type mtime;
    std::shared_ptr<const IpFilter> filter;
  };
  static Cache cache;

  std::error_code ec;
  const std::filesystem::path file = platform::pathFromUtf8(path);
  const std::uintmax_t size = std::filesystem::file_size(file, ec);
  const auto mtime =
      ec ? std::filesystem::file_time_type{} : std::filesystem::last_write_time(file, ec);
  if (ec) {
    ctx.log.writeLog("IP filter <" + path + "> cannot be read (" + ec.message() +
                     "): no servers are filtered");
    return nullptr;
  }
  std::lock_guard lock(cache.mutex);
  if (cache.filter && cache.path == path && cache.size == size && cache.mtime == mtime)
    return cache.filter;
  std::size_t bad = 0;
  std::shared_ptr<const IpFilter> filter;
  try {
    filter =
        std::make_shared<const IpFilter>(loadIpFilterFile(path, maxListBytes(ctx.settings), &bad));
  } catch (const std::exception& e) {
    ctx.log.writeLog("IP filter <" + path + "> cannot be read (" + e.what() +
                     "): no servers are filtered");
    return nullptr;
  }
  ctx.log.writeLog("Loaded <" + std::to_string(filter->ranges().size()) +
                   "> blocked ranges from IP filter <" + path + ">");
  if (bad > 0)
    ctx.log.writeLog("Skipped <" + std::to_string(bad) + "> bad lines of IP filter <" + path + ">");
  cache.path = path;
  cache.size = size;
  cache.mtime = mtime;
  cache.filter = filter;
  return filter;
}

}  // namespace ravelin::serverlist

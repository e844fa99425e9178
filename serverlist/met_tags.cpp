#include "serverlist/met_tags.h"

#include <charconv>
#include <optional>

#include "platform/text.h"
#include "serverlist/ip_port.h"

namespace ravelin::serverlist {

namespace {

// Which field a tag's name stands for.
enum class Target { Extra, Ignore, Name, Desc, Ping, Hist, Pref, Users, Files };

// Names are matched as texts, letter case included; a one-byte ID stands for its
// decimal text, so the ID 0x0B and the two-character name "11" both mean the description.
Target targetOfId(std::uint8_t id) {
  switch (id) {
    case 1:
      return Target::Name;
    case 11:
      return Target::Desc;
    case 12:
      return Target::Ping;
    case 13:
      return Target::Hist;
    case 14:
      return Target::Pref;
    case 15:
    case 16:
      return Target::Ignore;
    default:
      return Target::Extra;
  }
}

Target targetOfName(std::string_view name) {
  if (name.size() == 2 && name[0] == '1' && name[1] >= '0' && name[1] <= '9')
    return targetOfId(static_cast<std::uint8_t>(10 + (name[1] - '0')));
  if (name == "users") return Target::Users;
  if (name == "files") return Target::Files;
  return Target::Extra;
}

void appendDecimal(std::string& out, std::uint64_t v) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

std::string decimal(std::int64_t v) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

void putLE(std::string& out, std::uint64_t v, int width) {
  for (int i = 0; i < width; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

MetDecoder::MetDecoder(std::string_view bytes, std::uint32_t maxRecords)
    : data_(bytes), max_(maxRecords) {
  header_ = byteAt(0);
  headerOk_ = !bytes.empty() && isMetHeader(header_);
  if (!headerOk_) {
    stop_ = MetStop::BadHeader;
    return;
  }
  // The fourth byte of the count is read and ignored.
  declared_ = static_cast<std::uint32_t>(byteAt(1)) | static_cast<std::uint32_t>(byteAt(2)) << 8 |
              static_cast<std::uint32_t>(byteAt(3)) << 16;
  pos_ = kMetHeaderSize;
}

std::uint64_t MetDecoder::readLE(std::size_t width) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < width; ++i)
    v |= static_cast<std::uint64_t>(byteAt(pos_ + i)) << (8 * i);
  pos_ += width;
  return v;
}

bool MetDecoder::next(MetRecord& rec) {
  if (stop_ != MetStop::None) return false;
  if (read_ >= declared_) {
    stop_ = MetStop::Count;
    return false;
  }
  if (read_ >= max_) {
    stop_ = MetStop::MaxRecords;
    return false;
  }
  // Every entry from here on would consist of zero bytes only: address 0.0.0.0, port 0,
  // no tags.
  if (pos_ >= data_.size()) {
    stop_ = MetStop::EndOfData;
    return false;
  }

  rec.server = Server{};
  rec.extraTags.clear();
  rec.extraTagCount = 0;
  rec.truncated = false;

  std::string& ip = rec.server.ip;
  ip.clear();
  for (int i = 0; i < 4; ++i) {
    if (i) ip.push_back('.');
    appendDecimal(ip, byteAt(pos_ + static_cast<std::size_t>(i)));
  }
  pos_ += 4;
  rec.server.port.clear();
  appendDecimal(rec.server.port, readLE(2));

  const auto tagCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(readLE(4)));
  for (std::int32_t i = 0; i < tagCount; ++i) {
    // Beyond the end every tag reads as zeros, which carry nothing: the entry is done.
    if (pos_ >= data_.size()) {
      rec.truncated = true;
      break;
    }
    if (!readTag(rec)) {
      stop_ = MetStop::UnknownTagType;
      return false;
    }
  }
  if (pos_ > data_.size()) rec.truncated = true;

  Server& s = rec.server;
  for (std::string* f : {&s.name, &s.desc, &s.ping, &s.hist, &s.users, &s.files})
    if (f->empty()) *f = kNA;
  if (s.pref.empty()) s.pref = "Normal";
  ++read_;
  return true;
}

bool MetDecoder::readTag(MetRecord& rec) {
  const std::size_t start = pos_;
  std::uint8_t type = byteAt(pos_++);
  const bool compact = (type & mettag::kCompactName) != 0;
  type &= static_cast<std::uint8_t>(~mettag::kCompactName);

  Target target;
  if (compact) {
    target = targetOfId(byteAt(pos_++));
  } else {
    const auto nameLength = static_cast<std::size_t>(readLE(2));
    if (nameLength <= 1) {
      // A name of length 0 or 1 is one ID byte.
      target = targetOfId(byteAt(pos_++));
    } else {
      const std::size_t nameAt = pos_;
      pos_ += nameLength;
      // A name cut off by the end of the data is padded with zeros and matches nothing.
      target =
          pos_ <= data_.size() ? targetOfName(data_.substr(nameAt, nameLength)) : Target::Extra;
    }
  }

  // The value: its text for a field, or nothing when it is neither text nor integer.
  std::optional<std::string> text;
  auto takeText = [&](std::size_t length) {
    const std::size_t at = pos_;
    pos_ += length;
    if (target == Target::Extra || target == Target::Ignore) return;
    // Missing bytes are zeros, which the trim removes again.
    const std::size_t avail = at < data_.size() ? std::min(length, data_.size() - at) : 0;
    text = platform::trimText(at < data_.size() ? data_.substr(at, avail) : std::string_view{});
  };
  switch (type) {
    case mettag::kString:
      takeText(static_cast<std::size_t>(readLE(2)));
      break;
    case mettag::kUInt32:
      text = decimal(static_cast<std::int32_t>(static_cast<std::uint32_t>(readLE(4))));
      break;
    case mettag::kUInt16:
      text = decimal(static_cast<std::int64_t>(readLE(2)));
      break;
    case mettag::kUInt8:
      text = decimal(static_cast<std::int64_t>(readLE(1)));
      break;
    case mettag::kUInt64: {
      std::string t;
      appendDecimal(t, readLE(8));
      text = std::move(t);
      break;
    }
    case mettag::kHash:
      pos_ += 16;
      break;
    case mettag::kFloat:
      pos_ += 4;
      break;
    case mettag::kBool:
      pos_ += 1;
      break;
    case mettag::kBoolArray:
      pos_ += static_cast<std::size_t>(readLE(2)) / 8 + 1;
      break;
    case mettag::kBlob:
      pos_ += static_cast<std::size_t>(readLE(4));
      break;
    default:
      if (type >= mettag::kShortStringFirst && type <= mettag::kShortStringLast) {
        takeText(type - 0x10u);
        break;
      }
      return false;
  }

  // A tag whose name matches a field but whose value is neither text nor an integer is
  // kept like an unknown one.
  if (target != Target::Extra && target != Target::Ignore && !text) target = Target::Extra;

  Server& s = rec.server;
  switch (target) {
    case Target::Ignore:
      break;
    case Target::Extra:
      // Only a complete tag is kept; one cut off by the end of the data is lost.
      if (pos_ <= data_.size()) {
        rec.extraTags.append(data_.substr(start, pos_ - start));
        ++rec.extraTagCount;
      }
      break;
    case Target::Name:
      s.name = std::move(*text);
      break;
    case Target::Desc:
      s.desc = std::move(*text);
      break;
    case Target::Ping:
      s.ping = std::move(*text);
      break;
    case Target::Hist:
      s.hist = std::move(*text);
      break;
    case Target::Users:
      s.users = std::move(*text);
      break;
    case Target::Files:
      s.files = std::move(*text);
      break;
    case Target::Pref:
      if (*text == "0") {
        s.pref = "Normal";
      } else if (*text == "1") {
        s.pref = "High";
      } else if (*text == "2") {
        s.pref = "Low";
      }
      break;
  }
  return true;
}

MetParseResult parseMet(std::string_view bytes, std::uint32_t maxRecords) {
  MetDecoder decoder(bytes, maxRecords);
  MetParseResult result;
  result.headerOk = decoder.headerOk();
  result.header = decoder.header();
  result.declaredCount = decoder.declaredCount();
  MetRecord rec;
  while (decoder.next(rec)) result.records.push_back(std::move(rec));
  result.stop = decoder.stop();
  return result;
}

namespace {

// An integer field of an entry; not present when it holds "n/a".
struct IntField {
  bool present = false;
  std::int32_t value = 0;
};

bool parseIntField(const std::string& text, IntField& out) {
  if (text == kNA) return true;
  const auto v = platform::parseInt32(text);
  if (!v) return false;
  out.present = true;
  out.value = *v;
  return true;
}

void putIntTag(std::string& out, std::uint8_t id, std::uint32_t value) {
  out.push_back(static_cast<char>(mettag::kUInt32));
  putLE(out, 1, 2);
  out.push_back(static_cast<char>(id));
  putLE(out, value, 4);
}

void putNamedIntTag(std::string& out, std::string_view name, std::uint32_t value) {
  out.push_back(static_cast<char>(mettag::kUInt32));
  putLE(out, name.size(), 2);
  out.append(name);
  putLE(out, value, 4);
}

void putTextTag(std::string& out, std::uint8_t id, std::string_view text) {
  out.push_back(static_cast<char>(mettag::kString));
  putLE(out, 1, 2);
  out.push_back(static_cast<char>(id));
  putLE(out, text.size(), 2);
  out.append(text);
}

}  // namespace

bool parseAddressBytes(std::string_view ip, std::uint8_t (&parts)[4]) {
  std::size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    const std::size_t dot = i < 3 ? ip.find('.', start) : ip.size();
    if (dot == std::string_view::npos) return false;
    const auto v = platform::parseInt32(ip.substr(start, dot - start));
    if (!v) return false;
    parts[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(*v) & 0xFF);
    start = dot + 1;
  }
  return true;
}

bool encodeMetEntry(std::string& out, const Server& s, std::string_view extraTags,
                    std::int32_t extraTagCount, bool addressTags) {
  std::uint8_t address[4];
  if (!parseAddressBytes(s.ip, address)) return false;
  IntField port, ping, hist, users, files;
  if (!parseIntField(s.port, port) || !parseIntField(s.ping, ping) ||
      !parseIntField(s.hist, hist) || !parseIntField(s.users, users) ||
      !parseIntField(s.files, files))
    return false;
  const bool hasName = s.name != kNA, hasDesc = s.desc != kNA, hasPref = s.pref != kNA;
  if ((hasName && s.name.size() > 0xFFFF) || (hasDesc && s.desc.size() > 0xFFFF)) return false;
  // Any preference text but "High" and "Low" is written as Normal.
  const std::uint32_t pref = s.pref == "High" ? 1 : s.pref == "Low" ? 2 : 0;

  std::int32_t tags = (hasName ? 1 : 0) + (hasDesc ? 1 : 0) + (ping.present ? 1 : 0) +
                      (hist.present ? 1 : 0) + (hasPref ? 1 : 0) + (users.present ? 1 : 0) +
                      (files.present ? 1 : 0) + (addressTags ? 2 : 0) + extraTagCount;
  const auto portValue = static_cast<std::uint32_t>(port.value);

  out.append(reinterpret_cast<const char*>(address), 4);
  putLE(out, portValue & 0xFFFF, 2);
  putLE(out, static_cast<std::uint32_t>(tags), 4);
  if (hasName) putTextTag(out, mettag::kIdName, s.name);
  if (hasDesc) putTextTag(out, mettag::kIdDesc, s.desc);
  if (ping.present) putIntTag(out, mettag::kIdPing, static_cast<std::uint32_t>(ping.value));
  if (hist.present) putIntTag(out, mettag::kIdHist, static_cast<std::uint32_t>(hist.value));
  if (hasPref) putIntTag(out, mettag::kIdPref, pref);
  if (addressTags) {
    out.push_back(static_cast<char>(mettag::kUInt32));
    putLE(out, 1, 2);
    out.push_back(static_cast<char>(mettag::kIdAddress));
    out.append(reinterpret_cast<const char*>(address), 4);
    putIntTag(out, mettag::kIdPort, portValue);
  }
  if (users.present) putNamedIntTag(out, "users", static_cast<std::uint32_t>(users.value));
  if (files.present) putNamedIntTag(out, "files", static_cast<std::uint32_t>(files.value));
  out.append(extraTags);
  return true;
}

void encodeMetHeader(std::string& out, std::uint32_t count) {
  out.push_back(static_cast<char>(kMetHeader));
  putLE(out, count & kMetMaxCount, 3);
  out.push_back('\0');
}

}  // namespace ravelin::serverlist

#include "serverlist/merge.h"

#include "platform/file_io.h"
#include "platform/text.h"
#include "serverlist/ip_port.h"

namespace ravelin::serverlist {

std::string serverKey(std::string_view ip, std::string_view port) {
  std::string key;
  key.reserve(ip.size() + port.size() + 1);
  key.append(ip).append(1, ':').append(port);
  return key;
}

KeySet::KeySet(const ServerList& list) {
  reserve(list.size());
  for (const ServerEntry& e : list.entries()) add(e.server.ip, e.server.port);
}

std::uint32_t KeySet::fold(std::string_view ip, std::string_view port) const {
  scratch_.clear();
  scratch_.reserve(ip.size() + port.size() + 1);
  std::uint32_t h = 2166136261u;  // FNV-1a over the folded key
  const auto put = [&](char c) {
    c = platform::lowerChar(c);
    scratch_.push_back(c);
    h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  };
  for (char c : ip) put(c);
  put(':');
  for (char c : port) put(c);
  return h;
}

size_t KeySet::find(std::uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& s = slots_[i];
    if (s.length == 0) return i;
    if (s.hash == hash && s.length == scratch_.size() &&
        arena_.compare(s.offset, s.length, scratch_) == 0)
      return i;
  }
}

void KeySet::grow(size_t minSlots) {
  size_t n = 16;
  while (n < minSlots) n *= 2;
  if (n <= slots_.size()) return;
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(n, Slot{});
  for (const Slot& s : old) {
    if (s.length == 0) continue;
    size_t i = s.hash & (n - 1);
    while (slots_[i].length != 0) i = (i + 1) & (n - 1);
    slots_[i] = s;
  }
}

void KeySet::reserve(size_t n) {
  // Load factor at most one half.
  grow((count_ + n) * 2);
}

bool KeySet::add(std::string_view ip, std::string_view port) {
  if ((count_ + 1) * 2 > slots_.size()) grow((count_ + 1) * 2);
  const std::uint32_t hash = fold(ip, port);
  const size_t i = find(hash);
  if (slots_[i].length != 0) return false;
  slots_[i] = Slot{hash, static_cast<std::uint32_t>(scratch_.size()), arena_.size()};
  arena_ += scratch_;
  ++count_;
  return true;
}

bool KeySet::contains(std::string_view ip, std::string_view port) const {
  if (slots_.empty()) return false;
  const std::uint32_t hash = fold(ip, port);
  return slots_[find(hash)].length != 0;
}

ImportMerge::ImportMerge(ServerList& list, runtime::AppContext& ctx)
    : list_(list), ctx_(ctx), keys_(list), filter_(currentIpFilter(ctx)) {}

bool ImportMerge::add(Server record, std::string extraTags, std::int32_t extraTagCount) {
  record.ip = platform::trimText(record.ip);
  record.port = platform::trimText(record.port);
  if (!isValidIP(record.ip) || !isValidPort(record.port)) return false;
  if (filter_ && filter_->blocks(record.ip)) {
    ++blocked_;
    return false;
  }
  if (!keys_.add(record.ip, record.port)) return false;
  list_.append(ServerEntry{std::move(record), true, std::move(extraTags), extraTagCount});
  return true;
}

void ImportMerge::logBlocked() const {
  if (filter_)
    ctx_.log.writeLog("<" + std::to_string(blocked_) + "> servers blocked by <" +
                      ctx_.settings.IPFilterFile + ">");
}

std::optional<std::string> readImportSource(const std::string& fileName, ListContent content,
                                            ServerList& list, runtime::ProgressBar* bar,
                                            runtime::AppContext& ctx, ListReadProblem* problem) {
  const auto quietEnd = [&] {
    list.recount();
    if (bar) bar->hide();
  };
  std::string bytes;
  try {
    bytes = platform::readWholeFile(fileName);
  } catch (const platform::FileError& e) {
    if (problem) *problem = {e.what(), !platform::fileExists(fileName), false};
    quietEnd();
    return std::nullopt;
  }
  std::optional<std::string> data = unpackImportSource(std::move(bytes), content, fileName, ctx);
  if (!data) {
    if (problem) problem->text = "<" + fileName + "> holds no usable server list";
    quietEnd();
  }
  return data;
}

std::optional<std::string> unpackImportSource(std::string bytes, ListContent content,
                                              const std::string& fileName,
                                              runtime::AppContext& ctx) {
  try {
    UnpackedList unpacked = unpackList(std::move(bytes), content, maxListBytes(ctx.settings));
    if (!unpacked.member.empty()) ctx.log.writeLog(unpackedLogLine(unpacked.member, fileName));
    return std::move(unpacked.data);
  } catch (const ListUnpackError& e) {
    ctx.log.writeLog(skippedLogLine(fileName, e));
    return std::nullopt;
  }
}

}  // namespace ravelin::serverlist

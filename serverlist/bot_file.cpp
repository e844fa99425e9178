#include "serverlist/bot_file.h"

#include <charconv>
#include <functional>

#include "platform/text.h"
#include "serverlist/batch_scope.h"
#include "serverlist/ip_port.h"
#include "serverlist/merge.h"
#include "serverlist/met_tags.h"

namespace ravelin::serverlist {

namespace {

void appendDecimal(std::string& out, unsigned v) {
  char buf[12];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

std::uint8_t at(std::string_view data, std::size_t i) {
  return static_cast<std::uint8_t>(data[i]);
}

std::optional<std::string> encodeChecked(const ServerList& list,
                                         const std::function<void()>& perEntry) {
  std::string out;
  out.reserve(list.checkedCount() * kBotRecordSize);
  // By index: the user interface runs between entries.
  for (std::size_t row = 0; row < list.size(); ++row) {
    const ServerEntry& e = list[row];
    if (!e.checked) continue;
    if (!encodeBotRecord(out, e.server)) return std::nullopt;
    if (perEntry) perEntry();
  }
  return out;
}

}  // namespace

bool BotDecoder::next(Server& server) {
  while (pos_ < data_.size() && data_[pos_] != kBotRecordMark) ++pos_;
  if (pos_ >= data_.size()) return false;
  if (data_.size() - pos_ < kBotRecordSize) {
    truncated_ = true;
    pos_ = data_.size();
    return false;
  }
  const std::string_view r = data_.substr(pos_, kBotRecordSize);
  pos_ += kBotRecordSize;

  server = Server{};
  server.ip.clear();
  for (std::size_t i = 1; i <= 4; ++i) {
    if (i > 1) server.ip.push_back('.');
    appendDecimal(server.ip, at(r, i));
  }
  server.port.clear();
  appendDecimal(server.port, at(r, 5) | at(r, 6) << 8);
  // 0 and every value but 1 and 2 mean Normal.
  const std::uint8_t pref = at(r, 7);
  server.pref = pref == 1 ? "High" : pref == 2 ? "Low" : "Normal";
  server.users.clear();
  appendDecimal(server.users, at(r, 8) | at(r, 9) << 8);
  return true;
}

std::vector<Server> parseBot(std::string_view bytes, std::size_t maxRecords) {
  std::vector<Server> records;
  BotDecoder decoder(bytes);
  Server server;
  while (records.size() < maxRecords && decoder.next(server)) records.push_back(std::move(server));
  return records;
}

namespace {

// Merges a whole file's bytes by the merge rule, against the keys listed right now;
// false when they end inside a record or hold none.
bool mergeBot(ServerList& list, std::string_view data, const std::string& fileName,
              runtime::ProgressBar& bar, runtime::AppContext& ctx) {
  const std::size_t stated = data.size() / kBotRecordSize;
  bar.start(static_cast<int>(stated));
  bool truncated = false;
  {
    BatchScope batch(list, bar);
    ImportMerge merge(list, ctx);
    list.expectAppends(stated);
    merge.reserve(stated);
    BotDecoder decoder(data);
    Server server;
    while (decoder.next(server)) {
      merge.add(std::move(server));
      bar.stepIt();
      ctx.processPending();
    }
    truncated = decoder.truncated();
    merge.logBlocked();
  }
  // A file that ends inside a record is an import cut short: nothing is logged.
  if (!truncated)
    ctx.log.writeLog("Refreshed <" + std::to_string(stated) + "> servers from <" + fileName + ">");
  return !truncated && !data.empty();
}

}  // namespace

void mergeServersFromBotData(ServerList& list, std::string_view data, const std::string& fileName,
                             runtime::ProgressBar& bar, runtime::AppContext& ctx) {
  ctx.processPending();
  mergeBot(list, data, fileName, bar, ctx);
}

bool readServersFromBOT(ServerList& list, const std::string& fileName, runtime::ProgressBar& bar,
                        runtime::AppContext& ctx) {
  ctx.processPending();
  const std::optional<std::string> data =
      readImportSource(fileName, ListContent::Bot, list, &bar, ctx);
  return data && mergeBot(list, *data, fileName, bar, ctx);
}

bool encodeBotRecord(std::string& out, const Server& s) {
  std::uint8_t address[4];
  if (!parseAddressBytes(s.ip, address)) return false;
  std::int32_t port = 0, users = 0;
  if (s.port != kNA) {
    const auto v = platform::parseInt32(s.port);
    if (!v) return false;
    port = *v;
  }
  if (s.users != kNA) {
    const auto v = platform::parseInt32(s.users);
    if (!v) return false;
    users = *v;
  }
  // "Normal", "n/a" and any other text are written as 0.
  const char pref = s.pref == "High" ? 1 : s.pref == "Low" ? 2 : 0;
  const auto p = static_cast<std::uint32_t>(port), u = static_cast<std::uint32_t>(users);
  const char record[kBotRecordSize] = {kBotRecordMark,
                                       static_cast<char>(address[0]),
                                       static_cast<char>(address[1]),
                                       static_cast<char>(address[2]),
                                       static_cast<char>(address[3]),
                                       static_cast<char>(p & 0xFF),
                                       static_cast<char>((p >> 8) & 0xFF),
                                       pref,
                                       static_cast<char>(u & 0xFF),
                                       static_cast<char>((u >> 8) & 0xFF)};
  out.append(record, kBotRecordSize);
  return true;
}

std::optional<std::string> encodeBotFile(const ServerList& list) {
  return encodeChecked(list, {});
}

SaveFormat botSaveFormat() {
  SaveFormat format;
  format.errorText = kBotSaveErrorText;
  format.encode = [](const SaveRun& run) {
    run.bar.start(static_cast<int>(run.checked));
    return encodeChecked(run.list, [&run] { run.entryDone(); });
  };
  return format;
}

bool writeServersToBOT(const ServerList& list, const std::string& fileName,
                       runtime::ProgressBar& bar, runtime::AppContext& ctx) {
  return saveServers(list, fileName, bar, ctx, botSaveFormat()) == SaveResult::Saved;
}

}  // namespace ravelin::serverlist

#include "serverlist/met_file.h"

#include <algorithm>
#include <functional>

#include "runtime/settings.h"
#include "runtime/translate.h"
#include "serverlist/batch_scope.h"
#include "serverlist/merge.h"
#include "serverlist/met_tags.h"

namespace ravelin::serverlist {

namespace {

// Merges a whole file's bytes by the merge rule, against the keys listed right now.
ListReadProblem mergeMet(ServerList& list, std::string_view data, const std::string& fileName,
                         runtime::ProgressBar& bar, runtime::AppContext& ctx) {
  MetDecoder decoder(data);
  if (!decoder.headerOk()) {
    ctx.message(N_("Warning"), kMetDamagedText, runtime::MsgIcon::Error, runtime::MsgButtons::Ok);
    return {"<" + fileName + "> holds no server list: " +
            (data.empty() ? "the file is empty" : "it does not begin as a MET file")};
  }
  const std::uint32_t declared = decoder.declaredCount();
  std::uint32_t whole = 0;  // entries that the file holds to their last byte
  bar.start(static_cast<int>(declared));
  {
    BatchScope batch(list, bar);
    ImportMerge merge(list, ctx);
    // Every entry takes at least ten bytes, whatever the header says.
    const std::size_t expected = std::min<std::size_t>(declared, data.size() / 10);
    list.expectAppends(expected);
    merge.reserve(expected);
    MetRecord rec;
    while (decoder.next(rec)) {
      if (!rec.truncated && decoder.position() <= data.size()) ++whole;
      merge.add(std::move(rec.server), std::move(rec.extraTags), rec.extraTagCount);
      bar.stepIt();
      ctx.processPending();
    }
    merge.logBlocked();
  }
  // A file cut short (a download that broke off) names what it held, not what it promised.
  if (whole < declared && decoder.stop() != MetStop::MaxRecords &&
      decoder.stop() != MetStop::UnknownTagType) {
    ctx.log.writeLog("Refreshed <" + std::to_string(whole) + "> servers from <" + fileName + ">");
    ListReadProblem early{"<" + fileName + "> ends early: it states <" + std::to_string(declared) +
                              "> servers and holds <" + std::to_string(whole) + ">",
                          false, true};
    ctx.log.writeLog(early.text);
    return early;
  }
  ctx.log.writeLog("Refreshed <" + std::to_string(declared) + "> servers from <" + fileName + ">");
  return {};
}

// Encodes the checked entries, calling perEntry after each; nothing when one fails.
std::optional<std::string> encodeChecked(const ServerList& list, bool addressTags,
                                         const std::function<void()>& perEntry) {
  const std::size_t count = list.checkedCount();
  if (count > kMetMaxCount) return std::nullopt;
  std::string out;
  out.reserve(kMetHeaderSize + count * 64);
  encodeMetHeader(out, static_cast<std::uint32_t>(count));
  // By index: the user interface runs between entries.
  for (std::size_t row = 0; row < list.size(); ++row) {
    const ServerEntry& e = list[row];
    if (!e.checked) continue;
    if (!encodeMetEntry(out, e.server, e.extraTags, e.extraTagCount, addressTags))
      return std::nullopt;
    if (perEntry) perEntry();
  }
  return out;
}

}  // namespace

void mergeServersFromMetData(ServerList& list, std::string_view data, const std::string& fileName,
                             runtime::ProgressBar& bar, runtime::AppContext& ctx) {
  ctx.processPending();
  mergeMet(list, data, fileName, bar, ctx);
}

ListReadProblem readServersFromMet(ServerList& list, const std::string& fileName,
                                   runtime::ProgressBar& bar, runtime::AppContext& ctx) {
  ctx.processPending();
  ListReadProblem problem;
  const std::optional<std::string> data =
      readImportSource(fileName, ListContent::Met, list, &bar, ctx, &problem);
  if (!data) return problem;
  return mergeMet(list, *data, fileName, bar, ctx);
}

std::optional<std::string> encodeMetFile(const ServerList& list, bool addressTags) {
  return encodeChecked(list, addressTags, {});
}

SaveFormat metSaveFormat() {
  SaveFormat format;
  format.errorText = kMetSaveErrorText;
  format.encode = [](const SaveRun& run) {
    run.bar.start(static_cast<int>(std::min<std::size_t>(run.checked, kMetMaxCount)));
    return encodeChecked(run.list, run.ctx.settings.MetAddressTags, [&run] { run.entryDone(); });
  };
  return format;
}

bool writeServersToMet(const ServerList& list, const std::string& fileName,
                       runtime::ProgressBar& bar, runtime::AppContext& ctx) {
  return saveServers(list, fileName, bar, ctx, metSaveFormat()) == SaveResult::Saved;
}

SaveOutcome saveStandardServerMet(const ServerList& list, runtime::ProgressBar& bar,
                                  runtime::AppContext& ctx) {
  SaveRule rule;
  rule.needsChecked = true;
  rule.nothingCheckedText = kNothingToSaveText;
  rule.backupFile = runtime::clientFile(ctx.settings.EDPath, "server.met.UPD.BAK");
  rule.savesClientList = true;
  return saveServers(list, runtime::clientFile(ctx.settings.EDPath, "server.met"), bar, ctx,
                     metSaveFormat(), rule);
}

}  // namespace ravelin::serverlist

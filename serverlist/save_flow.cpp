#include "serverlist/save_flow.h"

#include "platform/file_io.h"
#include "runtime/translate.h"

namespace ravelin::serverlist {

namespace {

void showError(const runtime::AppContext& ctx, const char* text) {
  ctx.message(N_("Warning"), text, runtime::MsgIcon::Error, runtime::MsgButtons::Ok);
}

}  // namespace

std::string SaveOutcome::failureText(const std::string& text) const {
  return reason.empty() ? text : text + " (" + reason + ")";
}

SaveOutcome saveServers(const ServerList& list, const std::string& fileName,
                        runtime::ProgressBar& bar, runtime::AppContext& ctx,
                        const SaveFormat& format, const SaveRule& rule) {
  if (rule.needsChecked && list.checkedCount() == 0) {
    if (rule.nothingCheckedText) showError(ctx, rule.nothingCheckedText);
    return {SaveResult::Refused, {}};
  }
  if (!rule.backupFile.empty() && platform::fileExists(fileName)) {
    // The live file stays where it is until the new one replaces it, so the target never
    // goes missing; the backup holds the file as it was before this save.
    try {
      platform::makeBackup(fileName, rule.backupFile);
    } catch (const platform::FileError& e) {
      // Without a backup the old file is not replaced.
      if (rule.backupErrorsThrow || !format.errorText) throw;
      showError(ctx, format.errorText);
      return {SaveResult::Failed, e.reason()};
    }
  }

  ctx.processPending();
  const SaveRun run{list, fileName, list.checkedCount(), bar, ctx};
  std::optional<std::string> bytes;
  std::string reason;  // of a failed write
  try {
    bytes = format.encode(run);
    if (bytes) ctx.processPending();
  } catch (...) {
    // An abort from a pending event, or a failure the format does not report itself.
    bar.hide();
    throw;
  }
  if (bytes) {
    bar.hide();
    try {
      platform::writeFileAtomically(fileName, *bytes);
      if (rule.savesClientList) list.markSaved();
      ctx.log.writeLog("Saved <" + std::to_string(run.checked) + "> servers to <" + fileName + ">" +
                       format.logSuffix);
      return {SaveResult::Saved, {}};
    } catch (const platform::FileError& e) {
      if (!format.errorText) throw;
      reason = e.reason();
    }
  } else if (!format.errorText) {
    // A format that reports no box reports every failure as a file error.
    bar.hide();
    throw platform::FileError(fileName + ": the servers cannot be written in this format");
  }
  showError(ctx, format.errorText);
  ctx.processPending();
  bar.hide();
  return {SaveResult::Failed, reason};
}

}  // namespace ravelin::serverlist

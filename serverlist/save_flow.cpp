#include "serverlist/save_flow.h"

#include "platform/file_io.h"
#include "runtime/translate.h"

namespace ravelin::serverlist {

namespace {

void showError(const runtime::AppContext& ctx, const std::string& text) {
  ctx.message(N_("Warning"), text, runtime::MsgIcon::Error, runtime::MsgButtons::Ok);
}

// A failed save reaches the log whether or not a box is shown (a script shows none).
void logFailure(runtime::AppContext& ctx, size_t checked, const std::string& fileName,
                const std::string& reason) {
  ctx.log.writeLog("Saving <" + std::to_string(checked) + "> servers to <" + fileName + "> failed" +
                   (reason.empty() ? std::string() : ": " + reason));
}

}  // namespace

std::string saveFailureMessage(const char* errorText, const std::string& fileName,
                               const std::string& reason) {
  return std::string(_(errorText)) + "\r\n" + fileName + (reason.empty() ? "" : ": " + reason);
}

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
      logFailure(ctx, list.checkedCount(), fileName, e.reason());
      if (rule.backupErrorsThrow || !format.errorText) throw;
      showError(ctx, saveFailureMessage(format.errorText, fileName, e.reason()));
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
      logFailure(ctx, run.checked, fileName, e.reason());
      if (!format.errorText) throw;
      reason = e.reason();
    }
  } else if (!format.errorText) {
    // A format that reports no box reports every failure as a file error.
    bar.hide();
    logFailure(ctx, run.checked, fileName, {});
    throw platform::FileError(fileName + ": the servers cannot be written in this format");
  } else {
    logFailure(ctx, run.checked, fileName, {});
  }
  showError(ctx, saveFailureMessage(format.errorText, fileName, reason));
  ctx.processPending();
  bar.hide();
  return {SaveResult::Failed, reason};
}

}  // namespace ravelin::serverlist

#pragma once
// The one way the list's checked servers are saved to a file. The MET, BOT, TXT, HTML and
// template writers differ only in how they build the file's bytes and in how a failure
// reaches the user; the checks before the write, the backup, the atomic write, the bar and
// the log line are the same for all of them and are done here.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "runtime/app_context.h"
#include "runtime/progress_bar.h"
#include "serverlist/server_list.h"

namespace ravelin::serverlist {

// What an encoder works with: the list, the target's name, the number of checked entries
// when the save began (the number the log line names), and the bar and user interface it
// drives.
struct SaveRun {
  const ServerList& list;
  const std::string& fileName;
  size_t checked;
  runtime::ProgressBar& bar;
  runtime::AppContext& ctx;

  // One entry encoded: the bar advances and pending events run.
  void entryDone() const {
    bar.stepIt();
    ctx.processPending();
  }
};

// What one file format brings to a save.
struct SaveFormat {
  // The box of a failed save ("Warning", error icon, OK; none while a script runs), after
  // which the save reports SaveResult::Failed. A format without one lets its failures reach
  // the caller as platform::FileError.
  const char* errorText = nullptr;
  // Builds the whole file in memory: starts the bar, advances it entry by entry and lets
  // pending events run in between. Nothing when the file cannot be built.
  std::function<std::optional<std::string>(const SaveRun&)> encode;
  // Follows "Saved <N> servers to <file>" in the log line.
  std::string logSuffix;
};

// The rule of the saves whose target the user did not pick in a file dialog ("Save to
// standard server.met" and the script's save commands).
struct SaveRule {
  // Refuse the save when no entry is checked; the box shown then, if any.
  bool needsChecked = false;
  const char* nothingCheckedText = nullptr;
  // Where an existing target's contents are kept before it is replaced; "" for none.
  std::string backupFile;
  // A backup that cannot be made reaches the caller as platform::FileError; otherwise it
  // fails the save like a failed write, and the target is not replaced.
  bool backupErrorsThrow = false;
  // The target is the client's server.met: a save there is what the question on closing a
  // changed list offers, so the list counts as saved. Any other file is an export.
  bool savesClientList = false;
};

enum class SaveResult { Saved, Refused, Failed };

// How a save ended, with the operating system's reason for a failed one ("No such file or
// directory"; empty when the file could not be built, or the system gave none).
struct SaveOutcome {
  SaveResult result = SaveResult::Saved;
  std::string reason;

  bool operator==(SaveResult r) const { return result == r; }
  explicit operator bool() const { return result == SaveResult::Saved; }
  // The format's failure text followed by the reason in brackets, on one line.
  std::string failureText(const std::string& text) const;
};

// The box of a failed save, as every front end shows it: the format's failure text, then
// on a second line the file and the operating system's reason ("/srv/server.met:
// Permission denied"), both translated for the user.
std::string saveFailureMessage(const char* errorText, const std::string& fileName,
                               const std::string& reason);

// Saves the checked entries, in list order, to fileName: the rule's check and backup, then
// pending events run, the format encodes the file while the bar runs, pending events run
// once more, the bar is hidden and the file replaces the target in one step. Success logs
// "Saved <N> servers to <fileName>" and the format's suffix. After a failure the target is
// as it was, "Saving <N> servers to <fileName> failed: <reason>" is logged and the
// format's box (saveFailureMessage) is shown (then pending events run and the bar is
// hidden again); the outcome carries the reason. The bar is hidden on every way
// out of a started save, also when a pending event throws.
SaveOutcome saveServers(const ServerList& list, const std::string& fileName,
                        runtime::ProgressBar& bar, runtime::AppContext& ctx,
                        const SaveFormat& format, const SaveRule& rule = {});

}  // namespace ravelin::serverlist

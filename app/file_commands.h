#pragma once
// The main window's file commands as far as they decide something without a window: the
// checks before a save, the fallback of "Refresh standard server.met" and the extension
// rule of the save dialogs. The windows bring the file dialogs.
#include <functional>
#include <optional>
#include <string>

#include "runtime/app_context.h"
#include "runtime/progress_bar.h"
#include "runtime/translate.h"
#include "serverlist/server_list.h"

namespace ravelin::app {

inline constexpr const char* kSaveChangedListQuestion =
    N_("The server list has changed since it was loaded or saved.\r\nSave it to the client's "
       "server.met?");
// The source named in the log when server links come from the clipboard.
inline constexpr const char* kClipboardSource = "clipboard";

inline constexpr const char* kServerMetMissingText =
    N_("\"server.met\" cannot be found at this directory!\r\nChoose the file manually?");

// The check before every save: true when the list holds at least one checked server;
// otherwise the "There isn't any server to save to file!" box (unless a script runs) and
// false.
bool haveServersToSave(const serverlist::ServerList& list, runtime::AppContext& ctx);

// "Refresh standard server.met": reads the client's server.met when it exists. Otherwise,
// unless a script runs, asks whether to choose the file manually and on Yes reads the
// file that chooseFile returns (nothing: the dialog was cancelled). Says whether a file
// was read, and whether it was damaged or unreadable.
enum class RefreshResult { NoFile, Read, Damaged };
RefreshResult refreshStandardServerMet(
    serverlist::ServerList& list, runtime::ProgressBar& bar, runtime::AppContext& ctx,
    const std::function<std::optional<std::string>()>& chooseFile);

// The name that a save dialog writes to: a name without extension gets the extension of
// the chosen filter (".met", ".html", ...); a name with one, or a filter without one
// ("Any file"), leaves it as chosen. Only the last path component counts ("dir.v2/list"
// has no extension), and a leading dot names a hidden file, not an extension. This is
// also the extension rule of "Save to Template".
std::string savedFileName(const std::string& chosen, const std::string& filterExtension);

}  // namespace ravelin::app

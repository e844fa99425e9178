#pragma once
// The main window's file commands as far as they decide something without a window: the
// checks before a save, the fallback of "Refresh standard server.met" and the extension
// rule of "Save to Template". The windows bring the file dialogs.
#include <functional>
#include <optional>
#include <string>

#include "runtime/app_context.h"
#include "runtime/progress_bar.h"
#include "serverlist/server_list.h"

namespace ravelin::app {

inline constexpr const char* kSaveChangedListQuestion =
    "The server list has changed since it was loaded or saved.\r\nSave it to the client's "
    "server.met?";
// The source named in the log when server links come from the clipboard.
inline constexpr const char* kClipboardSource = "clipboard";

inline constexpr const char* kServerMetMissingText =
    "\"server.met\" cannot be found at this directory!\r\nChoose the file manually?";

// The check before every save: true when the list holds at least one checked server;
// otherwise the "There isn't any server to save to file!" box (unless a script runs) and
// false.
bool haveServersToSave(const serverlist::ServerList& list, runtime::AppContext& ctx);

// "Refresh standard server.met": reads the client's server.met when it exists. Otherwise,
// unless a script runs, asks whether to choose the file manually and on Yes reads the
// file that chooseFile returns (nothing: the dialog was cancelled). Returns whether a file
// was read.
bool refreshStandardServerMet(serverlist::ServerList& list, runtime::ProgressBar& bar,
                              runtime::AppContext& ctx,
                              const std::function<std::optional<std::string>()>& chooseFile);

// The filters of the template output dialog, in their order.
enum class TemplateOutputFilter { Html = 0, Txt = 1, AnyFile = 2 };

// The output name of "Save to Template": a name without extension gets ".html" under the
// HTML filter and ".txt" under the TXT filter; any other name stays as chosen. Only the
// last path component counts ("dir.v2/list" has no extension).
std::string templateOutputName(const std::string& chosen, TemplateOutputFilter filter);

}  // namespace ravelin::app

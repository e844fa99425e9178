#pragma once
#include "runtime/app_context.h"
#include "runtime/progress_bar.h"
#include "serverlist/server_list.h"
#include "update/update_view.h"

namespace ravelin::update {

// Which entries of the URL list an update uses.
enum class UpdateKind {
  All,   // "Update from all sources"
  HTML,  // "Update only from HTML URLs"          (entries marked "HTM|")
  MET,   // "Update only from MET-File URLs"      (entries marked "MET|")
  BOT,   // "Update only from BOT-File URLs"      (entries marked "BOT|")
  DNS,   // "Update only from local DNS-File"     (entries marked "DNS|")
};

// The marker of a kind ("HTM|", "MET|", "BOT|", "DNS|"; empty for All).
const char* updateKindMarker(UpdateKind kind);

// The update commands, as the menus and the script executor run them, on the
// user-interface thread: clears operationDone, disables the main window, shows the update
// window and runs the update in it, waits in pauseFunc(1000) steps until operationDone is
// set, then clears it, enables the main window and closes the update window (also when
// anything fails on the way). The narrowed kinds run with only the entries of their
// marker (compared exactly) and put the full URL list back afterwards, in its order, on
// every way out. loadSaveBar is the main window's progress bar. tlsCaFile names extra
// trust anchors for https downloads (empty: the system's trust store).
void runUpdate(serverlist::ServerList& list, runtime::AppContext& ctx, UpdateView& view,
               UpdateKind kind, runtime::ProgressBar& loadSaveBar,
               const std::string& tlsCaFile = {});

}  // namespace ravelin::update

#pragma once
#include "runtime/app_context.h"
#include "runtime/progress_bar.h"
#include "serverlist/server_list.h"
#include "update/update_coordinator.h"
#include "update/update_view.h"

namespace ravelin::update {

// Which entries of the URL list an update uses.
enum class UpdateKind {
  All,   // "Update from all sources"
  HTML,  // "Update only from HTML URLs"
  MET,   // "Update only from MET-File URLs"
  BOT,   // "Update only from BOT-File URLs"
  DNS,   // "Update only from local DNS-File"
};

// The update commands, as the menus and the script executor run them, on the
// user-interface thread: the update runs in its window inside the wait frame
// (runtime::runInWaitFrame). The narrowed kinds run with only the sources of their kind
// and put the full URL list back afterwards, in its order, on every way out. loadSaveBar is the
// main window's progress bar. tlsCaFile names extra trust anchors for https downloads (empty: the
// system's trust store). Returns how the run ended.
UpdateOutcome runUpdate(serverlist::ServerList& list, runtime::AppContext& ctx, UpdateView& view,
                        UpdateKind kind, runtime::ProgressBar& loadSaveBar,
                        const std::string& tlsCaFile = {});

}  // namespace ravelin::update

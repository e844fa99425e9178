#pragma once
#include <string>

#include "runtime/app_context.h"
#include "runtime/progress_bar.h"
#include "serverlist/save_flow.h"
#include "serverlist/server_list.h"

namespace ravelin::serverlist {

// The checked servers as a tab-separated text table (CR LF line breaks), and as a fixed
// HTML page with one ed2k server link per server that ReadServersFromHTML reads back. The
// page's title line links "Ravelin" to the project's web address only when the build
// names one (CMake cache variable RAVELIN_HOMEPAGE); otherwise the name stands alone.
// The whole file is built in memory and then replaces the target in one step, so a failure
// never leaves a half-written file. Failures throw platform::FileError and log nothing;
// success logs "Saved <C> servers to <fileName>". The bar runs from 0 to C, one step per
// server, and is hidden at the end.
bool writeServersToTXT(const ServerList& list, const std::string& fileName,
                       runtime::ProgressBar& bar, runtime::AppContext& ctx);
bool writeServersToHTML(const ServerList& list, const std::string& fileName,
                        runtime::ProgressBar& bar, runtime::AppContext& ctx);

// The two formats of the save flow; they show no box, their failures throw.
SaveFormat txtSaveFormat();
SaveFormat htmlSaveFormat();

}  // namespace ravelin::serverlist

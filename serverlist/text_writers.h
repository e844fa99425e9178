#pragma once
#include <string>

#include "runtime/app_context.h"
#include "runtime/progress_bar.h"
#include "serverlist/save_flow.h"
#include "serverlist/server_list.h"

namespace ravelin::serverlist {

// The product web site that the HTML page links to. A build setting: define
// RAVELIN_WEB_SITE to change it.
#ifndef RAVELIN_WEB_SITE
#define RAVELIN_WEB_SITE "https://ravelin.sourceforge.io/"
#endif
inline constexpr const char* kProductWebSite = RAVELIN_WEB_SITE;

// The checked servers as a tab-separated text table (CR LF line breaks), and as a fixed
// HTML page with one ed2k server link per server that ReadServersFromHTML reads back.
// The whole file is built in memory and then replaces the target in one step, so a failure
// never leaves a half-written file. Failures throw platform::FileError and log nothing;
// success logs "Saved <C> servers to <fileName>". The bar runs from 0 to C, one step per
// server, and is hidden at the end.
void writeServersToTXT(const ServerList& list, const std::string& fileName,
                       runtime::ProgressBar& bar, runtime::AppContext& ctx);
void writeServersToHTML(const ServerList& list, const std::string& fileName,
                        runtime::ProgressBar& bar, runtime::AppContext& ctx);

// The two formats of the save flow; they show no box, their failures throw.
SaveFormat txtSaveFormat();
SaveFormat htmlSaveFormat();

}  // namespace ravelin::serverlist

#pragma once
// Reading and writing server.met files ("MET-File"): the client's own server list and
// any other file of that layout (met_tags.h).
#include <optional>
#include <string>
#include <string_view>

#include "runtime/app_context.h"
#include "runtime/progress_bar.h"
#include "runtime/translate.h"
#include "serverlist/list_read_problem.h"
#include "serverlist/save_flow.h"
#include "serverlist/server_list.h"

namespace ravelin::serverlist {

// The message box of a file that does not start with a MET header byte.
inline constexpr const char* kMetDamagedText =
    N_("The \"server.met\" seems to be damaged!\r\nTry to get a new one!");
inline constexpr const char* kMetSaveErrorText = N_("Error saving MET-File! Maybe data corrupted!");
inline constexpr const char* kNothingToSaveText =
    N_("There isn't any server to save to file!\r\nPlease update the server list or check the "
       "servers!");

// Merges the servers of the file into the list (ImportMerge), unpacked first when it
// comes packed (readImportSource), showing progress on bar, and logs "Refreshed <N>
// servers from <file>" with the count the file states. A file that ends before its last
// entry logs the number of entries it holds whole instead, and a second line that says it
// ends early. A file that cannot be read, or holds no list, changes nothing and logs
// nothing; one with a wrong header byte shows the damaged-file box (unless a script
// runs). The result says what went wrong, for callers that report it.
ListReadProblem readServersFromMet(ServerList& list, const std::string& fileName,
                                   runtime::ProgressBar& bar, runtime::AppContext& ctx);

// ReadServersFromMet on a file already in memory; fileName only names it in the log.
void mergeServersFromMetData(ServerList& list, std::string_view data, const std::string& fileName,
                             runtime::ProgressBar& bar, runtime::AppContext& ctx);

// Writes every checked entry, in list order, to the file, replacing it atomically, and
// logs "Saved <C> servers to <file>". After a failure the old file is untouched, the
// "Error saving MET-File!" box is shown (unless a script runs) and the result is false.
// The address and port tags are written when ctx.settings.MetAddressTags is set.
bool writeServersToMet(const ServerList& list, const std::string& fileName,
                       runtime::ProgressBar& bar, runtime::AppContext& ctx);

// The MET format of the save flow: the "Error saving MET-File!" box on failure, the bar
// running to the number of checked entries (at most kMetMaxCount).
SaveFormat metSaveFormat();

// "Save to standard server.met": refuses (with the nothing-to-save box) when no entry is
// checked; otherwise makes server.met.UPD.BAK a copy of the client's server.met, if there
// is one, without moving it away, and then writes the checked entries to server.met.
// Whatever fails, server.met is either the old file or the complete new one.
SaveOutcome saveStandardServerMet(const ServerList& list, runtime::ProgressBar& bar,
                                  runtime::AppContext& ctx);

// The bytes WriteServersToMet would write for the list, or nothing when an entry cannot
// be written (a field that is not a number, too many entries).
std::optional<std::string> encodeMetFile(const ServerList& list, bool addressTags);

}  // namespace ravelin::serverlist

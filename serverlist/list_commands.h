#pragma once
#include <array>
#include <string>
#include <vector>

#include "runtime/app_context.h"
#include "runtime/translate.h"
#include "serverlist/server_list.h"

namespace ravelin::serverlist {

// Check all, uncheck all, invert the check marks: every check mark in list order, in one BatchScope, then
// the log line of the command.
void checkAllServers(ServerList& list, runtime::AppContext& ctx);
void uncheckAllServers(ServerList& list, runtime::AppContext& ctx);
void invertCheckMarks(ServerList& list, runtime::AppContext& ctx);

// Asks "Do you really want to delete this server ?" (the server's IP:port on a second
// line) and removes the selected row on Yes.
// Recounts either way. Without a selected row nothing happens. While a script runs
// nothing is asked and the row is removed. Returns whether a row was removed.
bool deleteServer(ServerList& list, runtime::AppContext& ctx);
// Delete for the highlighted rows (ascending, within the list): one row as deleteServer;
// several with one question, "Do you really want to delete these <n> servers ?", and the
// log line "Deleted <n> servers". Returns whether rows were removed.
bool deleteServers(ServerList& list, const std::vector<size_t>& rows, runtime::AppContext& ctx);

// Sets the check mark of the given rows, in one BatchScope. Logs nothing.
void setChecked(ServerList& list, const std::vector<size_t>& rows, bool checked);

// Asks "Do you really want to clear the whole list?" with statusCounting cleared and
// removes all rows on Yes; then recounts, which leaves the short status text, and sets
// statusCounting again. While a script runs nothing is asked and the list is cleared.
// Returns whether the list was cleared.
bool clearServerList(ServerList& list, runtime::AppContext& ctx);

// Sets Pref of every checked row, in one BatchScope. Logs nothing.
void setPreferenceOfChecked(ServerList& list, const std::string& pref);

// The list's popup menu, items in menu order.
enum PopupItem : int {
  piEditServer = 0,
  piDeleteServer,
  piAddServer,
  piCheckAll,
  piUncheckAll,
  piCheckSelected,
  piUncheckSelected,
  piInvert,
  piFilter,
  piClearList
};
inline constexpr int kPopupItemCount = 10;
inline constexpr std::array<const char*, kPopupItemCount> kPopupItemCaptions = {
    N_("Edit server..."),
    N_("Delete server"),
    N_("Add server..."),
    N_("Check all servers"),
    N_("Uncheck all servers"),
    N_("Check selected servers"),
    N_("Uncheck selected servers"),
    N_("Invert selection"),
    N_("Filter servers..."),
    N_("Clear list")};
// "Edit server..." is the default item.
inline constexpr int kPopupDefaultItem = piEditServer;

// Which items are enabled when the menu opens: all but "Add server..." and "Clear list"
// need a selected row; those two are always enabled.
std::array<bool, kPopupItemCount> popupItemsEnabled(const ServerList& list);

// The Delete key runs Delete and a double click runs Edit, both only when a row is
// selected. Which key is the Delete key is the front end's business.
bool deleteKeyRunsDelete(const ServerList& list);
bool doubleClickRunsEdit(const ServerList& list);

}  // namespace ravelin::serverlist

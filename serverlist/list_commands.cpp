#include "serverlist/list_commands.h"

#include "runtime/translate.h"
#include "serverlist/batch_scope.h"

namespace ravelin::serverlist {

namespace {
template <typename Mark>
void setAllMarks(ServerList& list, Mark mark) {
  BatchScope batch(list);
  for (size_t row = 0; row < list.size(); ++row) list.setChecked(row, mark(list[row].checked));
}
}  // namespace

void checkAllServers(ServerList& list, runtime::AppContext& ctx) {
  setAllMarks(list, [](bool) { return true; });
  ctx.log.writeLog("Server selection completely checked");
}

void uncheckAllServers(ServerList& list, runtime::AppContext& ctx) {
  setAllMarks(list, [](bool) { return false; });
  ctx.log.writeLog("Server selection completely unchecked");
}

void invertCheckMarks(ServerList& list, runtime::AppContext& ctx) {
  setAllMarks(list, [](bool checked) { return !checked; });
  ctx.log.writeLog("Server selection inverted");
}

bool deleteServer(ServerList& list, runtime::AppContext& ctx) {
  const auto row = list.selected();
  return row && deleteServers(list, {*row}, ctx);
}

bool deleteServers(ServerList& list, const std::vector<size_t>& rows, runtime::AppContext& ctx) {
  if (rows.empty() || rows.back() >= list.size()) return false;
  // One server is named on a second line, so that the answer is given about the right one.
  const Server& first = list[rows.front()].server;
  const std::string question =
      rows.size() == 1 ? runtime::fillIn(_("Do you really want to delete this server ?\r\n%s"),
                                         {first.ip + ":" + first.port})
                       : runtime::fillIn(_("Do you really want to delete these %s servers ?"),
                                         {std::to_string(rows.size())});
  const runtime::MsgResult answer =
      ctx.message(N_("Warning"), question, runtime::MsgIcon::Exclamation,
                  runtime::MsgButtons::YesNo, runtime::MsgResult::Yes);
  if (answer != runtime::MsgResult::Yes) {
    list.recount();
    return false;
  }
  rows.size() == 1 ? list.remove(rows.front()) : list.removeRows(rows);
  list.recount();
  ctx.log.writeLog(rows.size() == 1 ? std::string("Server deleted")
                                    : "Deleted <" + std::to_string(rows.size()) + "> servers");
  return true;
}

void setChecked(ServerList& list, const std::vector<size_t>& rows, bool checked) {
  BatchScope batch(list);
  for (size_t row : rows)
    if (row < list.size()) list.setChecked(row, checked);
}

bool clearServerList(ServerList& list, runtime::AppContext& ctx) {
  BatchScope batch(list);
  const runtime::MsgResult answer = ctx.message(
      N_("Warning"), N_("Do you really want to clear the whole list?"),
      runtime::MsgIcon::Exclamation, runtime::MsgButtons::YesNo, runtime::MsgResult::Yes);
  const bool cleared = answer == runtime::MsgResult::Yes;
  if (cleared) {
    list.clear();
    ctx.log.writeLog("Serverlist completely cleared");
  }
  // Recounted while counting is still off: the short form stays until the next change of
  // the list.
  batch.endWithShortStatus();
  return cleared;
}

void setPreferenceOfChecked(ServerList& list, const std::string& pref) {
  BatchScope batch(list);
  for (size_t row = 0; row < list.size(); ++row) {
    if (list[row].checked) list.setField(row, fPref, pref);
  }
}

std::array<bool, kPopupItemCount> popupItemsEnabled(const ServerList& list) {
  const bool selected = list.selected().has_value();
  std::array<bool, kPopupItemCount> enabled{};
  enabled.fill(selected);
  enabled[piAddServer] = true;
  enabled[piClearList] = true;
  return enabled;
}

bool deleteKeyRunsDelete(const ServerList& list) {
  return list.selected().has_value();
}

bool doubleClickRunsEdit(const ServerList& list) {
  return list.selected().has_value();
}

}  // namespace ravelin::serverlist

#include "serverlist/list_commands.h"

namespace {
template <typename Mark>
void setAllMarks(ServerList& list, Mark mark) {
  BulkChange(list, [&] {
    for (size_t row = 0; row < list.size(); ++row) list.setChecked(row, mark(list[row].checked));
  });
}
}  // namespace

void CheckAllServers(ServerList& list, AppContext& ctx) {
  setAllMarks(list, [](bool) { return true; });
  ctx.log.WriteLog("Server selection completely checked");
}

void UncheckAllServers(ServerList& list, AppContext& ctx) {
  setAllMarks(list, [](bool) { return false; });
  ctx.log.WriteLog("Server selection completely unchecked");
}

void InvertSelection(ServerList& list, AppContext& ctx) {
  setAllMarks(list, [](bool checked) { return !checked; });
  ctx.log.WriteLog("Server selection inverted");
}

bool DeleteServer(ServerList& list, AppContext& ctx) {
  const auto row = list.selected();
  if (!row) return false;
  const MsgResult answer = ctx.message("Warning", "Do you really want to delete this server ?",
                                       MsgIcon::Exclamation, MsgButtons::YesNo, MsgResult::Yes);
  if (answer != MsgResult::Yes) {
    list.recount();
    return false;
  }
  list.remove(*row);
  list.recount();
  ctx.log.WriteLog("Server deleted");
  return true;
}

bool ClearServerList(ServerList& list, AppContext& ctx) {
  list.StatusCounting = false;
  bool cleared = false;
  try {
    const MsgResult answer = ctx.message("Warning", "Do you really want to clear the whole list?",
                                         MsgIcon::Exclamation, MsgButtons::YesNo, MsgResult::Yes);
    if (answer == MsgResult::Yes) {
      list.clear();
      cleared = true;
      ctx.log.WriteLog("Serverlist completely cleared");
    }
  } catch (...) {
    list.StatusCounting = true;
    throw;
  }
  // Recounted while StatusCounting is still cleared: the short form stays until the next
  // change of the list.
  list.recount();
  list.StatusCounting = true;
  return cleared;
}

void SetPreferenceOfChecked(ServerList& list, const std::string& pref) {
  BulkChange(list, [&] {
    for (size_t row = 0; row < list.size(); ++row) {
      if (list[row].checked) list.setField(row, fPref, pref);
    }
  });
}

std::array<bool, kPopupItemCount> PopupItemsEnabled(const ServerList& list) {
  const bool selected = list.selected().has_value();
  std::array<bool, kPopupItemCount> enabled{};
  enabled.fill(selected);
  enabled[piAddServer] = true;
  enabled[piClearList] = true;
  return enabled;
}

bool DeleteKeyRunsDelete(const ServerList& list, int keyCode) {
  return keyCode == kDeleteKeyCode && list.selected().has_value();
}

bool DoubleClickRunsEdit(const ServerList& list) {
  return list.selected().has_value();
}

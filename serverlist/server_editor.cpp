#include "serverlist/server_editor.h"

#include "platform/text.h"
#include "runtime/translate.h"
#include "serverlist/ip_port.h"
#include "serverlist/server_sort.h"

namespace ravelin::serverlist {

int prefItemIndex(const std::string& pref) {
  for (size_t i = 0; i < kPrefItems.size(); ++i) {
    if (pref == kPrefItems[i]) return static_cast<int>(i);
  }
  return -1;
}

EditorOpening openEditorForAdd() {
  return {N_("Ravelin: Add server"), N_("Insert IP and Port to add a server:"), EditorValues{}};
}

EditorOpening openEditorForEdit(const Server& s) {
  return {N_("Ravelin: Edit server"), N_("Edit IP and Port of the server:"),
          EditorValues{s.ip, s.port, s.name, s.desc, s.ping, s.users, s.files, s.hist, s.pref}};
}

bool editorBoxAcceptsKey(EditorBox box, char key) {
  constexpr char kBackspace = 8;
  const bool digit = key >= '0' && key <= '9';
  switch (box) {
    case EditorBox::Name:
    case EditorBox::Desc:
      return true;
    case EditorBox::IP:
      return digit || key == '.' || key == kBackspace;
    default:
      return digit || key == kBackspace;
  }
}

bool isValidEditorPort(const std::string& port) {
  const auto v = platform::parseInt32(port);
  return v && *v >= 1 && *v <= kMaxServerPort;
}

namespace {
std::string orNA(const std::string& text) {
  return text.empty() ? std::string(kNA) : text;
}

void warn(runtime::AppContext& ctx, const char* text) {
  ctx.message(N_("Warning"), text, runtime::MsgIcon::Error, runtime::MsgButtons::Ok);
}
}  // namespace

EditorResult editorOk(ServerList& list, EditorMode mode, const EditorValues& v,
                      runtime::AppContext& ctx) {
  if (mode == EditorMode::Edit && !list.selected()) return {EditorOutcome::NoRow};
  if (!isValidIP(v.ip)) {
    warn(ctx, N_("The IP is not valid!"));
    return {EditorOutcome::InvalidIP};
  }
  if (!isValidEditorPort(v.port)) {
    warn(ctx, N_("The Port is not valid!"));
    return {EditorOutcome::InvalidPort};
  }
  Server s;
  s.ip = v.ip;
  s.port = v.port;
  s.name = orNA(v.name);
  s.desc = orNA(v.desc);
  s.ping = orNA(v.ping);
  s.users = orNA(v.users);
  s.files = orNA(v.files);
  s.hist = orNA(v.hist);
  const bool prefIsItem = prefItemIndex(v.pref) >= 0;
  const std::string logKey = "Server <" + v.ip + ":" + v.port + "> ";

  if (mode == EditorMode::Add) {
    for (const ServerEntry& e : list.entries()) {
      if (e.server.ip == v.ip && e.server.port == v.port) {
        warn(ctx, N_("A server with this IP and this Port already exists!"));
        return {EditorOutcome::Duplicate};
      }
    }
    s.pref = prefIsItem ? v.pref : std::string("Normal");
    list.append(ServerEntry{std::move(s), true, {}, 0});
    keepSortOrder(list);
    ctx.log.writeLog(logKey + "added");
    return {EditorOutcome::Saved};
  }

  const size_t row = *list.selected();
  s.pref = prefIsItem ? v.pref : list[row].server.pref;
  list.setServer(row, s);
  keepSortOrder(list);
  ctx.log.writeLog(logKey + "edited");
  return {EditorOutcome::Saved};
}

}  // namespace ravelin::serverlist

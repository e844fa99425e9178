#include "serverlist/server_editor.h"

#include "platform/text.h"
#include "serverlist/ip_port.h"

int prefItemIndex(const std::string& pref) {
  for (size_t i = 0; i < kPrefItems.size(); ++i) {
    if (pref == kPrefItems[i]) return static_cast<int>(i);
  }
  return -1;
}

EditorOpening openEditorForAdd() {
  return {"Ravelin: Add server", "Insert IP and Port to add a server:", EditorValues{}};
}

EditorOpening openEditorForEdit(const Server& s) {
  return {"Ravelin: Edit server", "Edit IP and Port of the server:",
          EditorValues{s.IP, s.Port, s.Name, s.Desc, s.Ping, s.Users, s.Files, s.Hist, s.Pref}};
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
  return v && *v >= 1 && *v <= 40000;
}

namespace {
std::string orNA(const std::string& text) {
  return text.empty() ? std::string(kNA) : text;
}

void warn(AppContext& ctx, const char* text) {
  ctx.message("Warning", text, MsgIcon::Error, MsgButtons::Ok);
}
}  // namespace

EditorResult editorOk(ServerList& list, EditorMode mode, const EditorValues& v, AppContext& ctx) {
  if (mode == EditorMode::Edit && !list.selected()) return {EditorOutcome::NoRow};
  if (!isValidIP(v.IP)) {
    warn(ctx, "The IP is not valid!");
    return {EditorOutcome::InvalidIP};
  }
  if (!isValidEditorPort(v.Port)) {
    warn(ctx, "The Port is not valid!");
    return {EditorOutcome::InvalidPort};
  }
  Server s;
  s.IP = v.IP;
  s.Port = v.Port;
  s.Name = orNA(v.Name);
  s.Desc = orNA(v.Desc);
  s.Ping = orNA(v.Ping);
  s.Users = orNA(v.Users);
  s.Files = orNA(v.Files);
  s.Hist = orNA(v.Hist);
  const bool prefIsItem = prefItemIndex(v.Pref) >= 0;
  const std::string logKey = "Server <" + v.IP + ":" + v.Port + "> ";

  if (mode == EditorMode::Add) {
    for (const ServerEntry& e : list.entries()) {
      if (e.server.IP == v.IP && e.server.Port == v.Port) {
        warn(ctx, "A server with this IP and this Port already exists!");
        return {EditorOutcome::Duplicate};
      }
    }
    s.Pref = prefIsItem ? v.Pref : std::string("Normal");
    list.append(ServerEntry{std::move(s), true, {}, 0});
    ctx.log.writeLog(logKey + "added");
    return {EditorOutcome::Saved};
  }

  const size_t row = *list.selected();
  s.Pref = prefIsItem ? v.Pref : list[row].server.Pref;
  list.setServer(row, s);
  ctx.log.writeLog(logKey + "edited");
  return {EditorOutcome::Saved};
}

#include "serverlist/server_links.h"

#include "platform/file_io.h"
#include "serverlist/batch_scope.h"
#include "serverlist/merge.h"

namespace ravelin::serverlist {

std::vector<std::pair<std::string, std::string>> scanServerLinks(std::string_view text) {
  std::vector<std::pair<std::string, std::string>> links;
  forEachServerLink(text, [&links](std::string_view ip, std::string_view port) {
    links.emplace_back(std::string(ip), std::string(port));
  });
  return links;
}

void readServersFromHTML(ServerList& list, const std::string& fileName, runtime::AppContext& ctx) {
  ctx.processPending();
  // Unreadable: the failure goes to the caller before anything has changed.
  const std::optional<std::string> bytes =
      unpackImportSource(platform::readWholeFile(fileName), ListContent::Links, fileName, ctx);
  if (!bytes) return;
  readServersFromLinks(list, *bytes, fileName, ctx);
}

size_t readServersFromLinks(ServerList& list, std::string_view text, const std::string& source,
                            runtime::AppContext& ctx) {
  if (const auto nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
  size_t added = 0;
  {
    // The frame of an import without a bar: the batch is opened first so that it ends last,
    // after repainting has resumed, as the import frame with a bar ends. When a pending
    // event throws, the servers appended so far stay, the list is back to normal and
    // nothing is logged.
    BatchScope batch(list);
    RepaintSuspension repaint(list);
    ImportMerge merge(list, ctx);
    forEachServerLink(text, [&](std::string_view ip, std::string_view port) {
      ctx.processPending();
      Server record;
      record.ip = ip;
      record.port = port;
      if (merge.add(std::move(record))) ++added;
    });
    merge.logBlocked();
  }
  ctx.log.writeLog("Refreshed <" + std::to_string(added) + "> servers from <" + source + ">");
  return added;
}

std::string serverLinkLines(const ServerList& list, const std::vector<size_t>& rows) {
  std::string lines;
  for (size_t row : rows) {
    if (row >= list.size()) continue;
    const Server& s = list[row].server;
    lines += "ed2k://|server|" + s.ip + "|" + s.port + "|/\n";
  }
  return lines;
}

}  // namespace ravelin::serverlist

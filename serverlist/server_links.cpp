#include "serverlist/server_links.h"

#include "platform/file_io.h"
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
  KeySet keys(list);
  const std::string bytes = platform::readWholeFile(fileName);
  std::string_view text(bytes);
  if (const auto nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);

  list.beginUpdate();
  list.statusCounting = false;
  const auto finish = [&list] {
    list.endUpdate();
    list.statusCounting = true;
    list.recount();
  };
  size_t added = 0;
  try {
    forEachServerLink(text, [&](std::string_view ip, std::string_view port) {
      ctx.processPending();
      Server record;
      record.ip = ip;
      record.port = port;
      if (mergeServer(list, keys, std::move(record))) ++added;
    });
  } catch (...) {
    // The servers appended so far stay; the list is back to normal, nothing is logged.
    finish();
    throw;
  }
  finish();
  ctx.log.writeLog("Refreshed <" + std::to_string(added) + "> servers from <" + fileName + ">");
}

}  // namespace ravelin::serverlist

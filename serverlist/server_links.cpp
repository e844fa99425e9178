#include "serverlist/server_links.h"

#include "platform/file_io.h"
#include "serverlist/merge.h"

std::vector<std::pair<std::string, std::string>> ScanServerLinks(std::string_view text) {
  std::vector<std::pair<std::string, std::string>> links;
  ForEachServerLink(text, [&links](std::string_view ip, std::string_view port) {
    links.emplace_back(std::string(ip), std::string(port));
  });
  return links;
}

void ReadServersFromHTML(ServerList& list, const std::string& fileName, AppContext& ctx) {
  ctx.processPending();
  KeySet keys(list);
  const std::string bytes = platform::ReadWholeFile(fileName);
  std::string_view text(bytes);
  if (const auto nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);

  list.beginUpdate();
  list.StatusCounting = false;
  const auto finish = [&list] {
    list.endUpdate();
    list.StatusCounting = true;
    list.recount();
  };
  size_t added = 0;
  try {
    ForEachServerLink(text, [&](std::string_view ip, std::string_view port) {
      ctx.processPending();
      TServer record;
      record.IP = ip;
      record.Port = port;
      if (MergeServer(list, keys, std::move(record))) ++added;
    });
  } catch (...) {
    // The servers appended so far stay; the list is back to normal, nothing is logged.
    finish();
    throw;
  }
  finish();
  ctx.log.WriteLog("Refreshed <" + std::to_string(added) + "> servers from <" + fileName + ">");
}

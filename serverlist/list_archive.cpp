#include "serverlist/list_archive.h"

#include <optional>

#include "serverlist/tar_reader.h"
#include "serverlist/zip_reader.h"

namespace ravelin::serverlist {

namespace {

// Enough of a member to tell whether it can fit (fitsContent looks at no more).
constexpr std::size_t kProbe = 4096;

const char* contentName(ListContent content) {
  switch (content) {
    case ListContent::Met:
      return "MET list";
    case ListContent::Bot:
      return "BOT list";
    case ListContent::Links:
      return "page with server links";
    case ListContent::Text:
      break;
  }
  return "text list";
}

bool isZip(std::string_view b) {
  return b.size() >= 2 && b[0] == 'P' && b[1] == 'K';
}

}  // namespace

UnpackedList listFromArchive(std::string_view bytes, ListContent content, std::uint64_t maxBytes) {
  std::uint64_t expanded = 0;
  std::optional<UnpackedList> found;
  const auto take = [&](ArchiveMember& member) {
    std::string data;
    bool judged = false;
    for (std::size_t before = 0; member.readPiece(data); before = data.size()) {
      const std::uint64_t got = data.size() - before;
      if (got > maxBytes - expanded) throw tooLargeError(maxBytes);
      expanded += got;
      // The start tells most kinds apart; no need to expand the rest of a member that
      // does not fit.
      if (!judged && data.size() >= kProbe) {
        judged = true;
        if (!fitsContent(data, content == ListContent::Links ? ListContent::Text : content))
          return false;
      }
    }
    if (!fitsContent(data, content)) return false;
    found = UnpackedList{std::move(data), member.name()};
    return true;
  };
  if (isZip(bytes))
    readZipMembers(bytes, take);
  else
    readTarMembers(bytes, take);
  if (!found)
    throw ListUnpackError(std::string("the archive holds no ") + contentName(content), false);
  return std::move(*found);
}

}  // namespace ravelin::serverlist

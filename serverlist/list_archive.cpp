#include "serverlist/list_archive.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>

namespace ravelin::serverlist {

namespace {

constexpr std::size_t kPiece = 64 * 1024;
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

struct ArchiveCloser {
  void operator()(archive* a) const { archive_read_free(a); }
};

}  // namespace

UnpackedList listFromArchive(std::string_view bytes, ListContent content, std::uint64_t maxBytes) {
  std::unique_ptr<archive, ArchiveCloser> a(archive_read_new());
  if (!a) throw ListUnpackError("the archive could not be read (out of memory)", false);
  archive_read_support_format_zip(a.get());
  archive_read_support_format_tar(a.get());
  const auto damaged = [&a] {
    const char* why = archive_error_string(a.get());
    return ListUnpackError(std::string("damaged archive (") + (why ? why : "unknown error") + ")",
                           false);
  };
  if (archive_read_open_memory(a.get(), bytes.data(), bytes.size()) != ARCHIVE_OK) throw damaged();
  std::uint64_t expanded = 0;
  archive_entry* entry = nullptr;
  char piece[kPiece];
  for (;;) {
    const int rc = archive_read_next_header(a.get(), &entry);
    if (rc == ARCHIVE_EOF) break;
    if (rc < ARCHIVE_WARN) throw damaged();
    if (archive_entry_filetype(entry) != AE_IFREG) continue;
    const char* name = archive_entry_pathname(entry);
    std::string data;
    bool judged = false;
    for (;;) {
      const la_ssize_t got = archive_read_data(a.get(), piece, sizeof piece);
      if (got < 0) throw damaged();
      if (got == 0) break;
      if (static_cast<std::uint64_t>(got) > maxBytes - expanded) throw tooLargeError(maxBytes);
      expanded += static_cast<std::uint64_t>(got);
      data.append(piece, static_cast<std::size_t>(got));
      // The start tells most kinds apart; no need to expand the rest of a member that
      // does not fit.
      if (!judged && data.size() >= kProbe) {
        judged = true;
        if (content != ListContent::Links && !fitsContent(data, content)) break;
        if (content == ListContent::Links && !fitsContent(data, ListContent::Text)) break;
      }
    }
    if (fitsContent(data, content)) return {std::move(data), name ? name : ""};
  }
  throw ListUnpackError(std::string("the archive holds no ") + contentName(content), false);
}

}  // namespace ravelin::serverlist

#include "serverlist/list_unpack.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <memory>

#include "platform/gzip_inflater.h"
#include "serverlist/bot_file.h"
#include "serverlist/met_tags.h"
#include "serverlist/server_links.h"

namespace ravelin::serverlist {

namespace {

constexpr std::size_t kTextProbe = 4096;
constexpr std::size_t kPiece = 64 * 1024;
// gzip inside gzip inside ...: one layer covers .gz and tar.gz; a few more are tolerated.
constexpr int kMaxLayers = 3;

bool isTextByte(unsigned char c) {
  return c >= 0x20 || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1B;
}

bool isZip(std::string_view b) {
  return b.size() >= 4 && b[0] == 'P' && b[1] == 'K' &&
         ((b[2] == 3 && b[3] == 4) || (b[2] == 5 && b[3] == 6) || (b[2] == 7 && b[3] == 8));
}

// POSIX ("ustar\0") and GNU ("ustar  \0") tar headers carry "ustar" at offset 257.
bool isTar(std::string_view b) {
  return b.size() >= 512 && b.substr(257, 5) == "ustar";
}

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

// The first regular member of a zip or tar archive whose content fits.
UnpackedList fromArchive(std::string_view bytes, ListContent content, std::uint64_t maxBytes) {
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
      if (!judged && data.size() >= kTextProbe) {
        judged = true;
        if (content != ListContent::Links && !fitsContent(data, content)) break;
        if (content == ListContent::Links && !fitsContent(data, ListContent::Text)) break;
      }
    }
    if (fitsContent(data, content)) return {std::move(data), name ? name : ""};
  }
  throw ListUnpackError(std::string("the archive holds no ") + contentName(content), false);
}

}  // namespace

bool fitsContent(std::string_view data, ListContent content) {
  if (data.empty()) return false;
  switch (content) {
    case ListContent::Met:
      return isMetHeader(static_cast<std::uint8_t>(data[0]));
    case ListContent::Bot:
      return data[0] == kBotRecordMark;
    case ListContent::Links:
      return fitsContent(data, ListContent::Text) &&
             data.find(kServerLinkMarker) != std::string_view::npos;
    case ListContent::Text:
      break;
  }
  const std::string_view probe = data.substr(0, kTextProbe);
  return std::all_of(probe.begin(), probe.end(),
                     [](char c) { return isTextByte(static_cast<unsigned char>(c)); });
}

UnpackedList unpackList(std::string bytes, ListContent content, std::uint64_t maxBytes) {
  for (int layers = 0; platform::isGzip(bytes); ++layers) {
    if (layers == kMaxLayers)
      throw ListUnpackError(
          "it is packed in more than " + std::to_string(kMaxLayers) + " layers of gzip", false);
    try {
      bytes = platform::gunzip(bytes, maxBytes);
    } catch (const platform::GzipError& e) {
      if (e.tooLarge()) throw tooLargeError(maxBytes);
      throw ListUnpackError(std::string("damaged gzip data (") + e.what() + ")", false);
    }
  }
  if (isZip(bytes) || isTar(bytes)) return fromArchive(bytes, content, maxBytes);
  return {std::move(bytes), {}};
}

ListUnpackError tooLargeError(std::uint64_t maxBytes) {
  return ListUnpackError("it expands past MaxListMB (" + std::to_string(maxBytes >> 20) + " MB)",
                         true);
}

std::uint64_t maxListBytes(const runtime::Settings& settings) {
  return static_cast<std::uint64_t>(
             std::clamp(settings.MaxListMB, runtime::kMaxListMBMin, runtime::kMaxListMBMax))
         << 20;
}

std::string unpackedLogLine(const std::string& member, const std::string& source) {
  return "Unpacked <" + member + "> from <" + source + ">";
}

std::string skippedLogLine(const std::string& source, const ListUnpackError& error) {
  return "Skipped <" + source + ">: " + error.what();
}

}  // namespace ravelin::serverlist

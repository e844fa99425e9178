#include "serverlist/list_unpack.h"

#include <algorithm>
#include <memory>

#include "platform/gzip_inflater.h"
#include "serverlist/bot_file.h"
#include "serverlist/list_archive.h"
#include "serverlist/met_tags.h"
#include "serverlist/server_links.h"

namespace ravelin::serverlist {

namespace {

constexpr std::size_t kTextProbe = 4096;
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
  if (isZip(bytes) || isTar(bytes)) return listFromArchive(bytes, content, maxBytes);
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

#pragma once
// Server lists that come compressed: a gzip stream, or a zip or tar (also tar.gz) archive
// holding the list among other files. Both the file imports and the updater's downloads
// and DNS file go through here. The packing is told by the content (its magic bytes),
// never by a file name, and the expansion is capped (MaxListMB).
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "runtime/settings.h"

namespace ravelin::serverlist {

// What a source must hold. A member of an archive is taken when its content fits:
//  - Met: starts with a MET header byte (0x0E or 0xE0);
//  - Bot: starts with the record mark ":", as every BOT file that a program writes;
//  - Links: text (below) that holds at least one server link marker "|server|";
//  - Text: text, i.e. none of its first 4096 bytes is NUL or another control byte than
//    tab, line feed, vertical tab, form feed, carriage return or escape. Bytes from 0x80 up
//    are text, so UTF-8 and the single-byte code pages pass. An empty member is no text.
enum class ListContent { Met, Bot, Links, Text };

bool fitsContent(std::string_view data, ListContent content);

// A source that cannot be used: damaged packing, no member that fits, or an expansion
// past the cap (tooLarge()). what() is a sentence part that follows the source's name.
class ListUnpackError : public std::runtime_error {
 public:
  ListUnpackError(const std::string& what, bool tooLarge)
      : std::runtime_error(what), tooLarge_(tooLarge) {}
  bool tooLarge() const { return tooLarge_; }

 private:
  bool tooLarge_;
};

// The error of a list that expands past maxBytes.
ListUnpackError tooLargeError(std::uint64_t maxBytes);

struct UnpackedList {
  std::string data;
  // The archive member the list was taken from; empty when the source was no archive.
  std::string member;
};

// The list inside bytes: gzip is expanded (several layers at most, so a tar.gz works),
// an archive gives its first regular member that fits the content, and anything else is
// returned as it is, unchecked, for the reader to judge. No more than maxBytes are ever
// expanded, counting every member looked at. Throws ListUnpackError.
UnpackedList unpackList(std::string bytes, ListContent content, std::uint64_t maxBytes);

// MaxListMB in bytes (the setting is taken within its allowed 1..4096).
std::uint64_t maxListBytes(const runtime::Settings& settings);

// The log lines of an unpacked source: "Unpacked <member> from <source>", and of a source
// that could not be used: "Skipped <source>: <why>".
std::string unpackedLogLine(const std::string& member, const std::string& source);
std::string skippedLogLine(const std::string& source, const ListUnpackError& error);

}  // namespace ravelin::serverlist

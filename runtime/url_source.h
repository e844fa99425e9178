#pragma once
#include <string>

namespace ravelin::runtime {

// What a source of the URL list delivers, and so how an update reads it.
enum class SourceKind {
  HTML,  // a page with ed2k server links
  MET,   // a server.met file
  BOT,   // a BOT file
  DNS,   // a local file of host names or addresses, one server a line
  Other  // an entry that holds a kind marker, but not at its start: fetched, never read
};

// One entry of the URL list: its kind and its address (a URL; for DNS a file's path). An
// entry of kind Other keeps its whole text as read, so that it is written back unchanged.
struct UrlSource {
  SourceKind kind = SourceKind::Other;
  std::string location;
  bool operator==(const UrlSource&) const = default;
};

}  // namespace ravelin::runtime

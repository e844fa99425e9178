#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/app_context.h"
#include "serverlist/server_list.h"

namespace ravelin::serverlist {

// A server link is the marker "|server|" followed by the IP text, "|", the port text and
// "|". Only the marker identifies a link (letter case included); whatever stands in front
// of it (a scheme such as "ed2k:", an attribute, plain text) and after the second "|" is
// ignored, and nothing is decoded.
inline constexpr std::string_view kServerLinkMarker = "|server|";

// Calls visit(ip, port) for every server link of the text, in the order of the links, in
// one pass over the text:
//  - the IP is the text between the marker and the next "|"; when no "|" follows the
//    marker, both IP and port are empty and the scan ends there;
//  - the port is the text between that "|" and the next one, or empty when there is none;
//  - the port text is not consumed: the next marker is searched from the start of the
//    port text, so "|server|1.2.3.4||server|5.6.7.8|4661|" yields (1.2.3.4, "") and
//    then (5.6.7.8, 4661).
// The views point into text.
template <class Visit>
void forEachServerLink(std::string_view text, Visit&& visit) {
  constexpr std::string_view::size_type npos = std::string_view::npos;
  std::string_view::size_type from = 0;
  for (;;) {
    const auto marker = text.find(kServerLinkMarker, from);
    if (marker == npos) return;
    const auto ipStart = marker + kServerLinkMarker.size();
    const auto ipEnd = text.find('|', ipStart);
    if (ipEnd == npos) {
      // No "|" left: nothing more can start a link either.
      visit(std::string_view(), std::string_view());
      return;
    }
    const auto portStart = ipEnd + 1;
    const auto portEnd = text.find('|', portStart);
    const std::string_view port =
        portEnd == npos ? std::string_view() : text.substr(portStart, portEnd - portStart);
    visit(text.substr(ipStart, ipEnd - ipStart), port);
    from = portStart;
  }
}

// The (IP text, port text) pairs of all server links of the text, in order.
std::vector<std::pair<std::string, std::string>> scanServerLinks(std::string_view text);

// Reads the whole file and merges the servers of its links into the list (merge rule:
// trimmed, valid, new keys only, appended checked). The text ends at the first NUL byte.
// Logs "Refreshed <A> servers from <fileName>" with A the number of servers appended.
// Throws platform::FileError, before anything has changed, when the file cannot be read.
// A packed file is unpacked first (readImportSource).
void readServersFromHTML(ServerList& list, const std::string& fileName, runtime::AppContext& ctx);

// The same merge for text at hand (the clipboard's): logs "Refreshed <A> servers from
// <source>" and returns A.
size_t readServersFromLinks(ServerList& list, std::string_view text, const std::string& source,
                            runtime::AppContext& ctx);

// The rows' servers as links that aMule and eMule open, one "ed2k://|server|IP|PORT|/"
// per line.
std::string serverLinkLines(const ServerList& list, const std::vector<size_t>& rows);

}  // namespace ravelin::serverlist

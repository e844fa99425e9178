// The link scan on arbitrary bytes: every pair must stand in the text as a link in the
// order given, and small inputs must scan exactly like the direct delete-the-front scan.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "serverlist/server_links.h"
#include "tests/serverlist/link_scan_reference.h"

using namespace ravelin;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;

namespace {
void check(bool condition) {
  if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto links = scanServerLinks(text);

  constexpr auto npos = std::string_view::npos;
  std::size_t from = 0;
  bool endedWithoutBar = false;
  for (std::size_t i = 0; i < links.size(); ++i) {
    const auto& [ip, port] = links[i];
    check(ip.find('|') == npos && port.find('|') == npos);
    const std::size_t marker = text.find(kServerLinkMarker, from);
    check(marker != npos);
    const std::size_t ipStart = marker + kServerLinkMarker.size();
    if (text.find('|', ipStart) == npos) {
      // Only the last pair can lack its bars, and then both parts are empty.
      check(ip.empty() && port.empty() && i + 1 == links.size());
      endedWithoutBar = true;
      break;
    }
    check(text.substr(ipStart, ip.size()) == ip && text[ipStart + ip.size()] == '|');
    const std::size_t portStart = ipStart + ip.size() + 1;
    check(text.substr(portStart, port.size()) == port);
    if (text.find('|', portStart) == npos) {
      check(port.empty());
    } else {
      check(text[portStart + port.size()] == '|');
    }
    from = portStart;
  }
  // No link is missed after the last one found.
  if (!endedWithoutBar) check(text.find(kServerLinkMarker, from) == npos);

  if (size <= 4096) check(links == test::ReferenceScanServerLinks(std::string(text)));
  return 0;
}

#pragma once
// The link scan done the direct way, for comparison with ScanServerLinks: a working copy of
// the text whose consumed front is deleted at every link. Quadratic; small inputs only.
#include <string>
#include <utility>
#include <vector>

namespace test {

inline std::vector<std::pair<std::string, std::string>> ReferenceScanServerLinks(std::string text) {
  static const std::string kMarker = "|server|";
  std::vector<std::pair<std::string, std::string>> links;
  for (;;) {
    const size_t marker = text.find(kMarker);
    if (marker == std::string::npos) break;
    text.erase(0, marker + kMarker.size());
    std::string ip;
    std::string port;
    const size_t ipEnd = text.find('|');
    if (ipEnd != std::string::npos) {
      ip = text.substr(0, ipEnd);
      text.erase(0, ipEnd + 1);
    }
    const size_t portEnd = text.find('|');
    if (portEnd != std::string::npos) port = text.substr(0, portEnd);
    links.emplace_back(std::move(ip), std::move(port));
  }
  return links;
}

}  // namespace test

#include "runtime/settings.h"

#include <cstdlib>

#include "platform/system.h"
#include "runtime/emule_folders.h"

namespace ravelin::runtime {

// The defaults follow the client that users of each system run: eMule on Windows, aMule
// elsewhere.
std::string Settings::defaultEDPath() {
  if constexpr (platform::kWindows) return emuleConfigFolder(thisMachinesEmulePlaces());
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "") + "/.aMule/";
}

std::string Settings::defaultEDFilename() {
  return platform::kWindows ? kEmuleProgram : "amule";
}

bool Settings::defaultMetAddressTags() {
  return platform::kWindows;
}

std::string clientFile(const std::string& dir, const std::string& fileName) {
  if (dir.empty() || platform::isPathSeparator(dir.back())) return dir + fileName;
  return dir + platform::kPathSeparator + fileName;
}

}  // namespace ravelin::runtime

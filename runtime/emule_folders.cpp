#include "runtime/emule_folders.h"

#include <cstdint>
#include <optional>

#include "platform/file_io.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/user_folders.h"
#include "runtime/settings.h"

namespace ravelin::runtime {

namespace {

// folder with one separator at its end; empty stays empty (an unknown folder).
std::string asFolder(const std::string& folder) {
  return folder.empty() ? folder : clientFile(folder, "");
}

std::string emuleConfigIn(const std::string& base) {
  return base.empty() ? base : asFolder(clientFile(clientFile(base, "eMule"), "config"));
}

}  // namespace

EmulePlaces thisMachinesEmulePlaces() {
  EmulePlaces places;
  places.userData = platform::userStateBase();
  places.sharedData = platform::sharedDataBase();
  places.programFolder = [] {
    const auto running = platform::runningExecutablesNamed(kEmuleProgram);
    const auto slash = running.empty() ? std::string::npos
                                       : running.front().find_last_of(platform::kPathSeparators);
    return slash == std::string::npos ? std::string() : running.front().substr(0, slash);
  };
  return places;
}

std::string emuleConfigFolder(const EmulePlaces& places) {
  const std::string perUser = emuleConfigIn(places.userData);
  const std::string shared = emuleConfigIn(places.sharedData);
  const auto besideProgram = [&] {
    const std::string folder = places.programFolder ? places.programFolder() : std::string();
    return folder.empty() ? folder : asFolder(clientFile(folder, "config"));
  };
  const std::optional<std::uint32_t> choice =
      platform::currentUserDword(places.registryKey, "UsePublicUserDirectories");
  std::string chosen;
  if (choice == 0u)
    chosen = perUser;
  else if (choice == 1u)
    chosen = shared;
  else if (choice == 2u)
    chosen = besideProgram();
  if (!chosen.empty()) return chosen;

  const auto holdsPreferences = [](const std::string& folder) {
    return !folder.empty() && platform::fileExists(clientFile(folder, "preferences.ini"));
  };
  if (holdsPreferences(perUser)) return perUser;
  if (holdsPreferences(shared)) return shared;
  if (const std::string beside = besideProgram(); holdsPreferences(beside)) return beside;
  return perUser;
}

}  // namespace ravelin::runtime

#pragma once
// eMule, the eDonkey client of Windows: where it keeps its configuration (server.met,
// staticservers.dat, addresses.dat, ipfilter.dat, preferences.ini), chosen as eMule itself
// chooses it, so that the defaults point at the files of the eMule on this machine.
#include <functional>
#include <string>

namespace ravelin::runtime {

inline constexpr const char* kEmuleProgram = "emule.exe";

// What the choice rests on; tests set each part.
struct EmulePlaces {
  // The key under HKEY_CURRENT_USER whose DWORD value UsePublicUserDirectories chooses.
  std::string registryKey = "Software\\eMule";
  // The user's and the machine's program data: %LOCALAPPDATA% and %ProgramData%.
  std::string userData, sharedData;
  // The folder of emule.exe, asked only when the choice needs it; empty when unknown.
  std::function<std::string()> programFolder;
};

// This machine's places on Windows; emule.exe's folder is that of a running emule.exe.
EmulePlaces thisMachinesEmulePlaces();

// eMule's configuration folder, ending in a separator. UsePublicUserDirectories 0 chooses
// userData\eMule\config\, 1 sharedData\eMule\config\, 2 the config\ folder beside
// emule.exe. Without the value (or with another, or when the chosen folder's base is
// unknown) it is the first of those three folders that holds preferences.ini, and when none
// does, the per-user one, where a new eMule starts. Empty when even that base is unknown.
std::string emuleConfigFolder(const EmulePlaces& places);

}  // namespace ravelin::runtime

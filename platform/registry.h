#pragma once
// The Windows registry of the user (HKEY_CURRENT_USER): read to find where other programs
// keep their files, written for the association of the program's own file types.
#include <cstdint>
#include <optional>
#include <string>

namespace ravelin::platform {

// The DWORD value valueName of the key under HKEY_CURRENT_USER (key as "Software\\Name");
// nothing when the key or the value is absent or holds no DWORD, and on systems without a
// registry.
std::optional<std::uint32_t> currentUserDword(const std::string& key, const std::string& valueName);

// The text value valueName (empty: the key's default value) of the key, likewise.
std::optional<std::string> currentUserString(const std::string& key, const std::string& valueName);
// Sets a text value, creating the key and the keys above it. Throws std::runtime_error with
// the system's reason, and on systems without a registry.
void setCurrentUserString(const std::string& key, const std::string& valueName,
                          const std::string& value);
// Removes the key with everything below it; a key that is not there is no error.
void deleteCurrentUserKey(const std::string& key);

// Tells the shell that the association of file types changed, so that Explorer shows the
// new icons and verbs at once; nothing on systems without one.
void announceAssociationChange();

}  // namespace ravelin::platform

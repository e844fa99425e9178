#pragma once
// The Windows registry, read only, as far as the layers above need it to find where other
// programs keep their files.
#include <cstdint>
#include <optional>
#include <string>

namespace ravelin::platform {

// The DWORD value valueName of the key under HKEY_CURRENT_USER (key as "Software\\Name");
// nothing when the key or the value is absent or holds no DWORD, and on systems without a
// registry.
std::optional<std::uint32_t> currentUserDword(const std::string& key, const std::string& valueName);

}  // namespace ravelin::platform

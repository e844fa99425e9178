#include <windows.h>

#include "platform/registry.h"
#include "platform/wide_text.h"

namespace ravelin::platform {

std::optional<std::uint32_t> currentUserDword(const std::string& key,
                                              const std::string& valueName) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, wideFromUtf8(key).c_str(), wideFromUtf8(valueName).c_str(),
                   RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

}  // namespace ravelin::platform

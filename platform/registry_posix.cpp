#include "platform/registry.h"

namespace ravelin::platform {

// No registry here: every value is absent.
std::optional<std::uint32_t> currentUserDword(const std::string&, const std::string&) {
  return std::nullopt;
}

}  // namespace ravelin::platform

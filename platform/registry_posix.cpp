#include "platform/registry.h"

#include <stdexcept>

namespace ravelin::platform {

// No registry here: every value is absent, and nothing can be stored.
std::optional<std::uint32_t> currentUserDword(const std::string&, const std::string&) {
  return std::nullopt;
}

std::optional<std::string> currentUserString(const std::string&, const std::string&) {
  return std::nullopt;
}

void setCurrentUserString(const std::string& key, const std::string&, const std::string&) {
  throw std::runtime_error("Cannot write " + key + ": this system has no registry");
}

void deleteCurrentUserKey(const std::string&) {}

void announceAssociationChange() {}

}  // namespace ravelin::platform

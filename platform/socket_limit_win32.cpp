#include <limits>

#include "platform/socket_limit.h"

namespace ravelin::platform {

// Winsock has no per-process limit on sockets; what bounds a loop is the set that one
// select watches (readinessCapacity()).
std::size_t raiseSocketLimit() {
  return std::numeric_limits<std::size_t>::max();
}

}  // namespace ravelin::platform

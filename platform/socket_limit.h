#pragma once
// How many sockets this process may hold at once. A verification keeps hundreds of
// connection attempts open together, more than a system's default share of descriptors.
#include <cstddef>

namespace ravelin::platform {

// Lifts the process's limit on open descriptors as far as the system lets it (on Linux the
// soft limit up to the hard one) and returns how many the process may hold now. Called once
// at start; later calls only read the limit.
std::size_t raiseSocketLimit();

}  // namespace ravelin::platform

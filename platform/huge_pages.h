#pragma once
#include <cstddef>

namespace ravelin::platform {

// Asks the system to back the range with huge pages where it has them: filling a large fresh
// buffer page by page can cost more than what is put into it. The range must be aligned to
// kHugePageSize; a system without them ignores the request.
inline constexpr std::size_t kHugePageSize = std::size_t{2} << 20;
void adviseHugePages(void* begin, std::size_t length);

}  // namespace ravelin::platform

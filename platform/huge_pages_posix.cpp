#include "platform/huge_pages.h"

#include <sys/mman.h>

namespace ravelin::platform {

void adviseHugePages([[maybe_unused]] void* begin, [[maybe_unused]] std::size_t length) {
#ifdef MADV_HUGEPAGE
  ::madvise(begin, length, MADV_HUGEPAGE);
#endif
}

}  // namespace ravelin::platform

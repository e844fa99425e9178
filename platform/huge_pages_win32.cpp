#include "platform/huge_pages.h"

namespace ravelin::platform {

// Windows gives large pages only to programs holding the "lock pages in memory" privilege,
// and only through VirtualAlloc: a string's memory stays in ordinary pages.
void adviseHugePages(void*, std::size_t) {}

}  // namespace ravelin::platform

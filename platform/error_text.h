#pragma once
// The system's own words for one of its error numbers (errno on POSIX, GetLastError on
// Windows), without a line break or a final full stop.
#include <string>

namespace ravelin::platform {

std::string errorText(int systemError);

}  // namespace ravelin::platform

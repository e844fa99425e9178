#include "platform/error_text.h"

#include <cstring>

namespace ravelin::platform {

std::string errorText(int systemError) {
  return std::strerror(systemError);
}

}  // namespace ravelin::platform

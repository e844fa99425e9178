#include "platform/md5.h"

#include <stdexcept>

namespace ravelin::platform {

// BCrypt takes this over in the next step of the Windows port.
std::array<unsigned char, 16> md5(std::string_view) {
  throw std::runtime_error("MD5 is not available in this build yet");
}

}  // namespace ravelin::platform

#include "platform/ansi_code_page.h"

namespace ravelin::platform {

std::string utf8FromAnsiCodePage(std::string_view bytes) {
  return std::string(bytes);
}

}  // namespace ravelin::platform

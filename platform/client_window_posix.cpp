#include "platform/client_window.h"

namespace ravelin::platform {

// The ed2k clients of POSIX systems have no windows that take text from other programs.

std::optional<ClientWindow> findAnsweringWindow(const std::string&, std::uint32_t) {
  return std::nullopt;
}

std::optional<std::string> sendTextToWindow(ClientWindow, std::uintptr_t, const std::string&,
                                            std::uint32_t) {
  return std::string("this system has no such windows");
}

}  // namespace ravelin::platform

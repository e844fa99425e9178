#pragma once
// Text in the system's single-byte ("ANSI") code page, as Windows editors save it.
#include <string>
#include <string_view>

namespace ravelin::platform {

// The bytes as UTF-8. Windows: converted from the system's ANSI code page (the one the
// system is set to, not the UTF-8 that this program's manifest asks for itself). Elsewhere
// names are bytes and the text is returned as it is.
std::string utf8FromAnsiCodePage(std::string_view bytes);

}  // namespace ravelin::platform

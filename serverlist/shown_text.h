#pragma once
#include <string>
#include <string_view>

namespace ravelin::serverlist {

// How the windows show a field's bytes: as UTF-8 when they are valid UTF-8, otherwise as
// Latin-1, so that every byte shows as some character. The result is UTF-8.
std::string shownText(std::string_view bytes);

}  // namespace ravelin::serverlist

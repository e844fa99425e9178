#pragma once
// The zip and tar archives that lists come in.
#include <cstdint>
#include <string_view>

#include "serverlist/list_unpack.h"

namespace ravelin::serverlist {

// The first regular member of a zip or tar archive whose content fits, expanding no more
// than maxBytes in all. Throws ListUnpackError.
UnpackedList listFromArchive(std::string_view bytes, ListContent content, std::uint64_t maxBytes);

}  // namespace ravelin::serverlist

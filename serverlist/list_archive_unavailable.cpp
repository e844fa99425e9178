#include "serverlist/list_archive.h"

namespace ravelin::serverlist {

// This build has no archive library; packed lists in a gzip stream are read all the same.
UnpackedList listFromArchive(std::string_view, ListContent, std::uint64_t) {
  throw ListUnpackError("zip and tar archives are not available in this build yet", false);
}

}  // namespace ravelin::serverlist

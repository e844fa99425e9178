#pragma once
// The members of a tar archive as written in the ustar, GNU and pax formats: long names
// from GNU's 'L' records and pax's path, sizes in octal or base-256, each header's
// checksum checked.
#include <string_view>

#include "serverlist/archive_member.h"

namespace ravelin::serverlist {

// Visits the regular members of the tar archive in bytes. Throws ListUnpackError.
void readTarMembers(std::string_view bytes, const MemberVisitor& visit);

}  // namespace ravelin::serverlist

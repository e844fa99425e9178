#pragma once
// The members of a zip archive, found through its central directory, so that a member
// written with a data descriptor (sizes after the data, as a tool writing to a pipe does)
// is read as well as any other. Stored and deflated members are read; zip64, encryption
// and other methods are refused with the reason when such a member is reached.
#include <string_view>

#include "serverlist/archive_member.h"

namespace ravelin::serverlist {

// Visits the members of the zip archive in bytes that hold content (not directories or
// links). Throws ListUnpackError.
void readZipMembers(std::string_view bytes, const MemberVisitor& visit);

}  // namespace ravelin::serverlist

#pragma once
#include <stdexcept>
#include <string>
#include <string_view>

namespace ravelin::platform {

// A file could not be read or written; what() says which file and why.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The whole file; throws FileError when it cannot be opened or read.
std::string readWholeFile(const std::string& path);

// Writes bytes to a temporary file in the target's directory and renames it over the
// target only when everything was written, so a failure never leaves a half-written file
// in place of the old one. Throws FileError; the target is then untouched.
void writeFileAtomically(const std::string& path, std::string_view bytes);

bool fileExists(const std::string& path);

// Makes backup a copy of target without moving target away: a hard link to it where the
// file system allows one, a copy otherwise. An old backup is replaced atomically, so it
// stays as it was when this fails. Throws FileError.
void makeBackup(const std::string& target, const std::string& backup);

}  // namespace ravelin::platform

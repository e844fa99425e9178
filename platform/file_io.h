#pragma once
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// A file could not be read or written; what() says which file and why.
class EFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The whole file; throws EFileError when it cannot be opened or read.
std::string ReadWholeFile(const std::string& path);

// Writes bytes to a temporary file in the target's directory and renames it over the
// target only when everything was written, so a failure never leaves a half-written file
// in place of the old one. Throws EFileError; the target is then untouched.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

bool FileExists(const std::string& path);

// Makes backup a copy of target without moving target away: a hard link to it where the
// file system allows one, a copy otherwise. An old backup is replaced atomically, so it
// stays as it was when this fails. Throws EFileError.
void MakeBackup(const std::string& target, const std::string& backup);

}  // namespace platform

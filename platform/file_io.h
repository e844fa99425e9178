#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace ravelin::platform {

// A file could not be read or written; what() says which file and why.
class FileError : public std::runtime_error {
 public:
  explicit FileError(const std::string& what, std::string reason = {})
      : std::runtime_error(what), reason_(std::move(reason)) {}
  // The operating system's reason alone ("No such file or directory"), for messages that
  // name the file in their own words; empty when the failure has no such reason.
  const std::string& reason() const { return reason_; }

 private:
  std::string reason_;
};

// The whole file; throws FileError when it cannot be opened or read.
std::string readWholeFile(const std::string& path);

// Who may read a file that is written. Usual: a replaced file keeps its mode, a new one
// gets 0666 less the umask. OwnerOnly: 0600 whatever the file had, for files that hold
// secrets (ravelin.ini keeps the External Connection's password digest).
enum class FileAccess { Usual, OwnerOnly };

// Writes bytes to a temporary file in the target's directory and renames it over the
// target only when everything was written, so a failure never leaves a half-written file
// in place of the old one. A target that is a symbolic link has the file it points to
// replaced; the link stays. Throws FileError; the target is then untouched.
void writeFileAtomically(const std::string& path, std::string_view bytes,
                         FileAccess access = FileAccess::Usual);

bool fileExists(const std::string& path);

// Creates the directory path and every missing one above it, each for this user alone
// (0700; on Windows with the rights its parent passes on, in the user's profile the
// user's). Nothing happens when it exists. Throws FileError.
void makePrivateDirectories(const std::string& path);

// Lets only this user at path: a file becomes 0600, a directory 0700 (its contents stay as
// they are). For what Ravelin keeps of its own that an older version left open to others.
// Does nothing on Windows, where the profile's rights hold. False when it failed.
bool restrictToOwner(const std::string& path);

// Appends bytes to the file at path, which is created when missing, for this user alone
// (0600: logs name the user's files and servers).
// False when it cannot be opened or written: for writers that carry on without it (the log).
bool appendToFile(const std::string& path, std::string_view bytes);

// Moves a file or a directory tree to a place where nothing is yet: a rename, or where
// that crosses file systems a copy followed by the removal of the original. Throws
// FileError when to exists or the move fails; from is then left whole (a partial copy is
// removed again).
void movePath(const std::string& from, const std::string& to);

// Makes backup a copy of target without moving target away: a hard link to it where the
// file system allows one, a copy otherwise. An old backup is replaced atomically, so it
// stays as it was when this fails. Throws FileError.
void makeBackup(const std::string& target, const std::string& backup);

// Appends bytes to the file at path (created 0600 when missing) with a single write,
// while holding a write lock (fcntl) on the file lockPath, which is created when missing
// and left in place. A program that takes the same lock while it reads and removes path
// never sees a part of the bytes and loses none. Waits at most timeoutMs for the lock.
// Throws FileError.
void appendUnderLock(const std::string& path, const std::string& lockPath, std::string_view bytes,
                     std::uint32_t timeoutMs);

// A fresh directory under the system's temporary directory that only this user may enter
// (0700), removed with everything in it when the object goes. Holds what other users
// must not read.
class PrivateDirectory {
 public:
  // Throws FileError when the directory cannot be made.
  explicit PrivateDirectory(const std::string& prefix);
  ~PrivateDirectory();
  PrivateDirectory(const PrivateDirectory&) = delete;
  PrivateDirectory& operator=(const PrivateDirectory&) = delete;

  const std::string& path() const { return path_; }
  // Creates a subdirectory (0700) and returns its path. Throws FileError.
  std::string makeSubdirectory(const std::string& name) const;
  // Writes a new file (0600; an existing one is an error) below the directory and
  // returns its path. Throws FileError.
  std::string writeFile(const std::string& relativePath, std::string_view bytes) const;

 private:
  std::string path_;
};

}  // namespace ravelin::platform

#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "platform/error_text.h"

namespace ravelin::platform {

namespace {
[[noreturn]] void fail(const std::string& what, const std::string& path, int err) {
  const std::string reason = errorText(err);
  throw FileError(what + " \"" + path + "\": " + reason, reason);
}

std::string directoryOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file that path names once symbolic links are followed, so that a replace writes the
// link's target and leaves the link in place (a ravelin.ini kept among one's dotfiles). A
// link that points nowhere yet names the file it points to; a chain too long to be
// anything but a loop leaves path as it is.
std::string followLinks(const std::string& path) {
  std::string file = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return file;
    std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096), '\0');
    const ssize_t n = ::readlink(file.c_str(), target.data(), target.size());
    if (n <= 0) return file;
    target.resize(static_cast<size_t>(n));
    file = target.front() == '/' ? target : directoryOf(file) + "/" + target;
  }
  return path;
}

// Writes all bytes to fd; returns 0 or the error number.
int writeAll(int fd, std::string_view bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<size_t>(n);
  }
  return 0;
}

class FdCloser {
 public:
  explicit FdCloser(int fd) : fd_(fd) {}
  ~FdCloser() {
    if (fd_ >= 0) ::close(fd_);
  }
  FdCloser(const FdCloser&) = delete;
  FdCloser& operator=(const FdCloser&) = delete;

 private:
  int fd_;
};
}  // namespace

std::string readWholeFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fail("Cannot open file", path, errno);
  std::string data;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && st.st_size > 0) data.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      fail("Cannot read file", path, err);
    }
    data.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return data;
}

void writeFileAtomically(const std::string& given, std::string_view bytes, FileAccess access) {
  const std::string path = followLinks(given);
  std::string tmp = directoryOf(path) + "/.ravelin-XXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) fail("Cannot create file", given, errno);
  int err = 0;
  for (size_t done = 0; done < bytes.size() && err == 0;) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno != EINTR) err = errno;
    if (n > 0) done += static_cast<size_t>(n);
  }
  // Keep the permissions of the file being replaced, or the usual ones of a new file.
  struct stat st {};
  if (err == 0) {
    if (access == FileAccess::OwnerOnly) {
      if (::fchmod(fd, 0600) != 0) err = errno;
    } else if (::stat(path.c_str(), &st) == 0) {
      ::fchmod(fd, st.st_mode & 07777);
    } else {
      const mode_t mask = ::umask(0);
      ::umask(mask);
      ::fchmod(fd, 0666 & ~mask);
    }
  }
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && ::rename(tmp.c_str(), path.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(tmp.c_str());
    fail("Cannot write file", given, err);
  }
}

void makeBackup(const std::string& target, const std::string& backup) {
  // Link under a fresh name beside the backup, then rename that over the old backup.
  const std::string dir = directoryOf(backup);
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string tmp =
        dir + "/.ravelin-bak-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    // A symbolic link is followed: the backup holds the file's bytes, not the link.
    if (::linkat(AT_FDCWD, target.c_str(), AT_FDCWD, tmp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      if (::rename(tmp.c_str(), backup.c_str()) == 0) return;
      const int err = errno;
      ::unlink(tmp.c_str());
      fail("Cannot make backup", backup, err);
    }
    if (errno == EEXIST) continue;
    // No hard links here (another file system, or one without links): copy instead.
    if (errno == EPERM || errno == EXDEV || errno == EMLINK || errno == ENOTSUP ||
        errno == EOPNOTSUPP || errno == ENOSYS) {
      const std::string bytes = readWholeFile(target);
      writeFileAtomically(backup, bytes);
      return;
    }
    fail("Cannot make backup", backup, errno);
  }
  fail("Cannot make backup", backup, EEXIST);
}

void appendUnderLock(const std::string& path, const std::string& lockPath, std::string_view bytes,
                     std::uint32_t timeoutMs) {
  const int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lockFd < 0) fail("Cannot open lock file", lockPath, errno);
  FdCloser lockCloser(lockFd);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  // The reader may hold the lock for as long as it takes to read the file; ask again
  // every few milliseconds until the time is up.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (::fcntl(lockFd, F_SETLK, &lock) != 0) {
    if (errno != EACCES && errno != EAGAIN && errno != EINTR)
      fail("Cannot lock file", lockPath, errno);
    if (std::chrono::steady_clock::now() >= deadline)
      throw FileError("Cannot lock file \"" + lockPath + "\": another program holds it");
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  // Closing the lock file's descriptor releases the lock, after the data is written.
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) fail("Cannot open file", path, errno);
  int err = writeAll(fd, bytes);
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err != 0) fail("Cannot write file", path, err);
}

PrivateDirectory::PrivateDirectory(const std::string& prefix) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp == '/' ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) fail("Cannot create directory", pattern, errno);
  path_ = pattern;
}

PrivateDirectory::~PrivateDirectory() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string PrivateDirectory::makeSubdirectory(const std::string& name) const {
  const std::string dir = path_ + "/" + name;
  if (::mkdir(dir.c_str(), 0700) != 0) fail("Cannot create directory", dir, errno);
  return dir;
}

std::string PrivateDirectory::writeFile(const std::string& relativePath,
                                        std::string_view bytes) const {
  const std::string file = path_ + "/" + relativePath;
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) fail("Cannot create file", file, errno);
  int err = writeAll(fd, bytes);
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err != 0) fail("Cannot write file", file, err);
  return file;
}

bool appendToFile(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool written = writeAll(fd, bytes) == 0;
  return ::close(fd) == 0 && written;
}

void makePrivateDirectories(const std::string& path) {
  struct stat st {};
  if (path.empty() || (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))) return;
  const std::string parent = directoryOf(path);
  if (parent != path && parent != ".") makePrivateDirectories(parent);
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
    fail("Cannot create directory", path, errno);
}

bool restrictToOwner(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  return ::chmod(path.c_str(), S_ISDIR(st.st_mode) ? 0700 : 0600) == 0;
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void movePath(const std::string& from, const std::string& to) {
  struct stat st {};
  if (::lstat(to.c_str(), &st) == 0) fail("Cannot move \"" + from + "\" to", to, EEXIST);
  // RENAME_NOREPLACE keeps a race from replacing what appears at to meanwhile; a file
  // system without the flag gets a plain rename after the check above.
  int rc = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
  if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) rc = ::rename(from.c_str(), to.c_str());
  if (rc == 0) return;
  if (errno != EXDEV) fail("Cannot move \"" + from + "\" to", to, errno);
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::copy(from, to, fs::copy_options::recursive, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove_all(to, ignored);
    throw FileError("Cannot copy \"" + from + "\" to \"" + to + "\": " + ec.message());
  }
  fs::remove_all(from, ec);
  if (ec) throw FileError("Cannot remove \"" + from + "\": " + ec.message());
}

}  // namespace ravelin::platform

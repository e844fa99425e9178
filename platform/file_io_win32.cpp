// Files through the wide-character API: every name is UTF-8 in this program and UTF-16 for
// the system, so names outside the ANSI code page work.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/error_text.h"
#include "platform/file_io.h"
#include "platform/wide_text.h"

namespace ravelin::platform {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void fail(const std::string& what, const std::string& path, DWORD err) {
  const std::string reason = errorText(static_cast<int>(err));
  throw FileError(what + " \"" + path + "\": " + reason, reason);
}

std::string directoryOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return ".";
  return path.substr(0, slash == 0 || path[slash - 1] == ':' ? slash + 1 : slash);
}

// A name beside the others in dir that no other writer of this process or another uses.
std::string freshName(const std::string& dir, const char* stem) {
  static std::atomic<unsigned> counter{0};
  return dir + "\\" + stem + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(counter++);
}

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() { close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  // Returns false (with the reason in GetLastError) when closing failed.
  bool close() {
    const bool ok = !valid() || CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

// Other programs may read, write, rename and remove a file while this one has it open,
// as they may on POSIX systems.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE openFile(const std::string& path, DWORD access, DWORD disposition) {
  return CreateFileW(wideFromUtf8(path).c_str(), access, kShareAll, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The file that path names once a symbolic link (or junction) on the way is followed, so
// that a replace writes the link's target and leaves the link in place. path itself when
// it is no link or its target cannot be opened.
std::string followLinks(const std::string& path) {
  const std::wstring wide = wideFromUtf8(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return path;
  Handle f(CreateFileW(wide.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr));
  if (!f.valid()) return path;
  std::wstring final(32768, L'\0');
  const DWORD n = GetFinalPathNameByHandleW(f.get(), final.data(), static_cast<DWORD>(final.size()),
                                            FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (n == 0 || n >= final.size()) return path;
  final.resize(n);
  if (final.starts_with(L"\\\\?\\UNC\\"))
    final = L"\\\\" + final.substr(8);
  else if (final.starts_with(L"\\\\?\\"))
    final = final.substr(4);
  return utf8FromWide(final);
}

// Writes all bytes; returns 0 or the error number.
DWORD writeAll(HANDLE h, std::string_view bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(h, bytes.data() + done, piece, &written, nullptr)) return GetLastError();
    done += written;
  }
  return 0;
}

// MoveFileExW cannot replace a file that a program holds open, even one that lets others
// delete it (a reader of the old list); ReplaceFileW can: the old file moves to a name of
// ours, where the reader keeps reading it, and is removed when the reader lets go. Named by
// us, nothing of it is left behind when the replace fails.
bool moveReplacing(const std::string& from, const std::string& to) {
  const std::wstring wideFrom = wideFromUtf8(from), wideTo = wideFromUtf8(to);
  if (MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  if (GetLastError() != ERROR_ACCESS_DENIED) return false;
  const std::wstring old = wideFromUtf8(freshName(directoryOf(to), ".ravelin-old-"));
  const bool replaced = ReplaceFileW(wideTo.c_str(), wideFrom.c_str(), old.c_str(),
                                     REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
  const DWORD err = GetLastError();
  DeleteFileW(old.c_str());
  SetLastError(err);
  return replaced;
}

}  // namespace

std::string readWholeFile(const std::string& path) {
  Handle f(openFile(path, GENERIC_READ, OPEN_EXISTING));
  if (!f.valid()) fail("Cannot open file", path, GetLastError());
  std::string data;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(f.get(), &size) && size.QuadPart > 0)
    data.reserve(static_cast<size_t>(size.QuadPart));
  char buf[65536];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(f.get(), buf, sizeof buf, &n, nullptr))
      fail("Cannot read file", path, GetLastError());
    if (n == 0) break;
    data.append(buf, n);
  }
  return data;
}

// The new file gets the access rights that its folder passes on (in the user's profile,
// the user's alone); FileAccess changes nothing here.
void writeFileAtomically(const std::string& given, std::string_view bytes, FileAccess) {
  const std::string path = followLinks(given);
  const std::string tmp = freshName(directoryOf(path), ".ravelin-");
  Handle f(openFile(tmp, GENERIC_WRITE, CREATE_NEW));
  if (!f.valid()) fail("Cannot create file", given, GetLastError());
  DWORD err = writeAll(f.get(), bytes);
  if (err == 0 && !FlushFileBuffers(f.get())) err = GetLastError();
  if (!f.close() && err == 0) err = GetLastError();
  if (err == 0 && !moveReplacing(tmp, path)) err = GetLastError();
  if (err != 0) {
    DeleteFileW(wideFromUtf8(tmp).c_str());
    fail("Cannot write file", given, err);
  }
}

void makeBackup(const std::string& target, const std::string& backup) {
  // A hard link under a fresh name beside the backup, renamed over the old backup.
  const std::string tmp = freshName(directoryOf(backup), ".ravelin-bak-");
  if (CreateHardLinkW(wideFromUtf8(tmp).c_str(), wideFromUtf8(target).c_str(), nullptr)) {
    if (moveReplacing(tmp, backup)) return;
    const DWORD err = GetLastError();
    DeleteFileW(wideFromUtf8(tmp).c_str());
    fail("Cannot make backup", backup, err);
  }
  const DWORD err = GetLastError();
  // No hard links here (another volume, or FAT): copy instead.
  if (err == ERROR_NOT_SAME_DEVICE || err == ERROR_INVALID_FUNCTION || err == ERROR_NOT_SUPPORTED ||
      err == ERROR_TOO_MANY_LINKS || err == ERROR_ACCESS_DENIED) {
    writeFileAtomically(backup, readWholeFile(target));
    return;
  }
  fail("Cannot make backup", backup, err);
}

void appendUnderLock(const std::string& path, const std::string& lockPath, std::string_view bytes,
                     std::uint32_t timeoutMs) {
  Handle lockFile(openFile(lockPath, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS));
  if (!lockFile.valid()) fail("Cannot open lock file", lockPath, GetLastError());
  // The reader may hold the lock for as long as it takes to read the file; ask again
  // every few milliseconds until the time is up.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    OVERLAPPED at{};
    if (LockFileEx(lockFile.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                   &at))
      break;
    const DWORD err = GetLastError();
    if (err != ERROR_LOCK_VIOLATION && err != ERROR_IO_PENDING)
      fail("Cannot lock file", lockPath, err);
    if (std::chrono::steady_clock::now() >= deadline)
      throw FileError("Cannot lock file \"" + lockPath + "\": another program holds it");
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  // Closing the lock file releases the lock, after the data is written.
  Handle f(openFile(path, FILE_APPEND_DATA, OPEN_ALWAYS));
  if (!f.valid()) fail("Cannot open file", path, GetLastError());
  DWORD err = writeAll(f.get(), bytes);
  if (!f.close() && err == 0) err = GetLastError();
  if (err != 0) fail("Cannot write file", path, err);
}

// Below the user's own temporary folder, which other users cannot enter.
PrivateDirectory::PrivateDirectory(const std::string& prefix) {
  wchar_t tmp[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, tmp);
  std::string base = utf8FromWide(std::wstring_view(tmp, n));
  while (!base.empty() && (base.back() == '\\' || base.back() == '/')) base.pop_back();
  if (base.empty()) base = ".";
  for (int attempt = 0;; ++attempt) {
    const std::string dir = freshName(base, (prefix + "-").c_str());
    if (CreateDirectoryW(wideFromUtf8(dir).c_str(), nullptr)) {
      path_ = dir;
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS || attempt >= 100)
      fail("Cannot create directory", dir, GetLastError());
  }
}

PrivateDirectory::~PrivateDirectory() {
  std::error_code ec;
  fs::remove_all(fs::path(wideFromUtf8(path_)), ec);
}

std::string PrivateDirectory::makeSubdirectory(const std::string& name) const {
  const std::string dir = path_ + "\\" + name;
  if (!CreateDirectoryW(wideFromUtf8(dir).c_str(), nullptr))
    fail("Cannot create directory", dir, GetLastError());
  return dir;
}

std::string PrivateDirectory::writeFile(const std::string& relativePath,
                                        std::string_view bytes) const {
  const std::string file = path_ + "\\" + relativePath;
  Handle f(openFile(file, GENERIC_WRITE, CREATE_NEW));
  if (!f.valid()) fail("Cannot create file", file, GetLastError());
  DWORD err = writeAll(f.get(), bytes);
  if (!f.close() && err == 0) err = GetLastError();
  if (err != 0) fail("Cannot write file", file, err);
  return file;
}

bool appendToFile(const std::string& path, std::string_view bytes) {
  Handle f(openFile(path, FILE_APPEND_DATA, OPEN_ALWAYS));
  if (!f.valid()) return false;
  const bool written = writeAll(f.get(), bytes) == 0;
  return f.close() && written;
}

void makePrivateDirectories(const std::string& path) {
  std::error_code ec;
  fs::create_directories(fs::path(wideFromUtf8(path)), ec);
  if (ec)
    throw FileError("Cannot create directory \"" + path + "\": " + ec.message(), ec.message());
}

bool restrictToOwner(const std::string&) {
  return true;
}

bool fileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(wideFromUtf8(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void movePath(const std::string& from, const std::string& to) {
  const std::wstring wideFrom = wideFromUtf8(from), wideTo = wideFromUtf8(to);
  if (GetFileAttributesW(wideTo.c_str()) != INVALID_FILE_ATTRIBUTES)
    fail("Cannot move \"" + from + "\" to", to, ERROR_ALREADY_EXISTS);
  // Without MOVEFILE_REPLACE_EXISTING nothing that appears at to meanwhile is replaced.
  if (MoveFileExW(wideFrom.c_str(), wideTo.c_str(), 0)) return;
  const DWORD err = GetLastError();
  if (err != ERROR_NOT_SAME_DEVICE) fail("Cannot move \"" + from + "\" to", to, err);
  std::error_code ec;
  fs::copy(fs::path(wideFrom), fs::path(wideTo), fs::copy_options::recursive, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove_all(fs::path(wideTo), ignored);
    throw FileError("Cannot copy \"" + from + "\" to \"" + to + "\": " + ec.message());
  }
  fs::remove_all(fs::path(wideFrom), ec);
  if (ec) throw FileError("Cannot remove \"" + from + "\": " + ec.message());
}

}  // namespace ravelin::platform

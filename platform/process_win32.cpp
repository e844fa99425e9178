// Processes through Toolhelp32 and CreateProcessW. Names and arguments are UTF-8 here and
// UTF-16 for the system.
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/process.h"
#include "platform/text.h"
#include "platform/wide_text.h"

namespace ravelin::platform {

namespace {

// Quoted so that the C run-time of the started program (CommandLineToArgvW's rules) reads
// back exactly arg: backslashes count only in front of a quote.
void appendQuoted(std::wstring& line, const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += arg;
    return;
  }
  line += L'"';
  for (auto it = arg.begin();; ++it) {
    std::size_t backslashes = 0;
    while (it != arg.end() && *it == L'\\') {
      ++it;
      ++backslashes;
    }
    if (it == arg.end()) {
      line.append(backslashes * 2, L'\\');
      break;
    }
    if (*it == L'"') {
      line.append(backslashes * 2 + 1, L'\\');
      line += L'"';
    } else {
      line.append(backslashes, L'\\');
      line += *it;
    }
  }
  line += L'"';
}

std::wstring commandLine(const std::string& program, const std::vector<std::string>& args) {
  std::wstring line;
  appendQuoted(line, wideFromUtf8(program));
  for (const std::string& a : args) {
    line += L' ';
    appendQuoted(line, wideFromUtf8(a));
  }
  return line;
}

// "NAME=value" entries, each ended by a NUL, and one more NUL at the end.
std::wstring environmentBlock(const std::vector<std::string>& environment) {
  std::wstring block;
  for (const std::string& e : environment) {
    block += wideFromUtf8(e);
    block += L'\0';
  }
  block += L'\0';
  return block;
}

bool hasSeparator(const std::string& name) {
  return name.find_first_of("/\\") != std::string::npos;
}

bool isRegularFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(wideFromUtf8(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

HANDLE handleOf(std::intptr_t value) {
  return reinterpret_cast<HANDLE>(value);
}

}  // namespace

std::string resolvedExecutablePath(const std::string& path) {
  const std::wstring wide = wideFromUtf8(path);
  const DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return {};
  std::wstring out(n, L'\0');
  const DWORD got = GetFullPathNameW(wide.c_str(), n, out.data(), nullptr);
  out.resize(got);
  return utf8FromWide(out);
}

std::vector<std::string> runningExecutables() {
  std::vector<std::string> paths;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return paths;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    const HANDLE process =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
    if (!process) continue;  // the system's own and other users' processes
    wchar_t image[32768];
    DWORD size = sizeof image / sizeof image[0];
    if (QueryFullProcessImageNameW(process, 0, image, &size))
      paths.push_back(utf8FromWide(std::wstring_view(image, size)));
    CloseHandle(process);
  }
  CloseHandle(snapshot);
  return paths;
}

// A process group of its own keeps this console's Ctrl+C away from the program. Windows
// needs no reaping: the handles are closed at once.
bool spawnDetached(const std::string& program, const std::vector<std::string>& args,
                   bool searchPath) {
  std::wstring line = commandLine(program, args);
  const std::wstring application = wideFromUtf8(program);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // Without an application name CreateProcessW looks the first word up in PATH.
  if (!CreateProcessW(searchPath ? nullptr : application.c_str(), line.data(), nullptr, nullptr,
                      FALSE, CREATE_NEW_PROCESS_GROUP | CREATE_UNICODE_ENVIRONMENT, nullptr,
                      nullptr, &startup, &info))
    return false;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return true;
}

bool openWithDefaultApplication(const std::string& fileOrAddress) {
  const std::wstring target = wideFromUtf8(fileOrAddress);
  const auto result = reinterpret_cast<std::intptr_t>(
      ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;  // smaller values are errors
}

std::string searchPath() {
  const wchar_t* path = _wgetenv(L"PATH");
  return path ? utf8FromWide(path) : "C:\\Windows\\system32;C:\\Windows";
}

std::string findOnPath(const std::string& name) {
  return findOnPath(name, searchPath());
}

// A name without an extension is tried with the usual ones of programs, as the command
// interpreter does.
std::string findOnPath(const std::string& name, const std::string& dirs) {
  if (name.empty() || hasSeparator(name)) return {};
  const bool hasExtension = name.find('.') != std::string::npos;
  static const char* const kExtensions[] = {".exe", ".com", ".bat", ".cmd"};
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(';', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string dir = end > start ? dirs.substr(start, end - start) : ".";
    const std::string candidate = dir + "\\" + name;
    if (hasExtension && isRegularFile(candidate)) return candidate;
    if (!hasExtension) {
      for (const char* extension : kExtensions)
        if (isRegularFile(candidate + extension)) return candidate + extension;
    }
    start = end + 1;
  }
  return {};
}

// Two pipes: the program's input, and its output and error together.
PipedProcess::PipedProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::vector<std::string>& environment) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE inRead = nullptr, inWrite = nullptr, outRead = nullptr, outWrite = nullptr;
  if (!CreatePipe(&inRead, &inWrite, &inherit, 0)) {
    startError_ = static_cast<int>(GetLastError());
    return;
  }
  if (!CreatePipe(&outRead, &outWrite, &inherit, 0)) {
    startError_ = static_cast<int>(GetLastError());
    CloseHandle(inRead);
    CloseHandle(inWrite);
    return;
  }
  // This side's ends stay here.
  SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inRead;
  startup.hStdOutput = outWrite;
  startup.hStdError = outWrite;
  std::wstring line = commandLine(program, args);
  std::wstring block = environmentBlock(environment);
  const std::wstring application = wideFromUtf8(program);
  PROCESS_INFORMATION info{};
  const BOOL ok = CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, TRUE,
                                 CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, block.data(),
                                 nullptr, &startup, &info);
  const DWORD err = ok ? 0 : GetLastError();
  CloseHandle(inRead);
  CloseHandle(outWrite);
  if (!ok) {
    CloseHandle(inWrite);
    CloseHandle(outRead);
    startError_ = static_cast<int>(err);
    return;
  }
  CloseHandle(info.hThread);
  fd_ = reinterpret_cast<std::intptr_t>(outRead);
  inputFd_ = reinterpret_cast<std::intptr_t>(inWrite);
  pid_ = reinterpret_cast<std::intptr_t>(info.hProcess);
}

PipedProcess::~PipedProcess() {
  if (pid_ > 0 && !reaped_) finish(0);
  if (pid_ > 0) CloseHandle(handleOf(pid_));
  if (fd_ >= 0) CloseHandle(handleOf(fd_));
}

bool PipedProcess::write(std::string_view bytes) {
  if (inputFd_ < 0) return false;
  for (size_t done = 0; done < bytes.size();) {
    DWORD written = 0;
    const DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    if (!WriteFile(handleOf(inputFd_), bytes.data() + done, piece, &written, nullptr)) return false;
    done += written;
  }
  return true;
}

void PipedProcess::closeInput() {
  if (inputFd_ >= 0) CloseHandle(handleOf(inputFd_));
  inputFd_ = -1;
}

// Anonymous pipes cannot be waited on with a time-out: what is waiting is looked at every
// few milliseconds.
PipedProcess::ReadResult PipedProcess::read(std::string& out, std::uint32_t ms) {
  if (fd_ < 0) return ReadResult::Ended;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    DWORD waiting = 0;
    if (!PeekNamedPipe(handleOf(fd_), nullptr, 0, nullptr, &waiting, nullptr))
      return ReadResult::Ended;
    if (waiting > 0) {
      char buf[4096];
      DWORD got = 0;
      if (!ReadFile(handleOf(fd_), buf, std::min<DWORD>(waiting, sizeof buf), &got, nullptr) ||
          got == 0)
        return ReadResult::Ended;
      out.append(buf, got);
      return ReadResult::Data;
    }
    if (std::chrono::steady_clock::now() >= deadline) return ReadResult::TimedOut;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

int PipedProcess::finish(std::uint32_t ms) {
  if (pid_ <= 0) return -1;
  if (reaped_) return status_;
  closeInput();
  const HANDLE process = handleOf(pid_);
  DWORD code = 0;
  if (WaitForSingleObject(process, ms) == WAIT_OBJECT_0 && GetExitCodeProcess(process, &code)) {
    reaped_ = true;
    status_ = static_cast<int>(code);
    return status_;
  }
  TerminateProcess(process, 1);
  WaitForSingleObject(process, INFINITE);
  reaped_ = true;
  status_ = -1;
  return status_;
}

// Names compare without regard to case, as Windows treats them.
std::vector<std::string> environmentWith(const std::vector<std::string>& overrides) {
  const auto nameOf = [](const std::string& entry) {
    return lowerAscii(entry.substr(0, entry.find('=', 1)));
  };
  std::vector<std::string> env;
  wchar_t* block = GetEnvironmentStringsW();
  for (const wchar_t* e = block; e && *e; e += wcslen(e) + 1) {
    const std::string entry = utf8FromWide(e);
    const bool replaced =
        std::any_of(overrides.begin(), overrides.end(),
                    [&](const std::string& o) { return nameOf(o) == nameOf(entry); });
    if (!replaced) env.push_back(entry);
  }
  if (block) FreeEnvironmentStringsW(block);
  env.insert(env.end(), overrides.begin(), overrides.end());
  return env;
}

}  // namespace ravelin::platform

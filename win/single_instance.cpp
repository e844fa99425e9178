#include "win/single_instance.h"

#include <cstring>

#include "platform/wide_text.h"

namespace ravelin::win {

namespace {

// The window property that holds the instance's digest, and the tag of a hand-over.
constexpr const wchar_t* kInstanceProperty = L"RavelinInstance";
constexpr ULONG_PTR kHandOverTag = 0x52766e31;  // "Rvn1"
// A path names at most this many bytes; a longer message is no hand-over.
constexpr DWORD kMaxPath = 64 * 1024;

// The full path as Windows resolves it, in upper case: one spelling for one file.
std::wstring foldedFullPath(const std::string& path) {
  const std::wstring wide = platform::wideFromUtf8(path);
  std::wstring full(MAX_PATH, L'\0');
  for (int round = 0; round < 2; ++round) {
    const DWORD length =
        GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) {
      full = wide;
      break;
    }
    if (length < full.size()) {
      full.resize(length);
      break;
    }
    full.resize(length);
  }
  CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
  return full;
}

struct WindowSearch {
  std::uint64_t digest;
  HWND found = nullptr;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<WindowSearch*>(param);
  wchar_t className[32] = L"";
  GetClassNameW(window, className, 32);
  if (std::wcscmp(className, L"RavelinMainWindow") != 0) return TRUE;
  if (reinterpret_cast<std::uintptr_t>(GetPropW(window, kInstanceProperty)) !=
      static_cast<std::uintptr_t>(search.digest))
    return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

Instance::Instance(const std::string& iniFile) {
  // FNV-1a over the folded path's UTF-16 units: the same digest in every build, and no
  // system service that could fail.
  digest_ = 0xcbf29ce484222325ull;
  for (const wchar_t unit : foldedFullPath(iniFile)) {
    digest_ = (digest_ ^ (unit & 0xff)) * 0x100000001b3ull;
    digest_ = (digest_ ^ (unit >> 8)) * 0x100000001b3ull;
  }
  wchar_t hex[17];
  swprintf(hex, 17, L"%016llx", static_cast<unsigned long long>(digest_));
  // Local\: the user's session, as the window that answers lies on its desktop.
  mutexName_ = std::wstring(L"Local\\ravelin-") + hex;
}

bool Instance::tryClaim() {
  KernelHandle mutex(CreateMutexW(nullptr, FALSE, mutexName_.c_str()));
  // A mutex that cannot be made at all leaves the program to serve the user alone.
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) return false;
  mutex_ = std::move(mutex);
  return true;
}

HWND Instance::findWindow() const {
  WindowSearch search{digest_};
  EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HandOver Instance::claimOrHandOver(const std::string& script, DWORD waitMs) {
  // The holder may still be starting (no window yet) or ending (no mutex soon): both are
  // looked at again until the wait is over.
  const ULONGLONG deadline = GetTickCount64() + waitMs;
  do {
    if (tryClaim()) return HandOver::NoneRunning;
    if (HWND window = findWindow()) {
      DWORD process = 0;
      GetWindowThreadProcessId(window, &process);
      // The user started this program: the running one may come to the front in its place.
      AllowSetForegroundWindow(process);
      COPYDATASTRUCT data{kHandOverTag, static_cast<DWORD>(script.size()),
                          const_cast<char*>(script.data())};
      DWORD_PTR answer = FALSE;
      const ULONGLONG now = GetTickCount64();
      const UINT left = now < deadline ? static_cast<UINT>(deadline - now) : 1;
      if (!SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                               SMTO_ABORTIFHUNG, left, &answer))
        return HandOver::NoAnswer;
      return answer == TRUE ? HandOver::Taken : HandOver::NoAnswer;
    }
    Sleep(50);
  } while (GetTickCount64() < deadline);
  return HandOver::NoAnswer;
}

void Instance::markWindow(HWND window) const {
  // The value is a number, no resource: the property goes with the window.
  SetPropW(window, kInstanceProperty,
           reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(digest_)));
}

std::optional<std::string> Instance::handedScript(LPARAM copyData) {
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(copyData);
  if (!data || data->dwData != kHandOverTag || data->cbData > kMaxPath) return std::nullopt;
  if (data->cbData == 0) return std::string();
  std::string path(static_cast<const char*>(data->lpData), data->cbData);
  if (path.find('\0') != std::string::npos) return std::nullopt;
  return path;
}

}  // namespace ravelin::win

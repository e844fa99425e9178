// A stand-in for eMule's main window in the hand-over tests (Windows only):
//   fake_emule FILE         answers eMule's registered message with its value and appends
//                           each ed2k link it is sent to FILE as a UTF-8 line
//   fake_emule FILE --hang  the same, but never returns from the first link it is sent
//                           (it sleeps a few minutes), as a hung eMule would
// A link that does not end in its NUL is recorded as "unterminated: " + the text. Exits 2
// when its window cannot be made (wine without an X display makes no windows), and ends
// itself after ten minutes should the test that started it not end it.
#include <windows.h>

#include <string>

namespace {

constexpr ULONG_PTR kLinkKind = 12000;
constexpr DWORD kHangMs = 3 * 60 * 1000;
constexpr UINT kLifetimeMs = 10 * 60 * 1000;

UINT searchMessage = 0;
const wchar_t* recordFile = nullptr;
bool hang = false;

void record(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string line(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), line.data(), n,
                      nullptr, nullptr);
  line += '\n';
  const HANDLE file = CreateFileW(recordFile, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == searchMessage) return searchMessage;
  if (message == WM_COPYDATA) {
    const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (copy->dwData != kLinkKind) return FALSE;
    if (hang) Sleep(kHangMs);
    const auto* chars = static_cast<const wchar_t*>(copy->lpData);
    const size_t count = copy->cbData / sizeof(wchar_t);
    if (count > 0 && chars[count - 1] == L'\0')
      record(std::wstring(chars, count - 1));
    else
      record(L"unterminated: " + std::wstring(chars, count));
    return TRUE;
  }
  if (message == WM_TIMER) DestroyWindow(window);
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 1;
  recordFile = argv[1];
  hang = argc > 2 && std::wstring(argv[2]) == L"--hang";
  searchMessage = RegisterWindowMessageW(L"EMULE-{4EADC6FC-516F-4b7c-9066-97D893649570}");

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"RavelinFakeEmule";
  if (!RegisterClassW(&windowClass)) return 2;
  // Top-level but never shown: the search reaches hidden windows too.
  const HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"fake eMule",
                                      WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 200, 100,
                                      nullptr, nullptr, windowClass.hInstance, nullptr);
  if (!window) return 2;
  SetTimer(window, 1, kLifetimeMs, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

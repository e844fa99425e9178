#include "win/text_room.h"

#include <optional>

#include "platform/wide_text.h"
#include "win/dpi.h"

namespace test {

namespace {

std::wstring className(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  return name;
}

std::wstring windowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// How the control lays its caption out: the room left for it beside what the control
// draws itself, and whether the caption breaks into lines.
struct CaptionLayout {
  int reservedWidth = 0;
  bool wraps = false;
  UINT extraFormat = 0;
};

std::optional<CaptionLayout> captionLayout(HWND control, int averageCharWidth) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
  const std::wstring kind = className(control);
  if (_wcsicmp(kind.c_str(), L"Static") == 0) {
    if (style & SS_ELLIPSISMASK) return std::nullopt;  // shortened on purpose
    const DWORD type = style & SS_TYPEMASK;
    const UINT prefix = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT)
      return CaptionLayout{0, true, prefix | DT_EXPANDTABS};
    if (type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP)
      return CaptionLayout{0, false, prefix | DT_EXPANDTABS};
    return std::nullopt;  // pictures and frames
  }
  if (_wcsicmp(kind.c_str(), L"Button") == 0) {
    const DWORD type = style & BS_TYPEMASK;
    const bool multiline = (style & BS_MULTILINE) != 0;
    const int dpi = static_cast<int>(ravelin::win::windowDpi(control));
    switch (type) {
      case BS_GROUPBOX:
        // The caption stands in the frame's top line, a character in from each corner.
        return CaptionLayout{2 * averageCharWidth, false, 0};
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
      case BS_3STATE:
      case BS_AUTO3STATE:
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON:
        // The box or circle (13 pixels at 96 DPI) and the gap after it.
        return CaptionLayout{MulDiv(13, dpi, 96) + averageCharWidth / 2, multiline, 0};
      case BS_PUSHBUTTON:
      case BS_DEFPUSHBUTTON:
        // The raised edge and the focus rectangle on both sides.
        return CaptionLayout{MulDiv(8, dpi, 96), multiline, 0};
      default:
        return std::nullopt;
    }
  }
  return std::nullopt;
}

std::optional<std::string> withoutRoom(HWND control) {
  const std::wstring text = windowText(control);
  if (text.empty()) return std::nullopt;
  HDC dc = GetDC(control);
  const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  const HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const std::optional<CaptionLayout> layout = captionLayout(control, metrics.tmAveCharWidth);
  RECT client{};
  GetClientRect(control, &client);
  RECT needed{0, 0, client.right - (layout ? layout->reservedWidth : 0), 0};
  if (layout) {
    const UINT lines = layout->wraps ? DT_WORDBREAK : DT_SINGLELINE;
    DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | lines | layout->extraFormat);
  }
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  if (!layout) return std::nullopt;
  const int width = needed.right + layout->reservedWidth;
  if (width <= client.right && needed.bottom <= client.bottom) return std::nullopt;
  return "\"" + ravelin::platform::utf8FromWide(text) + "\" (" +
         ravelin::platform::utf8FromWide(className(control)) + ", needs " + std::to_string(width) +
         "x" + std::to_string(needed.bottom) + " in " + std::to_string(client.right) + "x" +
         std::to_string(client.bottom) + ")";
}

}  // namespace

std::vector<std::string> textsWithoutRoom(HWND window) {
  std::vector<std::string> found;
  EnumChildWindows(
      window,
      [](HWND control, LPARAM list) {
        if (std::optional<std::string> line = withoutRoom(control))
          reinterpret_cast<std::vector<std::string>*>(list)->push_back(*line);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace test

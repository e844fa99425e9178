#include "win/dpi.h"

namespace ravelin::win {

UINT windowDpi(HWND window) {
  const UINT dpi = window ? GetDpiForWindow(window) : GetDpiForSystem();
  return dpi ? dpi : kDefaultDpi;
}

FontHandle messageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, dpi)) {
    // Before Windows 10 1607: the metrics at the system's DPI, scaled by hand.
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi),
                                            static_cast<int>(GetDpiForSystem()));
  }
  return FontHandle(CreateFontIndirectW(&metrics.lfMessageFont));
}

void setFontOfTree(HWND window, HFONT font) {
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  EnumChildWindows(
      window,
      [](HWND child, LPARAM f) -> BOOL {
        SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(f), TRUE);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(font));
}

}  // namespace ravelin::win

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

IconHandle programIcon(UINT dpi, bool small) {
  const int size = GetSystemMetricsForDpi(small ? SM_CXSMICON : SM_CXICON, dpi);
  // The picture of that size from the icon's set, or the next larger one scaled down.
  return IconHandle(static_cast<HICON>(
      LoadImageW(programInstance(), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0)));
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

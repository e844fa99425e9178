#include "win/script_printing.h"

#include <commdlg.h>

#include <stdexcept>

#include "platform/wide_text.h"
#include "runtime/translate.h"
#include "win/dpi.h"
#include "win/script_text_box.h"
#include "win/window_metrics.h"

namespace ravelin::win {

namespace {

// The device context and settings that the print dialog hands out, freed on every path.
struct ChosenPrinter {
  PRINTDLGW dialog{};
  ChosenPrinter() { dialog.lStructSize = sizeof dialog; }
  ~ChosenPrinter() {
    if (dialog.hDC) DeleteDC(dialog.hDC);
    if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
  }
  ChosenPrinter(const ChosenPrinter&) = delete;
  ChosenPrinter& operator=(const ChosenPrinter&) = delete;
};

[[noreturn]] void printerRefused() {
  throw std::runtime_error(_("The script cannot be printed: the printer refused it."));
}

}  // namespace

int drawScriptPages(HDC dc, UINT dpi, int pageHeight, const std::vector<std::string>& lines,
                    const std::function<void()>& newPage) {
  const FontHandle font = scriptFont(dpi);
  const HGDIOBJ old = SelectObject(dc, font.get());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const int margin = scaled(kPrintMargin, dpi);
  const int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
  SetBkMode(dc, TRANSPARENT);
  int pages = 1;
  int top = margin;
  for (const std::string& line : lines) {
    // A page holds at least one line, however small it is.
    if (top > margin && top + lineHeight > pageHeight - margin) {
      newPage();
      ++pages;
      top = margin;
    }
    const std::wstring text = platform::wideFromUtf8(line);
    TextOutW(dc, margin, top, text.c_str(), static_cast<int>(text.size()));
    top += lineHeight;
  }
  SelectObject(dc, old);
  return pages;
}

bool printScript(HWND owner, const std::string& title, const std::vector<std::string>& lines) {
  ChosenPrinter printer;
  printer.dialog.hwndOwner = owner;
  printer.dialog.Flags =
      PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
  if (!PrintDlgW(&printer.dialog)) {
    if (CommDlgExtendedError() == 0) return false;
    throw std::runtime_error(_("No printer can be used."));
  }
  HDC dc = printer.dialog.hDC;
  const std::wstring name = platform::wideFromUtf8(title);
  DOCINFOW document{};
  document.cbSize = sizeof document;
  document.lpszDocName = name.c_str();
  if (StartDocW(dc, &document) <= 0) printerRefused();
  bool refused = StartPage(dc) <= 0;
  if (!refused) {
    drawScriptPages(dc, static_cast<UINT>(GetDeviceCaps(dc, LOGPIXELSY)),
                    GetDeviceCaps(dc, VERTRES), lines,
                    [&] { refused = refused || EndPage(dc) <= 0 || StartPage(dc) <= 0; });
    refused = refused || EndPage(dc) <= 0;
  }
  if (refused) {
    AbortDoc(dc);
    printerRefused();
  }
  if (EndDoc(dc) <= 0) printerRefused();
  return true;
}

}  // namespace ravelin::win

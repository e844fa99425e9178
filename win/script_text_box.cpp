#include "win/script_text_box.h"

#include <richedit.h>

#include <algorithm>
#include <stdexcept>

#include "platform/wide_text.h"
#include "win/dpi.h"
#include "win/window_metrics.h"

namespace ravelin::win {

namespace {

// The RichEdit of today's Windows lives in msftedit.dll, loaded once for the program.
void loadRichEdit() {
  static const HMODULE library = LoadLibraryW(L"msftedit.dll");
  if (!library) throw std::runtime_error("msftedit.dll cannot be loaded");
}

// The control keeps a paragraph's end as one CR; the document's lines end in LF.
std::wstring controlText(const std::string& text) {
  std::wstring wide = platform::wideFromUtf8(text);
  std::wstring result;
  result.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    if (wide[i] == L'\r' && i + 1 < wide.size() && wide[i + 1] == L'\n') continue;
    result += wide[i] == L'\n' ? L'\r' : wide[i];
  }
  return result;
}

}  // namespace

FontHandle scriptFont(UINT dpi) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(kScriptFontPointSize, static_cast<int>(dpi), 72);
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  wcscpy_s(font.lfFaceName, L"Consolas");
  return FontHandle(CreateFontIndirectW(&font));
}

ScriptTextBox::ScriptTextBox(HWND parent, int id) {
  loadRichEdit();
  static const WindowClass gutterClass(L"RavelinLineNumbers", gutterProc);
  gutter_ = CreateWindowExW(0, gutterClass.name(), L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                            nullptr, programInstance(), this);
  edit_ = CreateWindowExW(0, MSFTEDIT_CLASS, L"",
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP |
                              ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL |
                              ES_WANTRETURN | ES_DISABLENOSCROLL,
                          0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          programInstance(), nullptr);
  if (!gutter_ || !edit_) throw std::runtime_error("The script's text box cannot be created.");
  SendMessageW(edit_, EM_SETTEXTMODE, TM_PLAINTEXT | TM_MULTILEVELUNDO, 0);
  // No word wrap: a line of the script is a line on screen, numbered once.
  SendMessageW(edit_, EM_SETTARGETDEVICE, 0, 1);
  SendMessageW(edit_, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SCROLL | ENM_UPDATE);
  SendMessageW(edit_, EM_EXLIMITTEXT, 0, 64 * 1024 * 1024);
}

void ScriptTextBox::applyDpi(UINT dpi) {
  dpi_ = dpi;
  FontHandle fixed = scriptFont(dpi);
  SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(fixed.get()), TRUE);
  // A little room between the line numbers and the text.
  SendMessageW(edit_, EM_SETMARGINS, EC_LEFTMARGIN, MAKELONG(scaled(kLineNumberPadding, dpi), 0));
  font_ = std::move(fixed);
  place(area_);
}

int ScriptTextBox::gutterWidth() const {
  HDC dc = GetDC(gutter_);
  const HGDIOBJ old = SelectObject(dc, font_.get());
  SIZE nine{};
  GetTextExtentPoint32W(dc, L"9", 1, &nine);
  SelectObject(dc, old);
  ReleaseDC(gutter_, dc);
  return 3 * scaled(kLineNumberPadding, dpi_) + nine.cx * std::max(digits_, 1);
}

void ScriptTextBox::place(const RECT& area) {
  area_ = area;
  digits_ = lineDigits();
  const int gutter = gutterWidth();
  const int height = area.bottom - area.top;
  SetWindowPos(gutter_, nullptr, area.left, area.top, gutter, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(edit_, nullptr, area.left + gutter, area.top,
               std::max(0L, area.right - area.left - gutter), height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(gutter_, nullptr, TRUE);
}

void ScriptTextBox::changed(int code) {
  if (code != EN_CHANGE && code != EN_UPDATE && code != EN_VSCROLL) return;
  // A line more or less can take a digit more or less.
  if (code == EN_CHANGE && lineDigits() != digits_) place(area_);
  InvalidateRect(gutter_, nullptr, TRUE);
}

LRESULT CALLBACK ScriptTextBox::gutterProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  ScriptTextBox* self = windowObject<ScriptTextBox>(window, message, lParam);
  if (self && message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    self->paintGutter(dc, paint.rcPaint);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void ScriptTextBox::paintGutter(HDC dc, const RECT& area) const {
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
  RECT client{};
  GetClientRect(gutter_, &client);
  const HGDIOBJ oldFont = SelectObject(dc, font_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  // Each visible line's number at the height the text control shows the line.
  POINT origin{0, 0};
  MapWindowPoints(edit_, gutter_, &origin, 1);
  const int lines = lineCount();
  for (int line = static_cast<int>(SendMessageW(edit_, EM_GETFIRSTVISIBLELINE, 0, 0)); line < lines;
       ++line) {
    const auto first = static_cast<LPARAM>(SendMessageW(edit_, EM_LINEINDEX, line, 0));
    POINTL at{};
    SendMessageW(edit_, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), first);
    const int top = origin.y + at.y;
    if (top > client.bottom) break;
    RECT cell{0, top, client.right - 2 * scaled(kLineNumberPadding, dpi_), client.bottom};
    const std::wstring number = std::to_wstring(line + 1);
    DrawTextW(dc, number.c_str(), static_cast<int>(number.size()), &cell,
              DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  }
  SelectObject(dc, oldFont);
}

std::string ScriptTextBox::text() const {
  GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
  const auto count = static_cast<size_t>(
      SendMessageW(edit_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
  std::wstring wide(count + 1, L'\0');
  GETTEXTEX get{static_cast<DWORD>(wide.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr,
                nullptr};
  wide.resize(static_cast<size_t>(SendMessageW(edit_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                               reinterpret_cast<LPARAM>(wide.data()))));
  std::replace(wide.begin(), wide.end(), L'\r', L'\n');
  return platform::utf8FromWide(wide);
}

void ScriptTextBox::setText(const std::string& text) {
  SetWindowTextW(edit_, controlText(text).c_str());
  SendMessageW(edit_, EM_EMPTYUNDOBUFFER, 0, 0);
  SendMessageW(edit_, EM_SETSEL, 0, 0);
  place(area_);
}

void ScriptTextBox::append(const std::string& text) {
  SendMessageW(edit_, EM_SETSEL, -1, -1);
  SendMessageW(edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(controlText(text).c_str()));
}

void ScriptTextBox::setCaret(size_t line, size_t column) {
  const auto first = SendMessageW(edit_, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
  if (first < 0) return;
  // The column counts bytes of UTF-8; the control counts UTF-16 units.
  const auto length = SendMessageW(edit_, EM_LINELENGTH, static_cast<WPARAM>(first), 0);
  std::wstring wide(static_cast<size_t>(std::max<LRESULT>(length, 1)) + 1, L'\0');
  *reinterpret_cast<WORD*>(wide.data()) = static_cast<WORD>(wide.size());
  wide.resize(static_cast<size_t>(SendMessageW(edit_, EM_GETLINE, static_cast<WPARAM>(line),
                                               reinterpret_cast<LPARAM>(wide.data()))));
  const std::string before = platform::utf8FromWide(wide).substr(0, column);
  const auto at = first + static_cast<LRESULT>(platform::wideFromUtf8(before).size());
  SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(at), at);
  SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
}

void ScriptTextBox::selectLine(size_t line) {
  const auto first = SendMessageW(edit_, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
  if (first < 0) return;
  const auto length = SendMessageW(edit_, EM_LINELENGTH, static_cast<WPARAM>(first), 0);
  SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(first), first + length);
  SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
  SetFocus(edit_);
  InvalidateRect(gutter_, nullptr, TRUE);
}

bool ScriptTextBox::modified() const {
  return SendMessageW(edit_, EM_GETMODIFY, 0, 0) != 0;
}

void ScriptTextBox::setModified(bool modified) {
  SendMessageW(edit_, EM_SETMODIFY, modified, 0);
}

int ScriptTextBox::lineDigits() const {
  return static_cast<int>(std::to_wstring(std::max(1, lineCount())).size());
}

int ScriptTextBox::lineCount() const {
  return static_cast<int>(SendMessageW(edit_, EM_GETLINECOUNT, 0, 0));
}

}  // namespace ravelin::win

#include "win/dialog.h"

#include "platform/wide_text.h"
#include "win/window_place.h"

namespace ravelin::win {

namespace {

// Marks a window as a dialog of this program.
constexpr const wchar_t* kDialogProperty = L"ravelin.dialog";

}  // namespace

Dialog::~Dialog() {
  if (window_ && !modal_) DestroyWindow(window_);
}

INT_PTR Dialog::runModal(HWND owner) {
  modal_ = true;
  DialogTemplate form = layout();
  const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), form.get(), owner, proc,
                                                 reinterpret_cast<LPARAM>(this));
  window_ = nullptr;
  return result;
}

void Dialog::createModeless(HWND owner) {
  if (window_) return;
  modal_ = false;
  DialogTemplate form = layout();
  CreateDialogIndirectParamW(GetModuleHandleW(nullptr), form.get(), owner, proc,
                             reinterpret_cast<LPARAM>(this));
}

void Dialog::end(INT_PTR result) {
  if (modal_)
    EndDialog(window_, result);
  else
    ShowWindow(window_, SW_HIDE);
}

void Dialog::focusItem(int id) {
  SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(id)), TRUE);
}

void Dialog::setItemText(int id, const std::string& text) {
  SetDlgItemTextW(window_, id, platform::wideFromUtf8(text).c_str());
}

std::string Dialog::itemText(int id) const {
  const HWND control = item(id);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return platform::utf8FromWide(text);
}

FontHandle Dialog::boldFont(int sizePercent) const {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0)), sizeof font, &font);
  font.lfHeight = MulDiv(font.lfHeight, sizePercent, 100);
  font.lfWeight = FW_BOLD;
  return FontHandle(CreateFontIndirectW(&font));
}

RECT Dialog::pixels(RECT units) const {
  MapDialogRect(window_, &units);
  return units;
}

void Dialog::growToText(int id) {
  const HWND control = item(id);
  RECT box{};
  GetClientRect(control, &box);
  const int before = box.bottom;
  const std::wstring text = platform::wideFromUtf8(itemText(id));
  const HDC dc = GetDC(control);
  const HGDIOBJ font =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
            DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  SelectObject(dc, font);
  ReleaseDC(control, dc);
  const int grown = box.bottom - before;
  RECT place{};
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&place), 2);
  for (HWND other = GetWindow(window_, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
    RECT at{};
    GetWindowRect(other, &at);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&at), 2);
    if (other == control)
      SetWindowPos(other, nullptr, 0, 0, at.right - at.left, at.bottom - at.top + grown,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    else if (at.top >= place.bottom)
      SetWindowPos(other, nullptr, at.left, at.top + grown, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RECT client{};
  GetClientRect(window_, &client);
  fitClient(client.right, client.bottom + grown);
}

void Dialog::placeItem(int id, RECT rect) {
  SetWindowPos(item(id), nullptr, rect.left, rect.top, rect.right - rect.left,
               rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Dialog::fitClient(int width, int height) {
  RECT frame{0, 0, width, height};
  AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)),
                           GetDpiForWindow(window_));
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Dialog::centreOverOwner() {
  const HWND owner = GetWindow(window_, GW_OWNER);
  centreOver(window_, owner ? owner : GetDesktopWindow());
}

void Dialog::showInFront(int focusId) {
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  focusItem(focusId);
}

void Dialog::dropCloseBox() {
  SetWindowLongPtrW(window_, GWL_STYLE, GetWindowLongPtrW(window_, GWL_STYLE) & ~WS_SYSMENU);
  SetWindowPos(window_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

INT_PTR CALLBACK Dialog::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<Dialog*>(lParam);
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    SetPropW(window, kDialogProperty, window);
    self->window_ = window;
    self->created();
    // A modal dialog is on screen at once, not only when its loop first runs idle.
    if (self->modal_) ShowWindow(window, SW_SHOW);
    // The focus was set by created() where it matters.
    return FALSE;
  }
  auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!self) return FALSE;
  if (message == WM_COMMAND) {
    self->command(LOWORD(wParam), HIWORD(wParam));
    return TRUE;
  }
  if (message == WM_NCDESTROY) {
    RemovePropW(window, kDialogProperty);
    self->window_ = nullptr;
    return FALSE;
  }
  if (const std::optional<INT_PTR> answer = self->message(message, wParam, lParam)) {
    // The colour messages take their brush as the answer itself.
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) return *answer;
    SetWindowLongPtrW(window, DWLP_MSGRESULT, *answer);
    return TRUE;
  }
  return FALSE;
}

bool isProgramDialog(HWND window) {
  return window && GetPropW(window, kDialogProperty) != nullptr;
}

}  // namespace ravelin::win

#include "win/dialog.h"

#include "platform/wide_text.h"

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

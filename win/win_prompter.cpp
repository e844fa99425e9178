#include "win/win_prompter.h"

#include "platform/wide_text.h"

namespace ravelin::win {

namespace {

UINT boxIcon(runtime::MsgIcon icon) {
  switch (icon) {
    case runtime::MsgIcon::Error:
      return MB_ICONERROR;
    case runtime::MsgIcon::Exclamation:
      return MB_ICONWARNING;
    case runtime::MsgIcon::Question:
      return MB_ICONQUESTION;
    case runtime::MsgIcon::Information:
      return MB_ICONINFORMATION;
    case runtime::MsgIcon::None:
      break;
  }
  return 0;
}

UINT boxButtons(runtime::MsgButtons buttons) {
  switch (buttons) {
    case runtime::MsgButtons::Ok:
      return MB_OK;
    case runtime::MsgButtons::OkCancel:
      return MB_OKCANCEL;
    case runtime::MsgButtons::YesNo:
      return MB_YESNO;
    case runtime::MsgButtons::YesNoCancel:
      return MB_YESNOCANCEL;
  }
  return MB_OK;
}

bool isEnabledTopLevel(HWND window) {
  return window && IsWindowVisible(window) && IsWindowEnabled(window) &&
         !(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD);
}

}  // namespace

HWND frontWindow(HWND mainWindow) {
  // GetActiveWindow answers for this thread's queue only: a window of another program in
  // front is never taken.
  HWND active = GetActiveWindow();
  if (isEnabledTopLevel(active)) return active;
  return mainWindow;
}

runtime::MsgResult WinPrompter::message(const std::string& title, const std::string& text,
                                        runtime::MsgIcon icon, runtime::MsgButtons buttons) {
  // The texts carry Windows' line breaks already; MessageBox takes them as they are.
  // MB_TASKMODAL keeps the thread's other windows from input while no window owns the box.
  HWND owner = frontWindow(mainWindow_);
  const UINT style =
      boxIcon(icon) | boxButtons(buttons) | MB_SETFOREGROUND | (owner ? 0u : MB_TASKMODAL);
  switch (MessageBoxW(owner, platform::wideFromUtf8(text).c_str(),
                      platform::wideFromUtf8(title).c_str(), style)) {
    case IDYES:
      return runtime::MsgResult::Yes;
    case IDNO:
      return runtime::MsgResult::No;
    case IDCANCEL:
      return runtime::MsgResult::Cancel;
    default:
      break;
  }
  return runtime::MsgResult::Ok;
}

}  // namespace ravelin::win

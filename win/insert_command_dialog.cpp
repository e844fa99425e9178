#include "win/insert_command_dialog.h"

#include "desk/dialog_texts.h"
#include "platform/wide_text.h"
#include "win/ui_text.h"

namespace ravelin::win {

const script::ScriptCommandInfo* InsertCommandDialog::choose(HWND owner) {
  chosen_ = -1;
  if (runModal(owner) != IDOK || chosen_ < 0) return nullptr;
  return &script::scriptCommands()[static_cast<size_t>(chosen_)];
}

DialogTemplate InsertCommandDialog::layout() const {
  DialogTemplate form(uiText(desk::kInsertCommandCaption), 380, 236, DS_CENTER);
  form.add(DialogTemplate::kStatic, uiText(desk::kChooseCommandLabel), -1, {7, 7, 186, 17}, 0);
  form.add(DialogTemplate::kListBox, L"", kCommandsId, {7, 17, 186, 206},
           LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP);
  form.add(DialogTemplate::kStatic, uiText(desk::kDescriptionLabel), -1, {194, 7, 373, 17}, 0);
  form.add(DialogTemplate::kEdit, L"", kDescriptionId, {194, 17, 373, 206},
           ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_BORDER | WS_TABSTOP);
  form.add(DialogTemplate::kButton, uiText(desk::kOkCaption), IDOK, {263, 214, 313, 229},
           BS_DEFPUSHBUTTON | WS_TABSTOP | WS_DISABLED);
  form.add(DialogTemplate::kButton, uiText(desk::kCancelCaption), IDCANCEL, {319, 214, 373, 229},
           BS_PUSHBUTTON | WS_TABSTOP);
  return form;
}

void InsertCommandDialog::created() {
  for (const script::ScriptCommandInfo& info : script::scriptCommands())
    SendMessageW(item(kCommandsId), LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(platform::wideFromUtf8(info.entry).c_str()));
  // Over the script editor, which stays on top.
  SetWindowPos(window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  focusItem(kCommandsId);
}

void InsertCommandDialog::showDescription() {
  const auto row = static_cast<int>(SendMessageW(item(kCommandsId), LB_GETCURSEL, 0, 0));
  EnableWindow(item(IDOK), row >= 0);
  if (row < 0) return;
  // The description's lines end in CR LF, as the edit control breaks them.
  setItemText(kDescriptionId,
              script::scriptCommandDescription(script::scriptCommands()[static_cast<size_t>(row)]));
}

void InsertCommandDialog::command(int id, int code) {
  if (id == kCommandsId && code == LBN_SELCHANGE) showDescription();
  const bool take = (id == kCommandsId && code == LBN_DBLCLK) || (id == IDOK && code == BN_CLICKED);
  if (take) chosen_ = static_cast<int>(SendMessageW(item(kCommandsId), LB_GETCURSEL, 0, 0));
  if (take && chosen_ >= 0) end(IDOK);
  if (id == IDCANCEL) end(IDCANCEL);
}

}  // namespace ravelin::win

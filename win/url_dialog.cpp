#include "win/url_dialog.h"

#include <iterator>

#include "app/options_rules.h"
#include "desk/dialog_texts.h"
#include "platform/wide_text.h"
#include "win/ui_text.h"

namespace ravelin::win {

namespace {

constexpr int kWidth = 300;

}  // namespace

std::optional<runtime::UrlSource> UrlDialog::run(HWND owner, const runtime::UrlSource* current) {
  editing_ = current != nullptr;
  shown_ = current ? *current : runtime::UrlSource{runtime::SourceKind::HTML, "http://"};
  entry_.reset();
  runModal(owner);
  return entry_;
}

DialogTemplate UrlDialog::layout() const {
  DialogTemplate form(L"", kWidth, 68, DS_CENTER);
  form.add(DialogTemplate::kStatic, L"", kInfoId, {7, 7, kWidth - 7, 15}, SS_NOPREFIX);
  form.add(DialogTemplate::kComboBox, L"", kKindId, {7, 19, 67, 80},
           CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP);
  form.add(DialogTemplate::kEdit, L"", kUrlId, {71, 19, kWidth - 7, 31},
           ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP);
  form.add(DialogTemplate::kButton, uiText(desk::kOkCaption), IDOK,
           {kWidth - 113, 47, kWidth - 63, 61}, BS_DEFPUSHBUTTON | WS_TABSTOP);
  form.add(DialogTemplate::kButton, uiText(desk::kCancelCaption), IDCANCEL,
           {kWidth - 57, 47, kWidth - 7, 61}, BS_PUSHBUTTON | WS_TABSTOP);
  return form;
}

void UrlDialog::created() {
  SetWindowTextW(window(), uiText(editing_ ? desk::kUrlEditCaption : desk::kUrlAddCaption).c_str());
  setItemText(kInfoId, _(editing_ ? desk::kUrlEditLabel : desk::kUrlAddLabel));
  const std::string kind = app::urlKindName(shown_);
  for (size_t i = 0; i < std::size(app::kUrlKindNames); ++i) {
    const char* name = app::kUrlKindNames[i];
    SendMessageW(item(kKindId), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(uiText(name).c_str()));
    if (kind == name) SendMessageW(item(kKindId), CB_SETCURSEL, i, 0);
  }
  setItemText(kUrlId, shown_.location);
  SetWindowPos(window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  focusItem(kUrlId);
}

void UrlDialog::command(int id, int code) {
  if (code != BN_CLICKED) return;
  if (id == IDOK) {
    const auto kind = SendMessageW(item(kKindId), CB_GETCURSEL, 0, 0);
    const char* name = app::kUrlKindNames[kind > 0 ? kind : 0];
    // The location keeps its bytes while the user left it as it was.
    const std::string typed = itemText(kUrlId);
    const bool unchanged = platform::wideFromUtf8(typed) == platform::wideFromUtf8(shown_.location);
    entry_ = app::urlFromDialog(app::urlKindFromName(name), unchanged ? shown_.location : typed);
  }
  if (id == IDOK || id == IDCANCEL) end(id);
}

}  // namespace ravelin::win

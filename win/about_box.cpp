#include "win/about_box.h"

#include <commctrl.h>
#include <shellapi.h>

#include "desk/dialog_texts.h"
#include "platform/wide_text.h"
#include "win/ui_text.h"

namespace ravelin::win {

using platform::wideFromUtf8;

namespace {

constexpr int kWidth = 240;
// Room for the longest caption of a translation ("Nombre del producto:" in Spanish).
constexpr int kValueLeft = 96;
constexpr int kLineHeight = 14;

}  // namespace

DialogTemplate AboutBox::layout() const {
  const std::vector<desk::AboutLine> lines = desk::aboutLines(facts_);
  const int buttonsTop = 10 + static_cast<int>(lines.size()) * kLineHeight + 10;
  DialogTemplate form(wideFromUtf8(desk::aboutCaption(facts_)), kWidth,
                      static_cast<short>(buttonsTop + 21), DS_CENTER);
  int top = 10;
  for (size_t i = 0; i < lines.size(); ++i, top += kLineHeight) {
    const int id = kFirstLineId + 2 * static_cast<int>(i);
    form.add(DialogTemplate::kStatic, wideFromUtf8(lines[i].caption), id,
             {12, top + 2, kValueLeft - 4, top + 10}, SS_NOPREFIX | SS_LEFTNOWORDWRAP);
    const RECT value{kValueLeft, top + (i == 0 ? 0 : 2), kWidth - 12, top + 12};
    if (lines[i].link)
      form.add(WC_LINK, L"<a>" + wideFromUtf8(lines[i].value) + L"</a>", kLinkId, value,
               WS_TABSTOP);
    else
      form.add(DialogTemplate::kStatic, wideFromUtf8(lines[i].value), id + 1, value,
               SS_NOPREFIX | SS_ENDELLIPSIS);
  }
  form.add(DialogTemplate::kButton, uiText(desk::kCloseCaption), IDOK,
           {kWidth / 2 - 25, buttonsTop, kWidth / 2 + 25, buttonsTop + 14},
           BS_DEFPUSHBUTTON | WS_TABSTOP);
  return form;
}

void AboutBox::created() {
  // The product's name in bold, larger than the dialog's font.
  titleFont_ = boldFont(140);
  SendMessageW(item(kFirstLineId + 1), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()),
               TRUE);
  focusItem(IDOK);
}

void AboutBox::command(int id, int code) {
  // Close, Enter and Escape all close the box.
  if (code == BN_CLICKED && (id == IDOK || id == IDCANCEL)) end(id);
}

std::optional<INT_PTR> AboutBox::message(UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_NOTIFY) return std::nullopt;
  const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
  if (header.idFrom != kLinkId || (header.code != NM_CLICK && header.code != NM_RETURN))
    return std::nullopt;
  ShellExecuteW(window(), L"open", wideFromUtf8(facts_.homepage).c_str(), nullptr, nullptr,
                SW_SHOWNORMAL);
  return 0;
}

}  // namespace ravelin::win

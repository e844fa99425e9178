#include "win/options_dialog.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <charconv>

#include "app/options_rules.h"
#include "app/settings_store.h"
#include "desk/dialog_texts.h"
#include "platform/wide_text.h"
#include "win/ui_text.h"

namespace ravelin::win {

namespace {

// The controls by the ravelin.ini key they edit. A number's arrows have the id after its
// box; a choice of two has its "no" radio button there.
struct KeyedControl {
  const char* key;
  int id;
};
constexpr KeyedControl kControls[] = {{"EDPath", 110},
                                      {"EDFilename", 112},
                                      {"EDGUI", 113},
                                      {"ECHost", 115},
                                      {"ECPort", 116},
                                      {"ECPassword", 118},
                                      {"MetAddressTags", 119},
                                      {"ProxyAddr", 120},
                                      {"ProxyPort", 121},
                                      {"LOG", 122},
                                      {"IPFilterFile", 123},
                                      {"UpdateInfoURL", 125},
                                      {"UpdThreadCount", 140},
                                      {"UpdTimeout", 142},
                                      {"MaxListMB", 144},
                                      {"VrfParallel", 150},
                                      {"VrfProxyParallel", 152},
                                      {"VrfThreadCount", 154},
                                      {"VrfTimeout", 156},
                                      {"VrfWarning", 158},
                                      {"VrfUdpStatus", 159},
                                      {"ScrSyntaxCheck", 170},
                                      {"ScrExecOrEdit", 171}};
constexpr int kSearchId = 111;
constexpr int kBrowseId = 124;
constexpr int kIniPathId = 126;
constexpr int kLogFolderId = 127;

int idOf(std::string_view key) {
  for (const KeyedControl& control : kControls)
    if (key == control.key) return control.id;
  return 0;
}

// A spin box's range, and whether it takes typing (the others change only by their arrows).
struct SpinRange {
  const char* key;
  int min, max;
  bool typeable;
};
constexpr SpinRange kSpins[] = {
    {"ECPort", 1, 65535, true},
    {"UpdThreadCount", app::kUpdThreadCountMin, app::kUpdThreadCountMax, false},
    {"UpdTimeout", app::kTimeoutMin, app::kTimeoutMax, false},
    {"MaxListMB", runtime::kMaxListMBMin, runtime::kMaxListMBMax, true},
    {"VrfParallel", app::kVrfParallelMin, app::kVrfParallelMax, true},
    {"VrfProxyParallel", app::kVrfParallelMin, app::kVrfParallelMax, true},
    {"VrfThreadCount", app::kVrfThreadCountMin, app::kVrfThreadCountMax, false},
    {"VrfTimeout", app::kTimeoutMin, app::kTimeoutMax, false}};

const SpinRange& spinOf(std::string_view key) {
  return *std::find_if(std::begin(kSpins), std::end(kSpins),
                       [key](const SpinRange& spin) { return key == spin.key; });
}

// The pages' size, in dialog units.
// Wide enough for the longest translation of each caption (the translations' test checks).
constexpr int kPageWidth = 360;
constexpr int kPageHeight = 296;
constexpr int kMargin = 7;
constexpr int kRight = kPageWidth - kMargin;
constexpr int kButtonWidth = 62;

constexpr DWORD kEditStyle = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP;
constexpr DWORD kCheckStyle = BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP;

// Builds a page top to bottom; the order of the calls is the tab order.
class PageBuilder {
 public:
  PageBuilder() : form_(L"", kPageWidth, kPageHeight, WS_CHILD) {}
  DialogTemplate& form() { return form_; }

  void label(const std::wstring& caption, int id = -1, int left = kMargin, int right = kRight,
             int lines = 1) {
    form_.add(DialogTemplate::kStatic, caption, id, {left, top_ + 2, right, top_ + 2 + 8 * lines},
              SS_NOPREFIX | WS_GROUP);
  }
  void edit(int id, int left, int right, DWORD style = 0) {
    form_.add(DialogTemplate::kEdit, L"", id, {left, top_, right, top_ + 12}, kEditStyle | style);
  }
  void button(int id, const char* caption, int left) {
    form_.add(DialogTemplate::kButton, uiText(caption), id,
              {left, top_ - 1, left + kButtonWidth, top_ + 13},
              BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP);
  }
  // A check box; a long caption wraps to a second line.
  void check(int id, const std::wstring& caption, int lines = 1) {
    form_.add(DialogTemplate::kButton, caption, id, {kMargin, top_, kRight, top_ + 2 + 8 * lines},
              kCheckStyle | (lines > 1 ? BS_MULTILINE | BS_TOP : 0));
  }
  // Two radio buttons under each other: the first means yes.
  void choice(int id, const char* yes, const char* no, int left = kMargin) {
    form_.add(DialogTemplate::kButton, uiText(yes), id, {left, top_, kRight - left, top_ + 10},
              BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP);
    next(12);
    form_.add(DialogTemplate::kButton, uiText(no), id + 1, {left, top_, kRight - left, top_ + 10},
              BS_AUTORADIOBUTTON);
  }
  // A number box with its arrows.
  void spin(const char* key, int left) {
    const int id = idOf(key);
    edit(id, left, left + 40, ES_NUMBER | (spinOf(key).typeable ? 0 : ES_READONLY));
    form_.add(UPDOWN_CLASSW, L"", id + 1, {left + 40, top_, left + 48, top_ + 12},
              UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS);
  }
  // A label before its number box.
  void labelledSpin(const char* caption, const char* key) {
    label(uiText(caption), -1, kMargin, 226);
    spin(key, 230);
    next(16);
  }
  // A label above a full-width box, a button beside it if any.
  void labelledEdit(const char* caption, int id, int buttonId = 0,
                    const char* buttonCaption = nullptr, DWORD style = 0) {
    label(uiText(caption));
    next(10);
    const int right = buttonId ? kRight - kButtonWidth - 4 : kRight;
    edit(id, kMargin, right, style);
    if (buttonId) button(buttonId, buttonCaption, right + 4);
    next(15);
  }
  void next(int units) { top_ += units; }
  int top() const { return top_; }

 private:
  DialogTemplate form_;
  int top_ = kMargin;
};

int spinOrZero(HWND box, const SpinRange& range) {
  std::wstring typed(16, L'\0');
  typed.resize(static_cast<size_t>(GetWindowTextW(box, typed.data(), 16)));
  const std::string digits = platform::utf8FromWide(typed);
  int value = range.min;
  std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return std::clamp(value, range.min, range.max);
}

}  // namespace

OptionsDialog::OptionsDialog(app::AppSession& session)
    : session_(session), presenter_(session, *this), urls_(session.context()) {}

bool OptionsDialog::run(HWND owner) {
  return runModal(owner) == IDOK;
}

DialogTemplate OptionsDialog::layout() const {
  // The tab control holds a page and its row of tabs.
  constexpr int kTabsHeight = kPageHeight + 16;
  constexpr int kButtonsTop = 4 + kTabsHeight + 6;
  DialogTemplate form(uiText(desk::kOptionsDialogCaption), kPageWidth + 8,
                      kButtonsTop + 14 + kMargin, DS_CENTER);
  form.add(WC_TABCONTROLW, L"", kTabsId, {4, 4, 4 + kPageWidth, 4 + kTabsHeight}, WS_TABSTOP);
  form.add(DialogTemplate::kButton, uiText(desk::kOkCaption), IDOK,
           {kPageWidth - 2 * kButtonWidth - 2, kButtonsTop, kPageWidth - kButtonWidth - 6,
            kButtonsTop + 14},
           BS_DEFPUSHBUTTON | WS_TABSTOP);
  form.add(DialogTemplate::kButton, uiText(desk::kCancelCaption), IDCANCEL,
           {kPageWidth - kButtonWidth + 4, kButtonsTop, kPageWidth + 4, kButtonsTop + 14},
           BS_PUSHBUTTON | WS_TABSTOP);
  return form;
}

DialogTemplate OptionsDialog::pageLayout(int page) const {
  PageBuilder b;
  if (page == 0) {
    b.labelledEdit(desk::kClientFolderLabel, idOf("EDPath"), kSearchId, desk::kSearchCaption);
    b.labelledEdit(desk::kClientProgramLabel, idOf("EDFilename"));
    // The client's type: a group of two choices and the External Connection's fields.
    const int groupTop = b.top();
    b.form().add(DialogTemplate::kButton, uiText(desk::kClientTypeGroup), -1,
                 {kMargin, groupTop, kRight, groupTop + 70}, BS_GROUPBOX);
    b.next(12);
    b.choice(idOf("EDGUI"), desk::kLocalClientCaption, desk::kRemoteClientCaption, 15);
    b.next(16);
    b.label(uiText(desk::kEcLabel), -1, 15, 95);
    b.edit(idOf("ECHost"), 98, 200);
    b.label(L":", -1, 203, 208);
    b.spin("ECPort", 210);
    b.next(16);
    b.label(uiText(desk::kPasswordLabel), -1, 15, 95);
    b.edit(idOf("ECPassword"), 98, 200, ES_PASSWORD);
    b.next(22);
    b.check(idOf("MetAddressTags"), uiText(desk::kMetTagsCaption));
    b.next(14);
    b.label(uiText(desk::kProxyAddrLabel), -1, kMargin, 200);
    b.label(uiText(desk::kProxyPortLabel), -1, 210, kRight);
    b.next(10);
    b.edit(idOf("ProxyAddr"), kMargin, 200);
    b.label(L":", -1, 203, 208);
    b.edit(idOf("ProxyPort"), 210, 250, ES_NUMBER);
    b.next(17);
    // The log folder may be a long path.
    b.check(
        idOf("LOG"),
        platform::wideFromUtf8(runtime::fillIn(_(desk::kLogCaption), {session_.places().logDir})),
        2);
    b.next(22);
    b.labelledEdit(desk::kIPFilterLabel, idOf("IPFilterFile"), kBrowseId, desk::kBrowseCaption);
    b.labelledEdit(desk::kUpdateInfoLabel, idOf("UpdateInfoURL"));
    b.labelledEdit(desk::kIniInUseLabel, kIniPathId, 0, nullptr, ES_READONLY);
    b.labelledEdit(desk::kLogFolderLabel, kLogFolderId, 0, nullptr, ES_READONLY);
  } else if (page == 1) {
    UrlListBox::addTo(b.form(), {kMargin, kMargin, kRight, 220});
    b.next(220);
    b.labelledSpin(desk::kUpdThreadsLabel, "UpdThreadCount");
    b.labelledSpin(desk::kTimeoutLabel, "UpdTimeout");
    b.labelledSpin(desk::kMaxListLabel, "MaxListMB");
  } else if (page == 2) {
    b.labelledSpin(desk::kVrfParallelLabel, "VrfParallel");
    b.labelledSpin(desk::kVrfProxyParallelLabel, "VrfProxyParallel");
    b.labelledSpin(desk::kVrfThreadsLabel, "VrfThreadCount");
    b.labelledSpin(desk::kTimeoutLabel, "VrfTimeout");
    b.check(idOf("VrfWarning"), uiText(desk::kVrfWarningCaption));
    b.next(14);
    b.check(idOf("VrfUdpStatus"), uiText(desk::kVrfUdpCaption));
  } else {
    b.check(idOf("ScrSyntaxCheck"), uiText(desk::kSyntaxCheckCaption));
    b.next(24);
    b.label(uiText(desk::kScriptOpenLabel), -1, kMargin, kRight, 2);
    b.next(22);
    b.choice(idOf("ScrExecOrEdit"), desk::kScriptExecCaption, desk::kScriptEditCaption);
  }
  return std::move(b.form());
}

void OptionsDialog::created() {
  HWND tabs = item(kTabsId);
  for (int page = 0; page < kPageCount; ++page) {
    const std::wstring caption = uiText(desk::kOptionsTabs[static_cast<size_t>(page)]);
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = const_cast<wchar_t*>(caption.c_str());
    TabCtrl_InsertItem(tabs, page, &tab);
  }
  // The pages fill the tab control's display area and follow it in the tab order.
  RECT area{};
  GetWindowRect(tabs, &area);
  MapWindowPoints(nullptr, window(), reinterpret_cast<POINT*>(&area), 2);
  TabCtrl_AdjustRect(tabs, FALSE, &area);
  for (int page = 0; page < kPageCount; ++page) {
    pages_[static_cast<size_t>(page)] = std::make_unique<DialogPage>(
        pageLayout(page), [this](int id, int code) { pageCommand(id, code); },
        [this](UINT m, WPARAM w, LPARAM l) { return pageMessage(m, w, l); });
    DialogPage& shown = *pages_[static_cast<size_t>(page)];
    shown.create(window());
    SetWindowPos(shown.window(), tabs, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOACTIVATE);
  }
  for (const SpinRange& spin : kSpins)
    SendMessageW(GetWindow(control(spin.key), GW_HWNDNEXT), UDM_SETRANGE32,
                 static_cast<WPARAM>(spin.min), spin.max);
  SendMessageW(control("ProxyPort"), EM_LIMITTEXT, 5, 0);
  urls_.attach(pages_[1]->window());
  SetDlgItemTextW(pages_[0]->window(), kIniPathId,
                  platform::wideFromUtf8(session_.iniPath()).c_str());
  SetDlgItemTextW(pages_[0]->window(), kLogFolderId,
                  platform::wideFromUtf8(session_.places().logDir).c_str());
  SetWindowPos(window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  presenter_.prepare();
  focusItem(kTabsId);
}

HWND OptionsDialog::control(std::string_view key) const {
  return control(window(), key);
}

HWND OptionsDialog::control(HWND dialog, std::string_view key) {
  const int id = idOf(key);
  for (HWND page = nullptr; (page = FindWindowExW(dialog, page, L"#32770", nullptr));)
    if (HWND found = GetDlgItem(page, id)) return found;
  return nullptr;
}

void OptionsDialog::showTab(int page) {
  TabCtrl_SetCurSel(item(kTabsId), page);
  for (int shown = 0; shown < kPageCount; ++shown)
    ShowWindow(pages_[static_cast<size_t>(shown)]->window(), shown == page ? SW_SHOW : SW_HIDE);
}

void OptionsDialog::setText(std::string_view key, const std::string& bytes) {
  shownBytes_.insert_or_assign(std::string(key), bytes);
  SetWindowTextW(control(key), platform::wideFromUtf8(bytes).c_str());
}

std::string OptionsDialog::text(std::string_view key) const {
  HWND box = control(key);
  std::wstring typed(static_cast<size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
  typed.resize(
      static_cast<size_t>(GetWindowTextW(box, typed.data(), static_cast<int>(typed.size()))));
  // Bytes that are no UTF-8 come back as they were while the user left the text alone.
  const auto shown = shownBytes_.find(key);
  if (shown != shownBytes_.end() && platform::wideFromUtf8(shown->second) == typed)
    return shown->second;
  return platform::utf8FromWide(typed);
}

void OptionsDialog::setNumber(std::string_view key, int value) {
  SendMessageW(GetWindow(control(key), GW_HWNDNEXT), UDM_SETPOS32, 0, value);
}

int OptionsDialog::number(std::string_view key) const {
  return spinOrZero(control(key), spinOf(key));
}

void OptionsDialog::setChecked(std::string_view key, bool on) {
  HWND button = control(key);
  if ((GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON) {
    const int id = idOf(key);
    CheckRadioButton(GetParent(button), id, id + 1, on ? id : id + 1);
    return;
  }
  SendMessageW(button, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool OptionsDialog::isChecked(std::string_view key) const {
  return SendMessageW(control(key), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void OptionsDialog::setUrls(const std::vector<runtime::UrlSource>& rows) {
  urls_.presenter().setRows(rows);
}

std::vector<runtime::UrlSource> OptionsDialog::urls() const {
  return urls_.presenter().rows();
}

void OptionsDialog::clearPassword(bool stored) {
  HWND box = control("ECPassword");
  SetWindowTextW(box, L"");
  const std::wstring placeholder =
      uiText(stored ? desk::kPasswordStoredPlaceholder : desk::kPasswordNonePlaceholder);
  SendMessageW(box, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(placeholder.c_str()));
  SendMessageW(box, EM_SETMODIFY, FALSE, 0);
}

std::string OptionsDialog::password() const {
  return text("ECPassword");
}

bool OptionsDialog::passwordTouched() const {
  return SendMessageW(control("ECPassword"), EM_GETMODIFY, 0, 0) != 0;
}

void OptionsDialog::focusField(std::string_view key) {
  HWND box = control(key);
  for (int page = 0; page < kPageCount; ++page)
    if (GetParent(box) == pages_[static_cast<size_t>(page)]->window()) showTab(page);
  SendMessageW(window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
  SendMessageW(box, EM_SETSEL, 0, -1);
}

void OptionsDialog::command(int id, int code) {
  if (code != BN_CLICKED) return;
  if (id == IDOK) presenter_.ok();
  if (id == IDCANCEL) end(IDCANCEL);
}

std::optional<INT_PTR> OptionsDialog::message(UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_NOTIFY) return std::nullopt;
  const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
  if (header.idFrom == kTabsId && header.code == TCN_SELCHANGE)
    showTab(TabCtrl_GetCurSel(header.hwndFrom));
  return std::nullopt;
}

void OptionsDialog::pageCommand(int id, int code) {
  if (urls_.command(id, code) || code != BN_CLICKED) return;
  if (id == kSearchId) chooseClientFolder();
  if (id == kBrowseId) chooseIPFilterFile();
  // Only the user's click says something; filling the dialog sends none.
  if (id == idOf("LOG")) presenter_.logTicked(isChecked("LOG"));
}

std::optional<INT_PTR> OptionsDialog::pageMessage(UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_NOTIFY) urls_.notify(*reinterpret_cast<const NMHDR*>(lParam));
  return std::nullopt;
}

void OptionsDialog::chooseClientFolder() {
  const std::wstring title = uiText(desk::kChooseEDPathTitle);
  BROWSEINFOW browse{};
  browse.hwndOwner = window();
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
  if (!chosen) return;
  wchar_t path[MAX_PATH] = L"";
  const bool found = SHGetPathFromIDListW(chosen, path);
  CoTaskMemFree(chosen);
  if (!found) return;
  std::wstring folder = path;
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  SetWindowTextW(control("EDPath"), folder.c_str());
}

void OptionsDialog::chooseIPFilterFile() {
  const std::wstring title = uiText(desk::kChooseIPFilterTitle);
  // The client's own filter is the first offer.
  std::wstring file = platform::wideFromUtf8(presenter_.offeredIPFilterFile());
  file.resize(std::max<size_t>(file.size(), MAX_PATH) + 1, L'\0');
  OPENFILENAMEW open{};
  open.lStructSize = sizeof open;
  open.hwndOwner = window();
  open.lpstrFile = file.data();
  open.nMaxFile = static_cast<DWORD>(file.size());
  open.lpstrTitle = title.c_str();
  open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
  if (!GetOpenFileNameW(&open)) return;
  SetWindowTextW(control("IPFilterFile"), file.c_str());
}

}  // namespace ravelin::win

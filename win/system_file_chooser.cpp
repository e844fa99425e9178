#include "win/system_file_chooser.h"

#include <commdlg.h>

#include "app/file_commands.h"
#include "platform/wide_text.h"
#include "runtime/translate.h"
#include "win/ui_text.h"
#include "win/win_prompter.h"

namespace ravelin::win {

namespace {

// Room for a chosen path: long paths included.
constexpr size_t kPathRoom = 32768;

OPENFILENAMEW dialogOf(HWND owner, const std::wstring& title, const std::wstring& filters,
                       const std::wstring& folder, std::wstring& path) {
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = frontWindow(owner);
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = title.c_str();
  return dialog;
}

std::wstring pathRoom(const std::wstring& start) {
  std::wstring path = start;
  path.resize(kPathRoom, L'\0');
  return path;
}

std::wstring chosenPath(const std::wstring& room) {
  return room.substr(0, room.find(L'\0'));
}

}  // namespace

std::wstring systemFilters(const desk::FileDialogText& text) {
  std::wstring filters;
  for (const char* filter : text.filters) {
    const std::string caption = _(filter);
    // The patterns stand in the untranslated caption's parentheses.
    const std::string untranslated = filter;
    const size_t open = untranslated.rfind('(');
    const size_t close = untranslated.rfind(')');
    std::string patterns = open != std::string::npos && close > open
                               ? untranslated.substr(open + 1, close - open - 1)
                               : "*";
    for (char& c : patterns)
      if (c == ' ') c = ';';
    filters += platform::wideFromUtf8(caption) + L'\0' + platform::wideFromUtf8(patterns) + L'\0';
  }
  return filters + L'\0';
}

std::optional<std::string> SystemFileChooser::open(desk::OpenKind kind) {
  return open(desk::fileDialogText(kind), lastOpened_[static_cast<size_t>(kind)]);
}

std::optional<std::string> SystemFileChooser::save(desk::SaveKind kind) {
  return save(desk::fileDialogText(kind));
}

std::optional<std::string> SystemFileChooser::open(const desk::FileDialogText& text,
                                                   std::wstring& last) {
  const std::wstring title = uiText(text.title);
  const std::wstring filters = systemFilters(text);
  const std::wstring folder = platform::wideFromUtf8(settings_.EDPath);
  std::wstring room = pathRoom(last);
  OPENFILENAMEW dialog = dialogOf(owner_, title, filters, folder, room);
  dialog.Flags =
      OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  last = chosenPath(room);
  return platform::utf8FromWide(last);
}

std::optional<std::string> SystemFileChooser::save(const desk::FileDialogText& text) {
  const std::wstring title = uiText(text.title);
  const std::wstring filters = systemFilters(text);
  const std::wstring folder = platform::wideFromUtf8(settings_.EDPath);
  std::wstring room = pathRoom(L"");
  // A refused overwrite shows the dialog again with the name given.
  for (;;) {
    OPENFILENAMEW dialog = dialogOf(owner_, title, filters, folder, room);
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog)) return std::nullopt;
    const auto* filter =
        text.filters.begin() + (dialog.nFilterIndex > 0 ? dialog.nFilterIndex - 1 : 0);
    if (filter >= text.filters.end()) filter = text.filters.begin();
    const std::string saved = app::savedFileName(platform::utf8FromWide(chosenPath(room)),
                                                 desk::filterExtension(*filter));
    const std::wstring wide = platform::wideFromUtf8(saved);
    if (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) return saved;
    const std::wstring name = wide.substr(wide.find_last_of(L"\\/") + 1);
    const std::wstring question = platform::wideFromUtf8(runtime::fillIn(
        _("%s already exists.\nDo you want to replace it?"), {platform::utf8FromWide(name)}));
    if (MessageBoxW(frontWindow(owner_), question.c_str(), title.c_str(),
                    MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES)
      return saved;
  }
}

}  // namespace ravelin::win

#include "win/dialog_template.h"

namespace ravelin::win {

namespace {

static_assert(sizeof(DLGTEMPLATE) == 9 * sizeof(WORD) &&
              sizeof(DLGITEMTEMPLATE) == 9 * sizeof(WORD));

// The dialogs' font: the system's message font on today's Windows.
constexpr WORD kFontPoints = 9;
constexpr const wchar_t* kFontName = L"Segoe UI";

}  // namespace

DialogTemplate::DialogTemplate(const std::wstring& caption, short width, short height,
                               DWORD style) {
  DLGTEMPLATE header{};
  // A child (a tab's page) is framed by its parent's control; a window of its own has a
  // caption.
  header.style = style | DS_SETFONT |
                 ((style & WS_CHILD) ? DWORD{DS_CONTROL}
                                     : DWORD{DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU});
  header.cx = width;
  header.cy = height;
  // DLGTEMPLATE is 18 bytes: appended word by word, its item count patched in get().
  const auto* bytes = reinterpret_cast<const WORD*>(&header);
  words_.assign(bytes, bytes + 9);
  words_.push_back(0);  // no menu
  words_.push_back(0);  // the standard dialog class
  addText(caption);
  words_.push_back(kFontPoints);
  addText(kFontName);
}

void DialogTemplate::alignTo(size_t bytes) {
  while ((words_.size() * sizeof(WORD)) % bytes) words_.push_back(0);
}

void DialogTemplate::addText(const std::wstring& text) {
  words_.insert(words_.end(), text.begin(), text.end());
  words_.push_back(0);
}

void DialogTemplate::addItemHeader(int id, RECT units, DWORD style) {
  alignTo(sizeof(DWORD));
  DLGITEMTEMPLATE item{};
  item.style = style | WS_CHILD | WS_VISIBLE;
  item.x = static_cast<short>(units.left);
  item.y = static_cast<short>(units.top);
  item.cx = static_cast<short>(units.right - units.left);
  item.cy = static_cast<short>(units.bottom - units.top);
  item.id = static_cast<WORD>(id);
  const auto* bytes = reinterpret_cast<const WORD*>(&item);
  words_.insert(words_.end(), bytes, bytes + 9);
  ++count_;
}

void DialogTemplate::add(WORD predefinedClass, const std::wstring& text, int id, RECT units,
                         DWORD style) {
  addItemHeader(id, units, style);
  words_.push_back(0xFFFF);
  words_.push_back(predefinedClass);
  addText(text);
  words_.push_back(0);  // no creation data
}

void DialogTemplate::add(const std::wstring& className, const std::wstring& text, int id,
                         RECT units, DWORD style) {
  addItemHeader(id, units, style);
  addText(className);
  addText(text);
  words_.push_back(0);
}

const DLGTEMPLATE* DialogTemplate::get() {
  // cdit: the word after style (2 words) and extended style (2 words).
  words_[4] = count_;
  return reinterpret_cast<const DLGTEMPLATE*>(words_.data());
}

}  // namespace ravelin::win

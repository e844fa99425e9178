#pragma once
#include <windows.h>

#include <array>
#include <string>

#include "desk/file_chooser.h"
#include "runtime/settings.h"

namespace ravelin::win {

// The system's open and save dialogs with desk's titles and filters. Both start in the
// client's folder; an open dialog of a kind offers the file chosen there last. The save
// dialog asks before overwriting the file that will be written, whose name may have gained
// the chosen filter's extension, not only the name as typed.
class SystemFileChooser : public desk::FileChooser {
 public:
  SystemFileChooser(HWND owner, const runtime::Settings& settings)
      : owner_(owner), settings_(settings) {}

  std::optional<std::string> open(desk::OpenKind kind) override;
  std::optional<std::string> save(desk::SaveKind kind) override;
  // The dialogs of a window's own texts; last: the file chosen there before, kept.
  std::optional<std::string> open(const desk::FileDialogText& text, std::wstring& last);
  std::optional<std::string> save(const desk::FileDialogText& text);

 private:
  HWND owner_;
  const runtime::Settings& settings_;
  std::array<std::wstring, 5> lastOpened_;
};

// A filter as the system's dialogs take it: "caption\0pattern;pattern\0" for each filter,
// the patterns being those in the caption's parentheses, and a closing "\0".
std::wstring systemFilters(const desk::FileDialogText& text);

}  // namespace ravelin::win

#pragma once
// The file dialogs of the main window as the presenter asks for them; what each kind shows
// (title, filters) is data here, the dialog itself belongs to the front end.
#include <initializer_list>
#include <optional>
#include <string>

namespace ravelin::desk {

// The open dialogs, in the order of their titles and filters.
enum class OpenKind { Met = 0, Bot, Script, Html, Template };
// The save dialogs.
enum class SaveKind { Met = 0, Txt, Html, Bot, Template };

// A dialog's title and its filters (untranslated). A filter names its patterns in
// parentheses, separated by blanks: "MET-Files (*.met *.gz)".
struct FileDialogText {
  const char* title;
  std::initializer_list<const char*> filters;
};
const FileDialogText& fileDialogText(OpenKind kind);
const FileDialogText& fileDialogText(SaveKind kind);

// The extension that a save under the filter gives a name typed without one: that of the
// filter's first pattern (".html" of "HTML-File (*.html *.htm)"); none for "*".
std::string filterExtension(const std::string& filter);

// The file dialogs start in the client's folder; an open dialog offers the file chosen
// last, a save dialog starts with an empty name every time, gives a name typed without
// extension that of the chosen filter and asks before it overwrites a file.
class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // The chosen file, or nothing when the dialog was cancelled.
  virtual std::optional<std::string> open(OpenKind kind) = 0;
  // The file to write (with the filter's extension when none was typed), or nothing.
  virtual std::optional<std::string> save(SaveKind kind) = 0;
};

}  // namespace ravelin::desk

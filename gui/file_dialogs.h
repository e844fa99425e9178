#pragma once
#include <QFileDialog>
#include <QPointer>
#include <QWidget>
#include <array>
#include <optional>
#include <string>

#include "runtime/settings.h"

namespace ravelin::gui {

// The open dialogs of the main window, in the order of their titles and filters.
enum class OpenDialogKind { Met = 0, Bot, Script, Html, Template };
// The save dialogs.
enum class SaveDialogKind { Met = 0, Txt, Html, Bot, Template };

// The file dialogs of the main window. They start in the client's directory; an open
// dialog offers the file chosen last, a save dialog starts with an empty name every time,
// gives a name typed without extension that of the chosen filter and asks before it
// overwrites a file.
class FileDialogs {
 public:
  FileDialogs(QWidget* parent, const runtime::Settings& settings);

  // The chosen file, or nothing when the dialog was cancelled.
  std::optional<std::string> open(OpenDialogKind kind);
  struct SaveChoice {
    std::string path;  // with the chosen filter's extension when the user typed none
  };
  std::optional<SaveChoice> save(SaveDialogKind kind);

 private:
  QFileDialog* openDialog(OpenDialogKind kind);
  QFileDialog* saveDialog(SaveDialogKind kind);

  QWidget* parent_;
  const runtime::Settings& settings_;
  std::array<QPointer<QFileDialog>, 5> open_{};
  std::array<QPointer<QFileDialog>, 5> save_{};
};

}  // namespace ravelin::gui

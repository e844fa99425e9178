#pragma once
#include <QFileDialog>
#include <QPointer>
#include <QWidget>
#include <array>
#include <optional>
#include <string>

#include "desk/file_chooser.h"
#include "runtime/settings.h"

namespace ravelin::qt {

// The file dialogs of the main window, Qt's own (the same on every desktop and reachable
// by tests); each kind's dialog is made once and kept.
class FileDialogs : public desk::FileChooser {
 public:
  FileDialogs(QWidget* parent, const runtime::Settings& settings);

  std::optional<std::string> open(desk::OpenKind kind) override;
  std::optional<std::string> save(desk::SaveKind kind) override;

 private:
  QFileDialog* openDialog(desk::OpenKind kind);
  QFileDialog* saveDialog(desk::SaveKind kind);

  QWidget* parent_;
  const runtime::Settings& settings_;
  std::array<QPointer<QFileDialog>, 5> open_{};
  std::array<QPointer<QFileDialog>, 5> save_{};
};

}  // namespace ravelin::qt

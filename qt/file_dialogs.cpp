#include "qt/file_dialogs.h"

#include <QFileInfo>
#include <QMessageBox>

#include "app/file_commands.h"
#include "qt/field_text.h"
#include "qt/front_window.h"
#include "qt/override_cursor.h"
#include "qt/ui_text.h"

namespace ravelin::qt {

namespace {

// The file that a save dialog's choice writes to.
std::string savedName(const QFileDialog& dialog) {
  return app::savedFileName(pathBytes(dialog.selectedFiles().value(0)),
                            desk::filterExtension(dialog.selectedNameFilter().toStdString()));
}

// A save dialog that asks before overwriting the file that will be written, whose name
// may have gained the filter's extension, not the name as typed.
class SaveFileDialog : public QFileDialog {
 public:
  SaveFileDialog(QWidget* parent, const QString& title) : QFileDialog(parent, title) {
    setOption(QFileDialog::DontConfirmOverwrite, true);
  }

  void accept() override {
    const QString typed = selectedFiles().value(0);
    // An empty name or a folder: Qt's dialog stays open or changes into the folder.
    if (!typed.isEmpty() && !QFileInfo(typed).isDir()) {
      const QFileInfo saved(QFile::decodeName(QByteArray::fromStdString(savedName(*this))));
      if (saved.exists()) {
        QMessageBox question(
            QMessageBox::Warning, windowTitle(),
            uiText(runtime::fillIn(_("%s already exists.\nDo you want to replace it?"),
                                   {saved.fileName().toStdString()})),
            QMessageBox::Yes | QMessageBox::No, this);
        question.setDefaultButton(QMessageBox::No);
        keepAboveOnTopWindows(question);
        if (question.exec() != QMessageBox::Yes) return;
      }
    }
    QFileDialog::accept();
  }
};

QFileDialog* makeDialog(QWidget* parent, const desk::FileDialogText& text, QFileDialog::AcceptMode mode) {
  const QString title = uiText(text.title);
  QFileDialog* dialog = mode == QFileDialog::AcceptOpen ? new QFileDialog(parent, title)
                                                        : new SaveFileDialog(parent, title);
  // Qt's own dialog, the same on every desktop and reachable by tests.
  dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  dialog->setAcceptMode(mode);
  dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                      : QFileDialog::AnyFile);
  QStringList filters;
  for (const char* f : text.filters) filters << uiText(f);
  dialog->setNameFilters(filters);
  return dialog;
}

}  // namespace

FileDialogs::FileDialogs(QWidget* parent, const runtime::Settings& settings)
    : parent_(parent), settings_(settings) {}

QFileDialog* FileDialogs::openDialog(desk::OpenKind kind) {
  auto& slot = open_[static_cast<size_t>(kind)];
  if (!slot) {
    slot = makeDialog(parent_, desk::fileDialogText(kind), QFileDialog::AcceptOpen);
    slot->setDirectory(fieldText(settings_.EDPath));
  }
  return slot;
}

QFileDialog* FileDialogs::saveDialog(desk::SaveKind kind) {
  auto& slot = save_[static_cast<size_t>(kind)];
  if (!slot) {
    slot = makeDialog(parent_, desk::fileDialogText(kind), QFileDialog::AcceptSave);
  }
  return slot;
}

std::optional<std::string> FileDialogs::open(desk::OpenKind kind) {
  QFileDialog* dialog = openDialog(kind);
  keepAboveOnTopWindows(*dialog);
  OverrideCursor arrow(Qt::ArrowCursor);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return pathBytes(dialog->selectedFiles().first());
}

std::optional<std::string> FileDialogs::save(desk::SaveKind kind) {
  QFileDialog* dialog = saveDialog(kind);
  dialog->setDirectory(fieldText(settings_.EDPath));
  dialog->selectFile(QString());
  keepAboveOnTopWindows(*dialog);
  OverrideCursor arrow(Qt::ArrowCursor);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return savedName(*dialog);
}

}  // namespace ravelin::qt

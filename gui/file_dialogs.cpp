#include "gui/file_dialogs.h"

#include "gui/field_text.h"
#include "gui/override_cursor.h"

namespace ravelin::gui {

namespace {

struct DialogText {
  const char* title;
  // Qt reads the patterns from the parentheses, separated by blanks.
  std::initializer_list<const char*> filters;
};

const DialogText kOpenTexts[] = {
    {"Open MET-File", {"MET-File (*.met)"}},
    {"Open BOT-File", {"BOT-File (*.bot)"}},
    {"Open Ravelin script file", {"Ravelin script file (*.rvs)", "Textfile (*.txt)"}},
    {"Open HTML-File", {"HTML-File (*.html *.htm)"}},
    {"Choose Template:", {"Template-File (*)"}},
};

const DialogText kSaveTexts[] = {
    {"Save the serverlist", {"MET-File (*.met)"}},
    {"Save the serverlist", {"TXT-File (*.txt)"}},
    {"Save the serverlist", {"HTML-File (*.html)"}},
    {"Save the serverlist", {"BOT-File (*.bot)"}},
    {"Save the serverlist", {"HTML-File (*.html *.htm)", "TXT-File (*.txt)", "Any file (*)"}},
};

QFileDialog* makeDialog(QWidget* parent, const DialogText& text, QFileDialog::AcceptMode mode) {
  auto* dialog = new QFileDialog(parent, QString::fromLatin1(text.title));
  // Qt's own dialog, the same on every desktop and reachable by tests.
  dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  dialog->setAcceptMode(mode);
  dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                      : QFileDialog::AnyFile);
  QStringList filters;
  for (const char* f : text.filters) filters << QString::fromLatin1(f);
  dialog->setNameFilters(filters);
  return dialog;
}

}  // namespace

FileDialogs::FileDialogs(QWidget* parent, const runtime::Settings& settings)
    : parent_(parent), settings_(settings) {}

QFileDialog* FileDialogs::openDialog(OpenDialogKind kind) {
  auto& slot = open_[static_cast<size_t>(kind)];
  if (!slot) {
    slot = makeDialog(parent_, kOpenTexts[static_cast<size_t>(kind)], QFileDialog::AcceptOpen);
    slot->setDirectory(fieldText(settings_.EDPath));
  }
  return slot;
}

QFileDialog* FileDialogs::saveDialog(SaveDialogKind kind) {
  auto& slot = save_[static_cast<size_t>(kind)];
  if (!slot) {
    slot = makeDialog(parent_, kSaveTexts[static_cast<size_t>(kind)], QFileDialog::AcceptSave);
  }
  return slot;
}

std::optional<std::string> FileDialogs::open(OpenDialogKind kind) {
  QFileDialog* dialog = openDialog(kind);
  OverrideCursor arrow(Qt::ArrowCursor);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return pathBytes(dialog->selectedFiles().first());
}

std::optional<FileDialogs::SaveChoice> FileDialogs::save(SaveDialogKind kind) {
  QFileDialog* dialog = saveDialog(kind);
  dialog->setDirectory(fieldText(settings_.EDPath));
  dialog->selectFile(QString());
  OverrideCursor arrow(Qt::ArrowCursor);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  SaveChoice choice;
  choice.path = pathBytes(dialog->selectedFiles().first());
  choice.filterIndex =
      static_cast<int>(dialog->nameFilters().indexOf(dialog->selectedNameFilter()));
  return choice;
}

}  // namespace ravelin::gui

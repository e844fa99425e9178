#include "gui/file_dialogs.h"

#include <QFileInfo>
#include <QMessageBox>

#include "app/file_commands.h"
#include "gui/field_text.h"
#include "gui/front_window.h"
#include "gui/override_cursor.h"
#include "gui/ui_text.h"

namespace ravelin::gui {

namespace {

struct DialogText {
  const char* title;
  // Qt reads the patterns from the parentheses, separated by blanks.
  std::initializer_list<const char*> filters;
};

// The MET, BOT and HTML readers unpack what comes gzipped or in a zip or tar archive
// (tar.gz included), so their dialogs offer such files beside the plain lists.
const DialogText kOpenTexts[] = {
    {N_("Open MET-File"), {N_("MET-Files (*.met *.gz *.zip *.tar *.tgz)"), N_("Any file (*)")}},
    {N_("Open BOT-File"), {N_("BOT-Files (*.bot *.gz *.zip *.tar *.tgz)"), N_("Any file (*)")}},
    {N_("Open Ravelin script file"),
     {N_("Ravelin script file (*.rvs)"), N_("Textfile (*.txt)"), N_("Any file (*)")}},
    {N_("Open HTML-File"),
     {N_("HTML-Files (*.html *.htm *.gz *.zip *.tar *.tgz)"), N_("Any file (*)")}},
    {N_("Choose Template:"), {N_("Template-File (*)")}},
};

const DialogText kSaveTexts[] = {
    {N_("Save the serverlist"), {N_("MET-File (*.met)")}},
    {N_("Save the serverlist"), {N_("TXT-File (*.txt)")}},
    {N_("Save the serverlist"), {N_("HTML-File (*.html)")}},
    {N_("Save the serverlist"), {N_("BOT-File (*.bot)")}},
    {N_("Save the serverlist"),
     {N_("HTML-File (*.html *.htm)"), N_("TXT-File (*.txt)"), N_("Any file (*)")}},
};

// The extension that a save under the filter gives a name typed without one: that of
// the filter's first pattern (".html" of "HTML-File (*.html *.htm)"); none for "*".
std::string filterExtension(const QString& filter) {
  const QString first = filter.section(QLatin1Char('('), 1).section(QLatin1Char(' '), 0, 0);
  const QString pattern = first.section(QLatin1Char(')'), 0, 0);
  return pattern.startsWith(QLatin1String("*.")) ? pathBytes(pattern.mid(1)) : std::string();
}

// The file that a save dialog's choice writes to.
std::string savedName(const QFileDialog& dialog) {
  return app::savedFileName(pathBytes(dialog.selectedFiles().value(0)),
                            filterExtension(dialog.selectedNameFilter()));
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

QFileDialog* makeDialog(QWidget* parent, const DialogText& text, QFileDialog::AcceptMode mode) {
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
  keepAboveOnTopWindows(*dialog);
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
  keepAboveOnTopWindows(*dialog);
  OverrideCursor arrow(Qt::ArrowCursor);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return SaveChoice{savedName(*dialog)};
}

}  // namespace ravelin::gui

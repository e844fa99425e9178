#include "qt/script_editor_window.h"
#include "qt/dialog_layout.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTextBlock>

#include "desk/script_editor_menu.h"
#include "qt/field_text.h"
#include "qt/front_window.h"
#include "qt/ui_text.h"
#include "qt/window_metrics.h"
#include "runtime/app_context.h"
#include "runtime/silent_abort.h"
#include "runtime/translate.h"

namespace ravelin::qt {

namespace {

static_assert(int{ScriptEditorWindow::kItemCount} == int{desk::kScriptEditorItemCount} &&
              int{ScriptEditorWindow::Run} == int{desk::seRun});

// The editing items take the system's own keys; the script's items their Ctrl letters.
QKeySequence::StandardKey standardKey(int item) {
  switch (item) {
    case ScriptEditorWindow::Undo:
      return QKeySequence::Undo;
    case ScriptEditorWindow::Cut:
      return QKeySequence::Cut;
    case ScriptEditorWindow::Copy:
      return QKeySequence::Copy;
    case ScriptEditorWindow::Paste:
      return QKeySequence::Paste;
    default:
      return QKeySequence::UnknownKey;
  }
}

QFileDialog* scriptFileDialog(QWidget* parent, const char* title, QFileDialog::AcceptMode mode) {
  auto* dialog = new QFileDialog(parent, uiText(title));
  dialog->setAttribute(Qt::WA_DeleteOnClose, false);
  dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  dialog->setAcceptMode(mode);
  dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                      : QFileDialog::AnyFile);
  if (mode == QFileDialog::AcceptSave) dialog->setDefaultSuffix(QStringLiteral("rvs"));
  QStringList filters;
  for (const char* f : kScriptFileFilters) filters << uiText(f);
  dialog->setNameFilters(filters);
  return dialog;
}

std::optional<std::string> chooseFile(QWidget* parent, const char* title,
                                      QFileDialog::AcceptMode mode) {
  std::unique_ptr<QFileDialog> dialog(scriptFileDialog(parent, title, mode));
  keepAboveOnTopWindows(*dialog);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return std::nullopt;
  return pathBytes(dialog->selectedFiles().first());
}

}  // namespace

ScriptEditorWindow::ScriptEditorWindow(runtime::AppContext& ctx, QWidget* mainWindow)
    : QMainWindow(mainWindow, Qt::Window | Qt::WindowStaysOnTopHint),
      ctx_(ctx),
      mainWindow_(mainWindow),
      text_(new ScriptTextEdit(this)),
      fileLabel_(new QLabel(this)),
      syntaxLabel_(new QLabel(this)),
      insertDialog_(new InsertCommandDialog(this)) {
  setWindowTitle(uiText(kScriptEditorCaption));
  resize(kScriptEditorWidth, kScriptEditorHeight);
  setCentralWidget(text_);
  // The file name's panel is never narrower than its width and grows with a long name;
  // the check's panel takes the rest of the bar and is never narrower than its message.
  fileLabel_->setMinimumWidth(kScriptFileStatusWidth);
  statusBar()->addWidget(fileLabel_);
  statusBar()->addWidget(syntaxLabel_, 1);
  buildMenus();
}

void ScriptEditorWindow::buildMenus() {
  for (int i = 0; i < kItemCount; ++i) {
    const desk::ScriptEditorMenuItem& m = desk::kScriptEditorItems[static_cast<size_t>(i)];
    auto* action = new QAction(uiText(m.caption), this);
    if (standardKey(i) != QKeySequence::UnknownKey)
      action->setShortcuts(standardKey(i));
    else if (m.ctrlLetter)
      action->setShortcut(QKeySequence(QStringLiteral("Ctrl+") + QLatin1Char(m.ctrlLetter)));
    items_[static_cast<size_t>(i)] = action;
  }
  text_->reserveShortcuts({items_[InsertCommand]->shortcut(), items_[CheckSyntax]->shortcut(),
                           items_[Run]->shortcut()});
  for (const desk::ScriptEditorMenu& menu : desk::kScriptEditorMenus) {
    QMenu* m = menuBar()->addMenu(uiText(menu.caption));
    for (int i = menu.first; i <= menu.last; ++i) {
      m->addAction(items_[static_cast<size_t>(i)]);
      if (desk::kScriptEditorItems[static_cast<size_t>(i)].separatorAfter && i < menu.last)
        m->addSeparator();
    }
  }
  const auto on = [this](Item item, std::function<void()> fn) {
    connect(items_[item], &QAction::triggered, this, [fn = std::move(fn)] { fn(); });
  };
  on(New, [this] { perform([this] { document_.newScript(); }); });
  on(Open, [this] { perform([this] { document_.open(); }); });
  on(Save, [this] { perform([this] { document_.save(); }); });
  on(SaveAs, [this] { perform([this] { document_.saveAs(); }); });
  on(Print, [this] { print(); });
  on(Exit, [this] { close(); });
  on(Undo, [this] { text_->undo(); });
  on(Cut, [this] { text_->cut(); });
  on(Copy, [this] { text_->copy(); });
  on(Paste, [this] { text_->paste(); });
  on(InsertCommand, [this] { insertCommand(); });
  on(CheckSyntax, [this] { document_.checkSyntax(); });
  on(Run, [this] {
    if (onRunScript) onRunScript();
  });
}

void ScriptEditorWindow::perform(const std::function<void()>& command) {
  try {
    command();
  } catch (const runtime::SilentAbort&) {
  } catch (const std::exception& e) {
    ctx_.message(N_("Ravelin"), e.what(), runtime::MsgIcon::Error, runtime::MsgButtons::Ok);
  }
}

void ScriptEditorWindow::open() {
  if (!isVisible()) centreOver(*this, mainWindow_);
  document_.show();
  show();
  raise();
  activateWindow();
}

void ScriptEditorWindow::openFile(const std::string& path) {
  perform([&] {
    document_.load(path);
    open();
  });
}

void ScriptEditorWindow::closeEvent(QCloseEvent* event) {
  if (closeAsked_) {
    document_.closed();
    event->accept();
  } else if (document_.close()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void ScriptEditorWindow::closeAsked() {
  closeAsked_ = true;
  close();
  closeAsked_ = false;
}

void ScriptEditorWindow::print() {
  QPrinter printer(QPrinter::ScreenResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() == QDialog::Accepted) printTo(printer);
}

void ScriptEditorWindow::printTo(QPrinter& printer) {
  printer.setDocName(fieldText(document_.fileName()));
  QPainter painter(&printer);
  painter.setFont(text_->font());
  const QFontMetrics metrics(text_->font(), &printer);
  const int bottom = printer.height() - kPrintBottomReserve;
  int offset = 0;
  for (const std::string& line : document_.lines()) {
    painter.drawText(kPrintMargin, kPrintMargin + offset + metrics.ascent(), fieldText(line));
    offset += metrics.height();
    if (offset >= bottom) {
      printer.newPage();
      offset = 0;
    }
  }
}

void ScriptEditorWindow::insertCommand() {
  if (const script::ScriptCommandInfo* info = insertDialog_->choose()) {
    document_.insertCommand(*info);
  }
}

std::string ScriptEditorWindow::text() const {
  return text_->toPlainText().toStdString();
}

void ScriptEditorWindow::setText(const std::string& text) {
  text_->setPlainText(fieldText(text));
}

void ScriptEditorWindow::appendText(const std::string& text) {
  QTextCursor end = text_->textCursor();
  end.movePosition(QTextCursor::End);
  end.insertText(fieldText(text));
}

void ScriptEditorWindow::setCaret(size_t line, size_t column) {
  const QTextBlock block = text_->document()->findBlockByNumber(static_cast<int>(line));
  if (!block.isValid()) return;
  const QByteArray bytes = block.text().toUtf8().left(static_cast<qsizetype>(column));
  QTextCursor caret(block);
  caret.setPosition(block.position() + static_cast<int>(QString::fromUtf8(bytes).size()));
  text_->setTextCursor(caret);
  text_->ensureCursorVisible();
}

bool ScriptEditorWindow::modified() const {
  return text_->document()->isModified();
}

void ScriptEditorWindow::setModified(bool modified) {
  text_->document()->setModified(modified);
}

void ScriptEditorWindow::showFileName(const std::string& name) {
  fileLabel_->setText(fieldText(name));
}

void ScriptEditorWindow::showSyntaxResult(const script::EditorSyntaxResult& result) {
  syntaxLabel_->setText(QString::fromStdString(result.statusText));
  if (!result.error) return;
  const QTextBlock block =
      text_->document()->findBlockByNumber(static_cast<int>(result.error->line - 1));
  QTextCursor selection(block);
  selection.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  text_->setTextCursor(selection);
  text_->centerCursor();
  text_->setFocus();
}

std::optional<std::string> ScriptEditorWindow::chooseFileToOpen() {
  return chooseFile(this, kScriptOpenTitle, QFileDialog::AcceptOpen);
}

std::optional<std::string> ScriptEditorWindow::chooseFileToSave() {
  return chooseFile(this, kScriptSaveTitle, QFileDialog::AcceptSave);
}

void ScriptEditorWindow::hideForRun() {
  hide();
}

void ScriptEditorWindow::showAfterRun() {
  show();
}

}  // namespace ravelin::qt

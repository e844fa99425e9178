#include <gtest/gtest.h>

#include <QMenu>
#include <QMessageBox>
#include <QPrinter>
#include <QTest>

#include "qt/qt_prompter.h"
#include "gui_test_support.h"
#include "platform/file_io.h"
#include "script/script_language.h"

using namespace ravelin;
using namespace ravelin::qt;
using namespace test::gui;

namespace {

class ScriptEditorTest : public ::testing::Test, public MainWindowFixture {
 protected:
  ScriptEditorWindow* editor = window->scriptEditor();
  ScriptEditorTest() {
    list.append(server("1.2.3.4", "4661"), false);
    window->action(MainWindow::cmdScriptEditor)->trigger();
  }
  QTextCursor caret() const { return editor->textEdit()->textCursor(); }
};

}  // namespace

TEST_F(ScriptEditorTest, TheSyntaxCheckSelectsTheWrongLineAndBringsItIntoView) {
  std::string text;
  for (int i = 0; i < 80; ++i) text += i == 60 ? "Delay[soon]\n" : "CheckAll\n";
  editor->textEdit()->setPlainText(QString::fromStdString(text));
  QApplication::setActiveWindow(editor);
  editor->textEdit()->setFocus();
  QTest::keyClick(editor->textEdit(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(editor->syntaxLabel()->text(), "Error in line 61: Delay: No valid number!");
  EXPECT_EQ(caret().blockNumber(), 60);
  EXPECT_EQ(caret().selectedText(), "Delay[soon]");
  const QRect shown = editor->textEdit()->viewport()->rect();
  EXPECT_TRUE(shown.contains(editor->textEdit()->cursorRect().center()));
}

TEST_F(ScriptEditorTest, PrintsIntoAPdfFile) {
  std::string text;
  for (int i = 0; i < 150; ++i) text += "SendToEDonkeyConsole[line " + std::to_string(i) + "]\n";
  editor->textEdit()->setPlainText(QString::fromStdString(text));
  QPrinter printer(QPrinter::ScreenResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(dir.file("script.pdf")));
  editor->printTo(printer);
  const std::string pdf = platform::readWholeFile(dir.file("script.pdf"));
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  // A page takes lines until they reach 100 pixels before its end.
  const int lineHeight = QFontMetrics(editor->textEdit()->font(), &printer).height();
  const int perPage = (printer.height() - 100 + lineHeight - 1) / lineHeight;
  size_t pages = 0;
  for (size_t at = 0; (at = pdf.find("/Type /Page\n", at + 1)) != std::string::npos;) ++pages;
  EXPECT_EQ(pages, static_cast<size_t>((150 + perPage - 1) / perPage));
}

TEST_F(ScriptEditorTest, EachCatalogueEntryIsAppendedWithTheCaretInPlace) {
  InsertCommandDialog* dialog = editor->insertDialog();
  EXPECT_EQ(dialog->commandList()->count(), 30);
  for (int row = 0; row < 30; ++row) {
    const script::ScriptCommandInfo& info = script::scriptCommands()[static_cast<size_t>(row)];
    editor->textEdit()->setPlainText(QStringLiteral("// head"));
    whenModal([&](QWidget*) {
      dialog->commandList()->setCurrentRow(row);
      EXPECT_EQ(dialog->descriptionBox()->toPlainText(),
                QString::fromLatin1(script::scriptCommandDescription(info)).remove(u'\r'));
      for (const char* windowsWord : {"C:\\", ".exe", "doubleclick", "EDonkey2000"})
        EXPECT_FALSE(dialog->descriptionBox()->toPlainText().contains(windowsWord)) << info.entry;
      dialog->okButton()->click();
    });
    editor->item(ScriptEditorWindow::InsertCommand)->trigger();
    const std::string line = script::scriptCommandInsertText(info);
    EXPECT_EQ(editor->textEdit()->toPlainText().toStdString(), "// head\n" + line + "\n");
    const bool between = std::string(info.entry).find('<') != std::string::npos;
    EXPECT_EQ(caret().blockNumber(), between ? 1 : 2) << info.entry;
    EXPECT_EQ(caret().positionInBlock(), between ? static_cast<int>(line.size()) - 1 : 0);
  }
  EXPECT_TRUE(editor->textEdit()->document()->isModified());
}

TEST_F(ScriptEditorTest, TheRecentScriptsMenuRunsTheChosenScript) {
  const std::string a = dir.file("a.rvs"), gone = dir.file("gone.rvs");
  test::WriteFile(a, "CheckAll\n");
  session->history().addFile(gone);
  session->history().addFile(a);
  QMenu* menu = window->recentScriptsMenu();
  ASSERT_EQ(menu->actions().size(), 2);
  EXPECT_EQ(menu->actions()[0]->text().toStdString(), "&1 " + a);
  EXPECT_EQ(menu->actions()[1]->text().toStdString(), "&2 " + gone);
  menu->actions()[1]->trigger();
  EXPECT_FALSE(list[0].checked);
  menu->actions()[0]->trigger();
  EXPECT_TRUE(list[0].checked);
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ScriptEditorTest, TheCommandLineScriptOpensInTheEditorWhenNotToBeRun) {
  editor->close();
  const std::string path = dir.file("a-job-whose-name-is-longer-than-its-status-panel.rvs");
  test::WriteFile(path, "CheckAll\r\n");
  MainWindow second(list, *session, ui);
  ctx.state.firstActivationDone = false;
  second.setStartupScript({path});
  second.show();
  settle();
  ScriptEditorWindow* opened = second.scriptEditor();
  ASSERT_TRUE(opened->isVisible());
  EXPECT_EQ(opened->textEdit()->toPlainText(), "CheckAll");
  QLabel* name = opened->fileLabel();
  EXPECT_EQ(name->text(), "a-job-whose-name-is-longer-than-its-status-panel.rvs");
  EXPECT_GE(name->width(), name->fontMetrics().horizontalAdvance(name->text()));
  EXPECT_FALSE(list[0].checked);
  opened->item(ScriptEditorWindow::Run)->trigger();
  EXPECT_TRUE(list[0].checked);
  EXPECT_TRUE(opened->isVisible());
}

TEST_F(ScriptEditorTest, ClosingTheProgramAsksBeforeTheEditorsChangesAreLost) {
  editor->textEdit()->appendPlainText(QStringLiteral("CheckAll"));
  prompter.answers = {runtime::MsgResult::Cancel, runtime::MsgResult::No};
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(editor->isVisible());
  EXPECT_TRUE(window->close());
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[0].text,
            "The file \"unsaved\" has been changed. Do you want to save this file?");
}

// A close refused at the list's question (a script's export saved no list for the client)
// keeps the editor with its text. Boxes from the main window open above the editor.
TEST_F(ScriptEditorTest, ARefusedCloseKeepsTheEditorAndBoxesOpenAboveIt) {
  writeMetFile(dir.file("b.met"), {server("5.6.7.8", "4661")});
  test::WriteFile(dir.file("job.rvs"), "RefreshCustomMET[b.met]\nSaveCustomTXT[out.txt]\n");
  list.markSaved();
  window->runScript(dir.file("job.rvs"));
  editor->textEdit()->appendPlainText("CheckAll");
  prompter.answers = {runtime::MsgResult::No, runtime::MsgResult::Cancel};
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(editor->isVisible() && editor->textEdit()->toPlainText().endsWith("CheckAll"));
  QtPrompter boxes(window.get());
  ctx.prompter = &boxes;
  window->activateWindow();
  whenModal([&](QWidget* box) {
    EXPECT_TRUE(box->parentWidget() == editor && box->windowFlags() & Qt::WindowStaysOnTopHint);
    static_cast<QMessageBox*>(box)->button(QMessageBox::No)->click();
  });
  window->runPopupItem(serverlist::piClearList);
}

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "qt/qt_prompter.h"
#include "gui_test_support.h"
#include "serverlist/server_filter.h"

using namespace ravelin;
using namespace ravelin::qt;
using namespace ravelin::serverlist;
using namespace test::gui;

namespace {

class DialogsTest : public ::testing::Test, public MainWindowFixture {};

TEST_F(DialogsTest, FilterWindowStartsAfreshEachTimeAndOnOneMore) {
  FilterWindow* filter = window->filterWindow();
  EXPECT_EQ(filter->windowTitle().toStdString(), "Ravelin: Filter servers");
  EXPECT_TRUE(filter->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(filter->isModal());
  for (int i = 0; i < 3; ++i) list.append(server("1.2.3." + std::to_string(i + 1), "4661"), true);
  filter->open();
  filter->propertyBox()->setCurrentIndex(fIP);
  filter->operatorBox()->setCurrentIndex(foNotEqual);
  QTest::keyClicks(filter->valueBox(), "1.2.3.2");
  prompter.answers = {MsgResult::Yes};
  QTest::keyClick(filter->valueBox(), Qt::Key_Return);  // the default button
  EXPECT_EQ(prompter.shown.back().text, "Filter successful! Do you want to set one more filter?");
  EXPECT_EQ(prompter.shown.back().icon, MsgIcon::Question);
  EXPECT_TRUE(filter->isVisible());
  EXPECT_EQ(filter->valueBox()->text(), QString());
  EXPECT_EQ(filter->operatorBox()->currentText().toStdString(), "greater than");
  EXPECT_FALSE(list[1].checked);

  filter->operatorBox()->setCurrentIndex(foEqual);
  QTest::keyClicks(filter->valueBox(), "abc");
  QTest::mouseClick(filter->cancelButton(), Qt::LeftButton);
  EXPECT_FALSE(filter->isVisible());
  window->runPopupItem(piFilter);
  EXPECT_EQ(filter->valueBox()->text(), QString());
  EXPECT_EQ(filter->propertyBox()->currentText().toStdString(), "IP");
  EXPECT_EQ(list.checkedCount(), 2u);
}

TEST_F(DialogsTest, EditorBoxesTakeOnlyTheirCharacters) {
  ServerEditorDialog* editor = window->editorDialog();
  editor->prepareAdd();
  EXPECT_EQ(editor->infoLabel()->text().toStdString(), "Insert IP and Port to add a server:");
  QTest::keyClicks(editor->box(EditorBox::IP), "1a.2 b.3");
  EXPECT_EQ(editor->box(EditorBox::IP)->text().toStdString(), "1.2.3");
  QTest::keyClicks(editor->box(EditorBox::Port), "46x61");
  QTest::keyClick(editor->box(EditorBox::Port), Qt::Key_Backspace);
  EXPECT_EQ(editor->box(EditorBox::Port)->text().toStdString(), "466");
  QTest::keyClicks(editor->box(EditorBox::Name), "Any name: 1a!");
  EXPECT_EQ(editor->box(EditorBox::Name)->text().toStdString(), "Any name: 1a!");

  // An address made invalid by text that was not typed is refused, with its box selected.
  editor->box(EditorBox::IP)->setText("1.2.3.4x");
  editor->ok();
  EXPECT_EQ(prompter.shown.back().text, "The IP is not valid!");
  EXPECT_TRUE(editor->box(EditorBox::IP)->hasSelectedText());
  EXPECT_EQ(editor->box(EditorBox::IP)->selectedText().toStdString(), "1.2.3.4x");
  EXPECT_TRUE(list.empty());
}

TEST_F(DialogsTest, EditorKeepsTheBytesOfAFieldLeftAsItWas) {
  Server latin = server("1.2.3.4", "4661", "Caf\xE9");  // Latin-1, not UTF-8
  list.append(latin, false);
  list.select(0);
  ServerEditorDialog* editor = window->editorDialog();
  ASSERT_TRUE(editor->prepareEdit());
  EXPECT_EQ(editor->box(EditorBox::Name)->text(), QStringLiteral("Caf\u00E9"));
  editor->box(EditorBox::Users)->setText("12");
  editor->ok();
  EXPECT_EQ(list[0].server.name, "Caf\xE9");
  EXPECT_EQ(list[0].server.users, "12");
  EXPECT_FALSE(list[0].checked);
}

TEST_F(DialogsTest, PrompterShowsARealBoxWithTheCoresButtons) {
  QtPrompter real(window.get());
  whenModal([](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle().toStdString(), "Warning");
    EXPECT_EQ(box->text().toStdString(), "line one\nline two");
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(
      real.message("Warning", "line one\r\nline two", MsgIcon::Exclamation, MsgButtons::YesNo),
      MsgResult::No);
}

}  // namespace

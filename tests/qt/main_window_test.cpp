#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <algorithm>
#include <filesystem>

#include "app/file_commands.h"
#include "client/transfer.h"
#include "gui_test_support.h"
#include "serverlist/met_file.h"
#include "serverlist/server_filter.h"
#include "support/child_process.h"
#include "support/packed_lists.h"

using namespace ravelin;
using namespace ravelin::qt;
using namespace ravelin::serverlist;
using namespace test::gui;

namespace {

class MainWindowTest : public ::testing::Test, public MainWindowFixture {
 protected:
  void clickHeader(int column) {
    QHeaderView* header = window->serverView()->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    settle();
  }
  QPoint rowPoint(int row) {
    ServerListView* view = window->serverView();
    return view->visualRect(view->serverModel().index(row, 1)).center();
  }
  void selectRow(int row) {
    QTest::mouseClick(window->serverView()->viewport(), Qt::LeftButton, {}, rowPoint(row));
    settle();
  }
  void typeInto(QLineEdit* box, const QString& text) {
    box->clear();
    QTest::keyClicks(box, text);
  }
  void typeName(QFileDialog* dialog, const char* name) {
    typeInto(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")),
             QString::fromLatin1(name));
  }
  // The names that a file dialog lists under its current filter.
  static QStringList listedNames(QFileDialog* dialog) {
    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    QStringList names;
    for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
      names << view->model()->index(r, 0, view->rootIndex()).data().toString();
    return names;
  }
  // Whether the dialog lists the file yet: the folder is read in the background. A filter
  // that hides the file gives up after moments.
  static std::function<bool()> listing(QFileDialog* dialog, const char* name) {
    QElapsedTimer waited;
    waited.start();
    return [dialog, name, waited] {
      return listedNames(dialog).contains(QLatin1String(name)) || waited.hasExpired(5000);
    };
  }
};

// The whole round of a user's work: load, sort, filter, add, edit, move, delete, save.
TEST_F(MainWindowTest, LoadSortFilterAddEditMoveDeleteSave) {
  const std::string source = dir.file("in.met");
  writeMetFile(source, {server("10.0.0.2", "4661", "Beta", "500"),
                        server("9.255.255.255", "4242", "alpha", "2000"),
                        server("1.2.3.10", "4661", "Gamma", "n/a")});
  chooseFile(source);
  window->action(MainWindow::cmdRefreshMet)->trigger();
  settle();
  ASSERT_EQ(window->serverModel().rowCount(), 3);
  EXPECT_EQ(window->statusLabel()->text().toStdString(),
            " EDonkey2000 servers (3 IPs) [3/0 - 100% checked]");

  clickHeader(fIP);  // ascending
  EXPECT_EQ(column(fIP), (std::vector<std::string>{"1.2.3.10", "9.255.255.255", "10.0.0.2"}));
  clickHeader(fUsers);  // another column ascends; a second click on it descends
  clickHeader(fUsers);
  EXPECT_EQ(window->serverView()->header()->sortIndicatorSection(), fUsers);
  EXPECT_EQ(window->serverView()->header()->sortIndicatorOrder(), Qt::DescendingOrder);
  EXPECT_EQ(column(fUsers), (std::vector<std::string>{"n/a", "2000", "500"}));

  window->runPopupItem(piFilter);
  FilterWindow* filter = window->filterWindow();
  ASSERT_TRUE(filter->isVisible());
  filter->propertyBox()->setCurrentIndex(fUsers);
  filter->operatorBox()->setCurrentIndex(foLess);
  QTest::keyClicks(filter->valueBox(), "1000");
  prompter.answers = {MsgResult::No};
  QTest::mouseClick(filter->filterButton(), Qt::LeftButton);
  settle();
  EXPECT_FALSE(filter->isVisible());
  // "n/a" compares above 1000 as text: only the 500 row stays checked.
  EXPECT_EQ(list.checkedCount(), 1u);
  EXPECT_TRUE(list[2].checked);

  ServerEditorDialog* editor = window->editorDialog();
  whenModal([&](QWidget* modal) {
    ASSERT_EQ(modal, editor);
    EXPECT_EQ(editor->windowTitle().toStdString(), "Ravelin: Add server");
    typeInto(editor->box(EditorBox::IP), "5.6.7.8");
    typeInto(editor->box(EditorBox::Port), "0");
    QTest::mouseClick(editor->okButton(), Qt::LeftButton);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->box(EditorBox::Port)->hasSelectedText());
    typeInto(editor->box(EditorBox::Port), "4661");
    typeInto(editor->box(EditorBox::Name), "Delta");
    QTest::mouseClick(editor->okButton(), Qt::LeftButton);
  });
  window->runPopupItem(piAddServer);
  EXPECT_EQ(prompter.shown.back().text, "The Port is not valid!");
  ASSERT_EQ(list.size(), 4u);
  // In its place under the sort by Users: "n/a" after Gamma's "n/a".
  EXPECT_EQ(list[1].server, server("5.6.7.8", "4661", "Delta"));
  EXPECT_TRUE(list[1].checked);

  selectRow(0);
  whenModal([&](QWidget*) {
    EXPECT_EQ(editor->windowTitle().toStdString(), "Ravelin: Edit server");
    EXPECT_EQ(editor->box(EditorBox::Users)->text().toStdString(), "n/a");
    typeInto(editor->box(EditorBox::Name), "Gamma 2");
    QTest::keyClick(editor->box(EditorBox::Name), Qt::Key_Return);
  });
  QTest::mouseDClick(window->serverView()->viewport(), Qt::LeftButton, {}, rowPoint(0));
  settle();
  EXPECT_EQ(list[0].server.name, "Gamma 2");

  // Drop the second row (Delta) on the first.
  std::unique_ptr<QMimeData> drag(
      window->serverModel().mimeData({window->serverModel().index(1, 0)}));
  QDragEnterEvent enter(rowPoint(0), Qt::MoveAction, drag.get(), Qt::LeftButton, {});
  QApplication::sendEvent(window->serverView()->viewport(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(rowPoint(0), Qt::MoveAction, drag.get(), Qt::LeftButton, {});
  QApplication::sendEvent(window->serverView()->viewport(), &drop);
  settle();
  EXPECT_EQ(column(fName), (std::vector<std::string>{"Delta", "Gamma 2", "alpha", "Beta"}));

  selectRow(2);
  prompter.answers = {MsgResult::Yes};
  QTest::keyClick(window->serverView(), Qt::Key_Delete);
  settle();
  EXPECT_EQ(prompter.shown.back().text,
            "Do you really want to delete this server ?\r\n9.255.255.255:4242");
  EXPECT_EQ(column(fName), (std::vector<std::string>{"Delta", "Gamma 2", "Beta"}));

  const std::string target = dir.file("out.met");
  chooseFile(target);
  window->action(MainWindow::cmdSaveMet)->trigger();
  settle();
  // The checked servers in list order: Delta (added checked) and Beta (kept by the filter).
  const std::vector<Server> saved = readMetFile(target);
  ASSERT_EQ(saved.size(), 2u);
  EXPECT_EQ(saved[0].ip, "5.6.7.8");
  EXPECT_EQ(saved[1].ip, "10.0.0.2");

  const std::vector<std::string> log = logLines();
  const std::vector<std::string> expected = {
      "Refreshed <3> servers from <" + source + ">",
      "Serverlist successfully filtered",
      "Server <5.6.7.8:4661> added",
      "Server <1.2.3.10:4661> edited",
      "Server deleted",
      "Saved <2> servers to <" + target + ">",
  };
  ASSERT_GE(log.size(), expected.size() + 1);
  EXPECT_EQ(std::vector<std::string>(log.end() - static_cast<long>(expected.size()), log.end()),
            expected);
}

// A drag begins with a press on the dragged row; once dropped, the highlighted row is the
// one that the commands on the selected server act on.
TEST_F(MainWindowTest, AfterADragTheHighlightedServerIsTheSelectedOne) {
  for (int i = 0; i < 7; ++i) list.append(server("10.0.0." + std::to_string(i), "4661"), true);
  settle();
  selectRow(5);
  std::unique_ptr<QMimeData> drag(
      window->serverModel().mimeData({window->serverModel().index(5, 0)}));
  QDragEnterEvent enter(rowPoint(1), Qt::MoveAction, drag.get(), Qt::LeftButton, {});
  QApplication::sendEvent(window->serverView()->viewport(), &enter);
  QDropEvent drop(rowPoint(1), Qt::MoveAction, drag.get(), Qt::LeftButton, {});
  QApplication::sendEvent(window->serverView()->viewport(), &drop);
  settle();
  const QModelIndexList highlighted = window->serverView()->selectionModel()->selectedRows();
  ASSERT_EQ(highlighted.size(), 1);
  EXPECT_EQ(highlighted.first().row(), 1);
  EXPECT_EQ(list.selected(), std::optional<size_t>(1));
  EXPECT_EQ(list[1].server.ip, "10.0.0.5");

  prompter.answers = {MsgResult::Yes};
  QTest::keyClick(window->serverView(), Qt::Key_Delete);
  EXPECT_EQ(prompter.shown.back().text,
            "Do you really want to delete this server ?\r\n10.0.0.5:4661");
  EXPECT_EQ(column(fIP), (std::vector<std::string>{"10.0.0.0", "10.0.0.1", "10.0.0.2", "10.0.0.3",
                                                   "10.0.0.4", "10.0.0.6"}));
}

TEST_F(MainWindowTest, MenusOfferOnlyWhatTheProgramHasAndFollowTheSelection) {
  EXPECT_EQ(window->windowTitle().toStdString(), "Ravelin " RAVELIN_VERSION);
  EXPECT_EQ(window->toolButton(MainWindow::tbRefresh)->text().toStdString(),
            "&Refresh server list");
  EXPECT_TRUE(window->toolButton(MainWindow::tbUpdate)->isEnabled());
  EXPECT_TRUE(window->toolButton(MainWindow::tbVerify)->isEnabled());
  QMenu* save = window->toolButton(MainWindow::tbSave)->menu();
  ASSERT_EQ(save->actions().size(), 7);
  EXPECT_EQ(save->defaultAction(), window->action(MainWindow::cmdSaveStandard));
  EXPECT_TRUE(save->actions().back()->isEnabled());  // Save to running EDonkey
  for (auto c : {MainWindow::cmdOptions, MainWindow::cmdAbout, MainWindow::cmdCheckForUpdates,
                 MainWindow::cmdRecentScripts, MainWindow::cmdScriptEditor}) {
    EXPECT_TRUE(window->action(c)->isEnabled()) << c;
  }

  list.append(server("1.2.3.4", "4661"), false);
  settle();
  const auto enabledItems = [&] {
    std::unique_ptr<QMenu> menu = window->makePopupMenu();
    std::vector<bool> enabled;
    for (QAction* a : menu->actions()) enabled.push_back(a->isEnabled());
    EXPECT_EQ(menu->defaultAction(), menu->actions().front());
    return enabled;
  };
  EXPECT_EQ(enabledItems(), (std::vector<bool>{false, false, true, false, false, false, false,
                                               false, false, true}));
  selectRow(0);
  EXPECT_EQ(list.selected(), std::optional<size_t>(0));
  EXPECT_EQ(enabledItems(), std::vector<bool>(10, true));
  // An unchecked server: total 1, checked 0, percentage 0.
  EXPECT_EQ(window->statusLabel()->text().toStdString(),
            " EDonkey2000 servers (1 IPs) [0/1 - 0% checked]");
}

TEST_F(MainWindowTest, SavesRefuseAnEmptySelectionAndTheTemplateGetsItsExtension) {
  list.append(server("1.2.3.4", "4661"), false);
  window->action(MainWindow::cmdSaveTxt)->trigger();
  EXPECT_EQ(prompter.shown.back().text, kNothingToSaveText);

  list.setChecked(0, true);
  const std::string templ = dir.file("list.tpl");
  test::WriteFile(templ, "%loopstart%%ip%:%port%\n%loopend%");
  whenModal([&](QWidget*) {
    chooseFile(dir.file("list"), 1);  // the output dialog, TXT filter
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    dialog->selectFile(QString::fromStdString(templ));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  window->action(MainWindow::cmdSaveTemplate)->trigger();
  EXPECT_EQ(test::ReadFile(dir.file("list.txt")), "1.2.3.4:4661\n");
}

// The open dialog of a kind lists the packed files its reader unpacks, and any file on
// request; a name saved without extension gets the filter's, and the overwrite question
// is about that name.
TEST_F(MainWindowTest, FileDialogsListPackedListsAndSaveWithTheFiltersExtension) {
  writeMetFile(dir.file("plain.met"), {server("1.2.3.4", "4661")});
  test::WriteFile(dir.file("servers.tgz"),
                  test::Archive(test::ArchiveKind::TarGz,
                                {{"server.met", test::ReadFile(dir.file("plain.met"))}}));
  test::WriteFile(dir.file("notes.txt"), "x");
  QStringList listed, listedByAny;
  whenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    onceWhen(listing(dialog, "plain.met"), [&, dialog] {
      listed = listedNames(dialog);
      dialog->selectNameFilter(QStringLiteral("Any file (*)"));
      onceWhen(listing(dialog, "notes.txt"), [&, dialog] {
        listedByAny = listedNames(dialog);
        typeName(dialog, "servers.tgz");
        QMetaObject::invokeMethod(dialog, "accept");
      });
    });
  });
  window->action(MainWindow::cmdRefreshMet)->trigger();
  EXPECT_TRUE(listed.contains(QStringLiteral("servers.tgz")));
  EXPECT_FALSE(listed.contains(QStringLiteral("notes.txt")));
  EXPECT_TRUE(listedByAny.contains(QStringLiteral("notes.txt")));
  EXPECT_EQ(column(0), std::vector<std::string>{"1.2.3.4"});

  chooseFile(dir.file("saved"));
  window->action(MainWindow::cmdSaveMet)->trigger();
  EXPECT_EQ(readMetFile(dir.file("saved.met")).size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(dir.file("saved")));

  list.append(server("5.6.7.8", "4661"), true);
  QString question;
  whenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    typeName(dialog, "saved");
    whenModal([&](QWidget* box) {
      question = static_cast<QMessageBox*>(box)->text();
      static_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
    });
    QMetaObject::invokeMethod(dialog, "accept");
  });
  window->action(MainWindow::cmdSaveMet)->trigger();
  EXPECT_EQ(question, "saved.met already exists.\nDo you want to replace it?");
  EXPECT_EQ(readMetFile(dir.file("saved.met")).size(), 2u);
}

TEST_F(MainWindowTest, StandardRefreshAsksForAFileWhenTheClientHasNone) {
  // No client of this machine counts as running (the hand-over test may run amuled).
  ctx.settings.EDFilename = dir.file("no-client");
  const std::string other = dir.file("other.met");
  writeMetFile(other, {server("1.2.3.4", "4661")});
  prompter.answers = {MsgResult::Yes};
  chooseFile(other);
  QTest::mouseClick(window->toolButton(MainWindow::tbRefresh), Qt::LeftButton, {}, QPoint(20, 20));
  settle();
  EXPECT_EQ(prompter.shown.back().text,
            "\"server.met\" cannot be found at this directory!\r\nChoose the file manually?");
  EXPECT_EQ(list.size(), 1u);

  // Saved to the standard file, then refreshed from it without a question.
  window->action(MainWindow::cmdSaveStandard)->trigger();
  list.clear();
  window->action(MainWindow::cmdRefreshStandard)->trigger();
  EXPECT_EQ(list.size(), 1u);
  EXPECT_EQ(prompter.shown.size(), 1u);
}

// Handing over or verifying nothing says why nothing happens.
TEST_F(MainWindowTest, HandOverAndVerifyWithNothingCheckedSayWhy) {
  ctx.settings.VrfWarning = false;
  list.append(server("127.0.0.1", "1"), false);
  window->action(MainWindow::cmdSaveRunning)->trigger();
  window->action(MainWindow::cmdVerifyChecked)->trigger();
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[0].text, kNothingToSaveText);
  EXPECT_EQ(prompter.shown[1].text,
            "There isn't any server to verify!\r\nPlease update the server list or check the "
            "servers!");
  const std::vector<std::string> log = logLines();
  EXPECT_EQ(std::count(log.begin(), log.end(), "Verifying 1 server IPs"), 0);
  EXPECT_FALSE(window->commandRunning());
}

// A server.met saved under the running client does not last: the menu's save says so as
// the script's does, in the log each time and in a box once per run.
TEST_F(MainWindowTest, SavingServerMetUnderTheRunningClientPointsToTheHandOver) {
  test::RunningCopy client(dir.file("amule"));
  ASSERT_TRUE(client.started());
  ctx.settings.EDFilename = dir.file("amule");
  list.append(server("1.2.3.4", "4661"), true);
  window->action(MainWindow::cmdSaveStandard)->trigger();
  window->action(MainWindow::cmdSaveStandard)->trigger();
  EXPECT_EQ(readMetFile(dir.file("server.met")).size(), 1u);
  const std::vector<std::string> log = logLines();
  EXPECT_EQ(std::count(log.begin(), log.end(), client::kRunningClientSaveNote), 2);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text, client::kRunningClientSaveNote);
}

// Several rows at once: Shift+click, Space, the popup's check items, one question for
// the delete; Enter edits the current row.
TEST_F(MainWindowTest, SeveralSelectedRowsAreCheckedAndDeletedTogether) {
  for (int i = 0; i < 5; ++i) list.append(server("10.0.0." + std::to_string(i), "4661"), false);
  settle();
  selectRow(1);
  QTest::mouseClick(window->serverView()->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                    rowPoint(3));
  EXPECT_EQ(window->serverView()->selectedRows(), (std::vector<size_t>{1, 2, 3}));
  QTest::keyClick(window->serverView(), Qt::Key_Space);
  EXPECT_EQ(list.checkedCount(), 3u);
  window->runPopupItem(piUncheckSelected);
  EXPECT_EQ(list.checkedCount(), 0u);

  prompter.answers = {MsgResult::Yes};
  QTest::keyClick(window->serverView(), Qt::Key_Delete);
  EXPECT_EQ(prompter.shown.back().text, "Do you really want to delete these 3 servers ?");
  EXPECT_EQ(column(fIP), (std::vector<std::string>{"10.0.0.0", "10.0.0.4"}));
  EXPECT_EQ(logLines().back(), "Deleted <3> servers");
  EXPECT_EQ(window->messageLabel()->text().toStdString(), "Deleted 3 servers");

  selectRow(1);
  whenModal([&](QWidget* modal) {
    EXPECT_EQ(modal, window->editorDialog());
    EXPECT_EQ(window->editorDialog()->box(EditorBox::IP)->text().toStdString(), "10.0.0.4");
    window->editorDialog()->reject();
  });
  QTest::keyClick(window->serverView(), Qt::Key_Return);
}

// Server links travel through the clipboard both ways, and the keys of the common commands
// work with the toolbar out of the keyboard's way.
TEST_F(MainWindowTest, LinksArePastedAndCopiedAndTheKeysWork) {
  QGuiApplication::clipboard()->setText(
      "see ed2k://|server|1.2.3.4|4661|/ and ed2k://|server|5.6.7.8|4242|/ and junk");
  QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(column(fIP), (std::vector<std::string>{"1.2.3.4", "5.6.7.8"}));
  EXPECT_EQ(logLines().back(), "Refreshed <2> servers from <clipboard>");
  EXPECT_EQ(window->messageLabel()->text().toStdString(), "Added 2 servers from the clipboard");

  window->serverView()->setFocus();
  QTest::keyClick(window->serverView(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
            "ed2k://|server|1.2.3.4|4661|/\ned2k://|server|5.6.7.8|4242|/\n");

  for (int b = 0; b < MainWindow::kToolButtonCount; ++b)
    EXPECT_EQ(window->toolButton(static_cast<MainWindow::ToolButton>(b))->focusPolicy(),
              Qt::NoFocus);
  QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(readMetFile(dir.file("server.met")).size(), 2u);
  list.clear();
  QTest::keyClick(window.get(), Qt::Key_F5);
  EXPECT_EQ(list.size(), 2u);
  EXPECT_EQ(window->action(MainWindow::cmdExit)->shortcut(), QKeySequence("Ctrl+Q"));
}

// A list changed since it was loaded or saved is not lost without a question; the window's
// place, its columns and the sort come back at the next start.
TEST_F(MainWindowTest, ClosingAChangedListAsksAndTheWindowComesBackAsLeft) {
  writeMetFile(dir.file("server.met"), {server("1.2.3.4", "4661")});
  window->action(MainWindow::cmdRefreshStandard)->trigger();
  EXPECT_FALSE(list.changedSinceSaved());
  EXPECT_EQ(window->messageLabel()->text().toStdString(),
            "Added 1 server from " + dir.file("server.met"));
  list.append(server("5.6.7.8", "4661"), true);
  ServerListView* view = window->serverView();
  QTest::mouseClick(view->header()->viewport(), Qt::LeftButton, {},
                    QPoint(view->header()->sectionViewportPosition(fName) + 5, 5));
  QTest::mouseClick(view->header()->viewport(), Qt::LeftButton, {},
                    QPoint(view->header()->sectionViewportPosition(fName) + 5, 5));
  view->setColumnWidth(fPort, 77);
  window->resize(700, 500);

  prompter.answers = {MsgResult::Cancel};
  window->close();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(prompter.shown.back().text, app::kSaveChangedListQuestion);
  prompter.answers = {MsgResult::Yes};
  window->close();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(readMetFile(dir.file("server.met")).size(), 2u);

  MainWindow again(list, *session, ui);
  EXPECT_EQ(again.size(), QSize(700, 500));
  EXPECT_EQ(again.serverView()->columnWidth(fPort), 77);
  EXPECT_EQ(again.serverView()->header()->sortIndicatorSection(), fName);
  EXPECT_EQ(again.serverView()->header()->sortIndicatorOrder(), Qt::DescendingOrder);
  EXPECT_GE(again.serverView()->columnWidth(fIP),
            again.serverView()->fontMetrics().horizontalAdvance("255.255.255.255"));
}

// The window takes no input while a command runs; a failure is shown once it is over.
TEST_F(MainWindowTest, AFailedReadIsShownInTheStandardErrorBoxAfterTheCommand) {
  bool disabledDuringDialog = false;
  const std::string missing = dir.file("gone.html");
  test::WriteFile(missing, "x");
  whenModal([&](QWidget* modal) {
    auto* dialog = static_cast<QFileDialog*>(modal);
    disabledDuringDialog =
        !window->serverView()->isEnabled() && !window->toolButton(MainWindow::tbSave)->isEnabled();
    // The file goes away once it was chosen: the reader fails.
    QObject::connect(dialog, &QFileDialog::fileSelected, [&] { std::filesystem::remove(missing); });
    dialog->selectFile(QString::fromStdString(missing));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  window->action(MainWindow::cmdRefreshHtml)->trigger();
  ASSERT_FALSE(prompter.shown.empty());
  EXPECT_EQ(prompter.shown.back().title, "Ravelin");
  EXPECT_EQ(prompter.shown.back().icon, MsgIcon::Error);
  EXPECT_TRUE(disabledDuringDialog);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(window->serverView()->isEnabled());
  EXPECT_FALSE(window->commandRunning());
}

}  // namespace

#include <gtest/gtest.h>

#include <QDir>
#include <QPixmap>
#include <QTest>

#include "client/client_bridge.h"
#include "qt/ui_text.h"
#include "qt/url_dialog.h"
#include "qt/url_list_box.h"
#include "gui_test_support.h"
#include "peers/loopback_peers.h"
#include "serverlist/batch_scope.h"
#include "serverlist/server_editor.h"
#include "support/peer_process.h"
#include "verify/verify_command.h"

using namespace ravelin;
using namespace ravelin::qt;
using namespace ravelin::serverlist;
using namespace test::gui;
using test::TempDir;

namespace {

// PNGs of the windows as a user sees them, written to screenshots/ in the build tree for
// a person to look at; under a scale factor (QT_SCALE_FACTOR) to screenshots/scale-<factor>/,
// in a translation (LANGUAGE) to screenshots/<language>/.
QString screenshotFolder() {
  QString folder = QString::fromLatin1(RAVELIN_BINARY_DIR "/screenshots");
  const QString language = qEnvironmentVariable("LANGUAGE");
  if (!language.isEmpty()) folder += "/" + language;
  const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR");
  if (!scale.isEmpty() && scale != QLatin1String("1")) folder += "/scale-" + scale;
  return folder;
}

class Screenshots : public ::testing::Test, public MainWindowFixture {
 protected:
  QString folder = screenshotFolder();
  void SetUp() override { QDir().mkpath(folder); }
  void save(QWidget* w, const char* name) {
    settle();
    const QPixmap shot = w->grab();
    ASSERT_FALSE(shot.isNull());
    EXPECT_GT(shot.width(), 100);
    EXPECT_TRUE(shot.save(folder + "/" + name));
    // In every language: a translation must not make a text longer than its place.
    EXPECT_EQ(cutOffTexts(w).join(QStringLiteral(" | ")).toStdString(), "") << name;
  }
};

TEST_F(Screenshots, Windows) {
  {
    BatchScope import(list);
    for (int i = 0; i < 1000; ++i) {
      Server s = server("80." + std::to_string(i / 250) + ".17." + std::to_string(i % 250 + 1),
                        std::to_string(4661 + i % 5), "Server " + std::to_string(i),
                        std::to_string(i * 7919 % 50000));
      s.desc = i % 3 ? "Linux ed2k server" : "n/a";
      s.ping = std::to_string(20 + i % 300);
      s.pref = kPrefItems[static_cast<size_t>(i % 3)];
      list.append(s, i % 4 != 0);
    }
  }
  list.select(2);
  window->serverView()->showListSelection();
  save(window.get(), "main_window.png");

  window->filterWindow()->open();
  QTest::keyClicks(window->filterWindow()->valueBox(), "1000");
  save(window->filterWindow(), "filter_window.png");
  window->filterWindow()->hide();

  ServerEditorDialog* editor = window->editorDialog();
  ASSERT_TRUE(editor->prepareEdit());
  editor->show();
  save(editor, "edit_server.png");
  editor->hide();
  window->countdownDialog()->showSeconds(3);
  window->countdownDialog()->show();
  save(window->countdownDialog(), "close_countdown.png");
  window->countdownDialog()->hide();

  ctx.settings.URLs = test::Sources({"MET|http://127.0.0.1/server.met",
                                     "HTM|http://127.0.0.1/servers.html", "DNS|/home/u/dns.txt"});
  ctx.settings.ECPassword = "5EBE2294ECD0E0F08EAB7690D2A6EE69";  // shows the longer placeholder
  OptionsDialog* options = window->optionsDialog();
  options->prepare();
  options->show();
  for (const char* name :
       {"options_general.png", "options_update.png", "options_verify.png", "options_script.png"}) {
    save(options, name);
    options->tabs()->setCurrentIndex(options->tabs()->currentIndex() + 1);
  }
  UrlDialog* url = options->urlList()->urlDialog();
  url->prepareAdd();
  url->show();
  save(url, "url_dialog.png");
  url->hide();
  options->hide();
  window->aboutBox()->show();
  save(window->aboutBox(), "about_box.png");
  window->aboutBox()->hide();
  VersionCheckWindow* check = window->versionCheckWindow();
  check->show();
  check->setHeadline(runtime::fillIn(_("Connecting to %s..."), {"ravelin.example"}));
  check->setProgress(40);
  save(check, "version_check.png");
  check->close();
}

// The update and verify windows in the middle of real runs against loopback peers, with
// their details shown (the verify window also without); the warning and the transfer
// window as they open.
TEST_F(Screenshots, ProgressWindows) {
  FastClock time{ctx};
  TempDir files;
  test::OddHttpServer http{{files.file("requests.log"), "", files.path().string(), "", ""}};
  for (const char* path : {"/slow/50", "/silent"})
    ctx.settings.URLs.push_back(test::Source("MET|" + http.url(path)));
  ctx.settings.UpdThreadCount = 4;
  ctx.settings.UpdTimeout = 60;
  UpdateWindow* update = window->updateWindow();
  onceWhen([&] { return update->slotLabel(0)->text() == uiText("Receiving data..."); },
           [&] {
             save(update, "update_window.png");
             update->cancel();
           });
  window->action(MainWindow::cmdUpdateAll)->trigger();

  test::LoopbackListener accepting, silent(false, 0);
  ASSERT_LT(silent.fillAcceptQueue(), 64);
  for (int i = 0; i < 12; ++i) {
    const int port = i == 4 ? test::ClosedLoopbackPort() : i % 3 ? silent.port() : accepting.port();
    list.append(server("127.0.0.1", std::to_string(port)), true);
  }
  ctx.settings.VrfThreadCount = 6;
  ctx.settings.VrfTimeout = 60;
  ctx.settings.VrfWarning = false;
  VerifyWindow* verify = window->verifyWindow();
  // The slot's line as the catalogue words it: "<server>) refused the connection!".
  const QString refused = uiText("%s) refused the connection!").mid(2);
  onceWhen([&] { return verify->slotLine(4)->text().contains(refused); },
           [&] {
             save(verify, "verify_window.png");
             QTest::mouseClick(verify->detailsButton(), Qt::LeftButton);
             save(verify, "verify_window_no_details.png");
             verify->cancel();
           });
  window->action(MainWindow::cmdVerifyChecked)->trigger();

  whenModal([&](QWidget* modal) {
    save(modal, "verify_warning.png");
    window->verifyWarningWindow()->reject();
  });
  bool checked = false;
  window->verifyWarningWindow()->showModal(verify::verifyWarningText(), checked);

  TransferWindow* transfer = window->transferWindow();
  transfer->show();
  transfer->setHeadline(client::transferProgressText(3, 10));
  transfer->setDescription(client::makeClientBridge(ctx.settings)->route());
  save(transfer, "transfer_window.png");
  transfer->close();
}

TEST_F(Screenshots, ScriptEditor) {
  ScriptEditorWindow* editor = window->scriptEditor();
  editor->open();
  editor->textEdit()->appendPlainText(QStringLiteral(
      "RefreshEDonkeyMET\nFilter[Users>500]\nDelay[five]\nSaveCustomTXT[/tmp/servers.txt]"));
  editor->item(ScriptEditorWindow::CheckSyntax)->trigger();
  save(editor, "script_editor.png");
  InsertCommandDialog* dialog = editor->insertDialog();
  dialog->commandList()->setCurrentRow(4);
  dialog->show();
  save(dialog, "insert_command.png");
  dialog->commandList()->setCurrentRow(17);  // SaveTemplate: examples with file names
  save(dialog, "insert_command_files.png");
  dialog->hide();
}

}  // namespace

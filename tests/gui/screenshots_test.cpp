#include <gtest/gtest.h>

#include <QDir>
#include <QPixmap>
#include <QTest>

#include "gui_test_support.h"
#include "serverlist/batch_scope.h"
#include "serverlist/server_editor.h"

using namespace ravelin;
using namespace ravelin::gui;
using namespace ravelin::serverlist;
using namespace test::gui;

namespace {

// PNGs of the windows as a user sees them, written to screenshots/ in the build tree for
// a person to look at.
class Screenshots : public ::testing::Test, public MainWindowFixture {
 protected:
  QString folder = QString::fromLatin1(RAVELIN_BINARY_DIR "/screenshots");
  void SetUp() override { QDir().mkpath(folder); }
  void save(QWidget* w, const char* name) {
    settle();
    const QPixmap shot = w->grab();
    ASSERT_FALSE(shot.isNull());
    EXPECT_GT(shot.width(), 100);
    EXPECT_TRUE(shot.save(folder + "/" + name));
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

  VersionCheckWindow* check = window->versionCheckWindow();
  check->show();
  check->setHeadline("Connecting to ravelin.example...");
  check->setProgress(40);
  save(check, "version_check.png");
  check->close();
}

}  // namespace

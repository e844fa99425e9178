#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QMenuBar>
#include <QMessageBox>

#include "qt/qt_prompter.h"
#include "qt/qt_translations.h"
#include "gui_test_support.h"
#include "runtime/translate.h"
#include "serverlist/list_commands.h"

using namespace ravelin;
using namespace test::gui;

namespace {

void useLanguage(const char* language) {
  qputenv("LC_ALL", "C.UTF-8");
  qputenv("LANGUAGE", language);
  runtime::startTranslation();
  qt::loadQtTranslations();
}

// The main window and a box of the core in Italian, Qt's own buttons with them; English
// again once the language is unset.
TEST(Translation, MainWindowAndBoxesInTheUsersLanguage) {
  useLanguage("it");
  {
    MainWindowFixture f;
    QStringList menus;
    for (QAction* menu : f.window->menuBar()->actions()) menus << menu->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&Modifica", "&Aiuto"}));
    qt::QtPrompter real(f.window.get());
    f.ctx.prompter = &real;
    whenModal([](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->windowTitle(), "Attenzione");
      EXPECT_EQ(box->text(), "Svuotare davvero l'intero elenco?");
      EXPECT_EQ(box->button(QMessageBox::Yes)->text(), "&Sì");
      box->button(QMessageBox::No)->click();
    });
    EXPECT_FALSE(serverlist::clearServerList(f.list, f.ctx));
    f.ctx.prompter = &f.prompter;
    // An empty text (a box's or a slot's) stays empty, never the catalogue's header.
    EXPECT_STREQ(_(""), "");
  }
  useLanguage("");
  EXPECT_STREQ(_("Warning"), "Warning");
}

}  // namespace

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include "app/options_rules.h"
#include "app/settings_store.h"
#include "qt/url_dialog.h"
#include "qt/url_list_box.h"
#include "gui_test_support.h"

using namespace ravelin;
using namespace ravelin::qt;
using namespace test::gui;

namespace {

// Every key the dialog writes, as ravelin.ini would hold it.
std::string optionsText(const runtime::Settings& s) {
  app::IniFile ini;
  app::writeSettingsToIni(s, ini);
  return ini.text();
}

class OptionsDialogTest : public ::testing::Test, public MainWindowFixture {
 protected:
  // A file with keys the dialog does not show, a comment and a key of no one's.
  const std::string kept =
      "; written by hand\r\n[general]\r\nEDWaittime=250\r\nNegCompare=1\r\nNoRegCheck=1\r\n"
      "MyKey=keep me\r\nECPassword=ABC\r\n[ad]\r\nwaittime1=1234\r\nwaittime2=4321\r\n"
      "[support]\r\nSupportMe=1\r\n[URLs]\r\nURL1=MET|http://127.0.0.1/old.met\r\n";
  std::string ini;
  OptionsDialog* dialog = nullptr;

  void SetUp() override {
    ini = session->iniPath();
    test::WriteFile(ini, kept);
    ctx.settings = app::loadSettings(ini);
    dialog = window->optionsDialog();
    dialog->prepare();
    dialog->show();
  }
  void TearDown() override { dialog->hide(); }
  template <class T>
  T* control(const char* key) {
    T* found = dialog->findChild<T*>(QString::fromLatin1(key));
    EXPECT_NE(found, nullptr) << key;
    return found;
  }
  void type(const char* key, const QString& text) {
    control<QLineEdit>(key)->clear();
    QTest::keyClicks(control<QLineEdit>(key), text);
  }
  // Answers the next URL dialog.
  void answerUrlDialog(int kind, const QString& text) {
    whenModal([kind, text](QWidget* modal) {
      auto* url = dynamic_cast<UrlDialog*>(modal);
      ASSERT_NE(url, nullptr);
      url->kindBox()->setCurrentIndex(kind);
      url->urlBox()->setText(text);
      url->okButton()->click();
    });
  }
};

TEST_F(OptionsDialogTest, OkWritesEveryShownKeyAndKeepsTheRestOfTheFile) {
  EXPECT_EQ(dialog->windowTitle().toStdString(), "Ravelin: OPTIONS");
  EXPECT_EQ(dialog->tabs()->currentIndex(), 0);
  test::WriteFile(dir.file("client"), "");
  // An entry whose marker is not at its start goes back as it was read.
  ctx.settings.URLs.push_back(test::Source("note HTM|http://127.0.0.1/x"));
  dialog->prepare();
  const std::string filter = dir.file("ipfilter.dat");
  const runtime::Settings want = app::settingsFromIni(app::IniFile::fromText(
      "[general]\nEDPath=" + dir.path().string() +
      "/\nEDFilename=client\nEDGUI=0\n"
      "ECHost=127.0.0.2\nECPort=4713\nECPassword=5EBE2294ECD0E0F08EAB7690D2A6EE69\n"
      "MetAddressTags=1\nProxyAddr=127.0.0.1\nProxyPort=3128\nLOG=1\nIPFilterFile=" +
      filter +
      "\nUpdateInfoURL=http://127.0.0.1/info.txt\n[URLs]\nURL1=MET|http://127.0.0.1/old.met\n"
      "URL2=note HTM|http://127.0.0.1/x\nURL3=HTM|http://example.org/a.html\n"
      "[update]\nUpdThreadCount=8\nUpdTimeout=60\nMaxListMB=4096\n[verify]\nVrfThreadCount=20\n"
      "VrfTimeout=7\nVrfWarning=0\nVrfUdpStatus=1\n[script]\nScrSyntaxCheck=1\nScrExecOrEdit=1\n"
      "[support]\nSupportMe=1\n"));

  for (const auto& [key, text] : std::initializer_list<std::pair<const char*, QString>>{
           {"EDPath", QString::fromStdString(want.EDPath)},
           {"EDFilename", "client"},
           {"ECHost", "127.0.0.2"},
           {"ECPassword", "secret"},
           {"ProxyAddr", "127.0.0.1"},
           {"ProxyPort", "31x28"},  // the field takes digits only
           {"UpdateInfoURL", "http://127.0.0.1/info.txt"}})
    type(key, text);
  control<QGroupBox>("EDGUI")->findChildren<QRadioButton*>()[1]->click();
  control<QSpinBox>("ECPort")->setValue(4713);
  for (const char* key : {"MetAddressTags", "VrfWarning", "VrfUdpStatus", "ScrSyntaxCheck"})
    control<QCheckBox>(key)->click();
  QTest::mouseClick(control<QCheckBox>("LOG"), Qt::LeftButton);
  EXPECT_EQ(prompter.shown.back().text, app::kLogNextStart);
  chooseFile(filter);
  test::WriteFile(filter, "");
  dialog->chooseIPFilterFile();
  answerUrlDialog(0, "example.org/a.html");
  dialog->urlList()->addUrl();
  for (const char* key : {"UpdThreadCount", "UpdTimeout", "MaxListMB", "VrfThreadCount"})
    control<QSpinBox>(key)->setValue(99999);
  control<QSpinBox>("VrfTimeout")->setValue(7);
  control<QRadioButton>("ScrExecOrEdit")->click();
  const size_t boxes = prompter.shown.size();
  dialog->ok();

  EXPECT_EQ(prompter.shown.size(), boxes);  // no question: the client exists, URLs are set
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(optionsText(app::loadSettings(ini)), optionsText(want));
  EXPECT_EQ(optionsText(ctx.settings), optionsText(want));
  const std::string text = test::ReadFile(ini);
  for (const char* line : {"; written by hand", "EDWaittime=250", "NegCompare=1", "NoRegCheck=1",
                           "MyKey=keep me", "waittime1=1234", "waittime2=4321", "SupportMe=1"})
    EXPECT_NE(text.find(std::string(line) + "\r\n"), std::string::npos) << line;
}

TEST_F(OptionsDialogTest, RefusalsAndCancelWriteNothing) {
  const std::string running = optionsText(ctx.settings);
  control<QLineEdit>("EDFilename")->setText("no-such-client");
  control<QLineEdit>("ProxyPort")->setText("70000");
  dialog->ok();
  EXPECT_EQ(prompter.shown.back().text, app::kProxyPortRefused);
  control<QLineEdit>("ProxyPort")->clear();  // empty: no port
  prompter.answers = {MsgResult::No};
  dialog->ok();
  EXPECT_EQ(prompter.shown.back().text,
            "The client program cannot be found in this folder or on PATH!\r\nChoose it anyway?");
  UrlListBox* urls = dialog->urlList();
  urls->tree()->setCurrentItem(urls->tree()->topLevelItem(0));
  // The unchanged client field is not asked about again.
  prompter.answers = {MsgResult::Yes, MsgResult::No};
  QTest::keyClick(urls->tree(), Qt::Key_Delete);
  EXPECT_EQ(prompter.shown.back().text, "Do you really want to delete this URL ?");
  dialog->ok();
  EXPECT_EQ(prompter.shown.back().text, app::kNoUrlEntered);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(test::ReadFile(ini), kept);

  dialog->reject();
  EXPECT_EQ(test::ReadFile(ini), kept);
  EXPECT_EQ(optionsText(ctx.settings), running);
  dialog->prepare();
  EXPECT_EQ(urls->rows(), ctx.settings.URLs);

  // Yes to both questions stores, with the empty URL list and the stored password digest.
  control<QLineEdit>("ProxyPort")->clear();
  urls->setRows({});
  prompter.answers = {MsgResult::Yes, MsgResult::Yes};
  dialog->ok();
  const runtime::Settings back = app::loadSettings(ini);
  EXPECT_TRUE(back.URLs.empty());
  EXPECT_EQ(back.ProxyPort, 0);
  EXPECT_EQ(back.ECPassword, "ABC");

  // The menu items open the dialogs.
  for (const auto& [command, expected] :
       {std::pair<MainWindow::Command, QWidget*>{MainWindow::cmdOptions, dialog},
        {MainWindow::cmdAbout, window->aboutBox()}}) {
    whenModal([opened = expected](QWidget* modal) {
      EXPECT_EQ(modal, opened);
      modal->close();
    });
    window->action(command)->trigger();
  }
}

TEST_F(OptionsDialogTest, FieldsHoldTheirLongestTextsAtTheSmallestSize) {
  dialog->resize(1, 1);  // as small as the layout allows
  settle();
  for (const auto& [key, text] :
       {std::pair{"ECPassword", "stored; type to replace"}, {"ECHost", "255.255.255.255"}}) {
    QLineEdit* edit = control<QLineEdit>(key);
    // The text, 2 pixels beside it on either side and the frame.
    EXPECT_GE(edit->width(), edit->fontMetrics().horizontalAdvance(text) + 6) << key;
  }
}

TEST_F(OptionsDialogTest, SpeaksOfTheClientProgramAndNamesItsIniFileAndLogFolder) {
  EXPECT_EQ(dialog->iniPathLine()->text().toStdString(), session->iniPath());
  const QLineEdit* logFolder = control<QLineEdit>("LogFolder");
  ASSERT_NE(logFolder, nullptr);
  EXPECT_EQ(logFolder->text().toStdString(), dir.file("log"));
  for (const QWidget* w : dialog->findChildren<QWidget*>())
    for (const char* word : {"EXE", "explorer", "doubleclick", "EDonkey2000", "Command line"})
      for (const char* property : {"text", "title"})
        EXPECT_FALSE(w->property(property).toString().contains(word)) << word;
}

TEST_F(OptionsDialogTest, UrlListAddsEditsAndMoves) {
  UrlListBox* urls = dialog->urlList();
  answerUrlDialog(3, "/home/u/dns.txt");
  urls->addUrl();
  EXPECT_EQ(urls->urlDialog()->windowTitle().toStdString(), "Ravelin: OPTIONS: Add URL");
  urls->tree()->setCurrentItem(urls->tree()->topLevelItem(1));
  whenModal([](QWidget* modal) {
    auto* url = dynamic_cast<UrlDialog*>(modal);
    ASSERT_NE(url, nullptr);
    EXPECT_EQ(url->windowTitle().toStdString(), "Ravelin: OPTIONS: Edit URL");
    EXPECT_EQ(url->kindBox()->currentText().toStdString(), "DNS-File");
    EXPECT_EQ(url->urlBox()->text().toStdString(), "/home/u/dns.txt");
    url->kindBox()->setCurrentIndex(2);
    url->urlBox()->setText("127.0.0.1/c.bot");
    url->okButton()->click();
  });
  urls->editUrl();
  urls->moveSelected(0);
  EXPECT_EQ(urls->rows(),
            test::Sources({"BOT|http://127.0.0.1/c.bot", "MET|http://127.0.0.1/old.met"}));
  urls->moveSelected(-1);
  EXPECT_EQ(urls->rows()[1], test::Source("BOT|http://127.0.0.1/c.bot"));
}

TEST(AboutBoxTest, ShowsTheBuildsFactsAndOnlyThose) {
  const AboutBox plain({"1.3", "", ""});
  EXPECT_EQ(plain.windowTitle().toStdString(), "About Ravelin v1.3");
  EXPECT_EQ(plain.lines(), QStringList({"Product Name: Ravelin", "Version: v1.3"}));
  EXPECT_EQ(plain.homepageLink(), nullptr);
  const AboutBox full({"1.3", "Some licence", "https://ravelin.example/"});
  EXPECT_EQ(full.lines().mid(2),
            QStringList({"Licence: Some licence", "Web site: https://ravelin.example/"}));
  ASSERT_NE(full.homepageLink(), nullptr);
}

}  // namespace

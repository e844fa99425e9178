#pragma once
#include <QDialog>
#include <QTabWidget>

#include "app/startup.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace ravelin::qt {

class UrlListBox;

// "Ravelin: OPTIONS": the settings on four tabs, the URL list among them. Every opening
// fills the controls from the running settings; OK checks them, asks its questions, then
// makes them the running settings and writes them to the session's ravelin.ini; Cancel
// drops every change. Each control's object name is the ravelin.ini key it edits.
class OptionsDialog : public QDialog {
 public:
  OptionsDialog(app::AppSession& session, QWidget* parent = nullptr);

  // Fills the dialog and shows it modally; returns whether OK stored the settings.
  bool run();
  // Fills the controls from the running settings, on the first tab (run calls it).
  void prepare();
  // The OK button: stays open when a check or a question refuses.
  void ok();

  QTabWidget* tabs() const { return tabs_; }
  // The read-only line that names the session's ravelin.ini.
  QLineEdit* iniPathLine() const { return iniPath_; }
  UrlListBox* urlList() const { return urls_; }
  // The Search and Browse buttons' dialogs.
  void chooseEDPath();
  void chooseIPFilterFile();

 private:
  QWidget* buildGeneralTab();
  QWidget* buildUpdateTab();
  QWidget* buildVerifyTab();
  QWidget* buildScriptTab();
  // The settings as the controls hold them (the proxy port taken apart, as it is checked
  // first); keys without a control keep their running values.
  runtime::Settings editedSettings(int proxyPort) const;

  app::AppSession& session_;
  runtime::AppContext& ctx_;
  // The running settings the dialog was filled from: a text left as shown keeps its bytes.
  runtime::Settings shown_;
  // The client program the last OK warned about (see app::confirmOptions).
  std::optional<std::string> clientWarnedFor_;
  QTabWidget* tabs_;
  QLineEdit* edPath_;
  QLineEdit* edFilename_;
  QRadioButton* guiClient_;
  QRadioButton* cmdClient_;
  QLineEdit* ecHost_;
  QSpinBox* ecPort_;
  QLineEdit* ecPassword_;
  QCheckBox* metTags_;
  QLineEdit* proxyAddr_;
  QLineEdit* proxyPort_;
  QCheckBox* log_;
  QLineEdit* ipFilter_;
  QLineEdit* updateInfo_;
  QLineEdit* iniPath_;
  UrlListBox* urls_;
  QSpinBox* updThreads_;
  QSpinBox* updTimeout_;
  QSpinBox* maxListMB_;
  QSpinBox* vrfThreads_;
  QSpinBox* vrfTimeout_;
  QCheckBox* vrfWarning_;
  QCheckBox* vrfUdp_;
  QCheckBox* syntaxCheck_;
  QRadioButton* execScript_;
  QRadioButton* editScript_;
};

}  // namespace ravelin::qt

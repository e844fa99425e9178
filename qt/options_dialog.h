#pragma once
#include <QDialog>
#include <QTabWidget>

#include "app/startup.h"
#include "desk/options_presenter.h"

class QLineEdit;

namespace ravelin::qt {

class UrlListBox;

// "Ravelin: OPTIONS": the settings on four tabs, the URL list among them. Every opening
// fills the controls from the running settings; OK checks them, asks its questions, then
// makes them the running settings and writes them to the session's ravelin.ini; Cancel
// drops every change. Each control's object name is the ravelin.ini key it edits.
class OptionsDialog : public QDialog, private desk::OptionsForm {
 public:
  OptionsDialog(app::AppSession& session, QWidget* parent = nullptr);

  // Fills the dialog and shows it modally; returns whether OK stored the settings.
  bool run();
  // Fills the controls from the running settings, on the first tab (run calls it).
  void prepare() { presenter_.prepare(); }
  // The OK button: stays open when a check or a question refuses.
  void ok() { presenter_.ok(); }

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
  // The control that edits the key (the first radio button of a group of two).
  template <typename T>
  T* field(std::string_view key) const;

  void setText(std::string_view key, const std::string& bytes) override;
  std::string text(std::string_view key) const override;
  void setNumber(std::string_view key, int value) override;
  int number(std::string_view key) const override;
  void setChecked(std::string_view key, bool on) override;
  bool isChecked(std::string_view key) const override;
  void setUrls(const std::vector<runtime::UrlSource>& rows) override;
  std::vector<runtime::UrlSource> urls() const override;
  void clearPassword(bool stored) override;
  std::string password() const override;
  bool passwordTouched() const override;
  void showFirstTab() override;
  void focusField(std::string_view key) override;
  void closeAccepted() override { accept(); }

  app::AppSession& session_;
  runtime::AppContext& ctx_;
  desk::OptionsPresenter presenter_;
  QTabWidget* tabs_;
  QLineEdit* ecPassword_;
  QLineEdit* iniPath_;
  UrlListBox* urls_;
};

}  // namespace ravelin::qt

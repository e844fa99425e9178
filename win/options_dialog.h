#pragma once
#include <windows.h>

#include <array>
#include <map>
#include <memory>
#include <string>

#include "desk/options_presenter.h"
#include "win/dialog.h"
#include "win/dialog_page.h"
#include "win/url_list_box.h"

namespace ravelin::win {

// "Ravelin: OPTIONS": a tab control over one page per tab (general, update, verify,
// script), each control named by the ravelin.ini key it edits; OK stores the settings
// through desk's presenter, which keeps the dialog open on a refusal.
class OptionsDialog : public Dialog, public desk::OptionsForm {
 public:
  static constexpr int kTabsId = 100;
  static constexpr int kPageCount = 4;

  explicit OptionsDialog(app::AppSession& session);

  // Shows the dialog; whether OK stored the settings.
  bool run(HWND owner);

  // The control that edits the ravelin.ini key (a choice of two: its first radio button),
  // or null; for a number, the box beside its arrows.
  HWND control(std::string_view key) const;
  static HWND control(HWND dialog, std::string_view key);

  // desk::OptionsForm.
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
  void showFirstTab() override { showTab(0); }
  void focusField(std::string_view key) override;
  void closeAccepted() override { end(IDOK); }

 private:
  DialogTemplate layout() const override;
  void created() override;
  void command(int id, int code) override;
  std::optional<INT_PTR> message(UINT message, WPARAM wParam, LPARAM lParam) override;
  // What a page's controls report.
  void pageCommand(int id, int code);
  std::optional<INT_PTR> pageMessage(UINT message, WPARAM wParam, LPARAM lParam);
  DialogTemplate pageLayout(int page) const;
  void showTab(int page);
  void chooseClientFolder();
  void chooseIPFilterFile();

  app::AppSession& session_;
  desk::OptionsPresenter presenter_;
  UrlListBox urls_;
  std::array<std::unique_ptr<DialogPage>, kPageCount> pages_;
  // The bytes each text field was filled with, given back while its text is unchanged.
  std::map<std::string, std::string, std::less<>> shownBytes_;
};

}  // namespace ravelin::win

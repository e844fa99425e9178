#pragma once
// The options dialog's behaviour without a toolkit: which control edits which setting, how
// an opening fills them, and what OK checks and asks before the settings are stored.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/startup.h"
#include "runtime/settings.h"

namespace ravelin::desk {

// The options dialog's controls as the presenter sees them, each named by the ravelin.ini
// key it edits. A yes/no setting may be a check box or a pair of radio buttons.
class OptionsForm {
 public:
  virtual ~OptionsForm() = default;
  // A text field shows bytes (see OptionsPresenter's field table); text gives the bytes
  // shown back unchanged while the user left the text as it was.
  virtual void setText(std::string_view key, const std::string& bytes) = 0;
  virtual std::string text(std::string_view key) const = 0;
  virtual void setNumber(std::string_view key, int value) = 0;
  virtual int number(std::string_view key) const = 0;
  virtual void setChecked(std::string_view key, bool on) = 0;
  virtual bool isChecked(std::string_view key) const = 0;
  virtual void setUrls(const std::vector<runtime::UrlSource>& rows) = 0;
  virtual std::vector<runtime::UrlSource> urls() const = 0;
  // The password field is never filled: it is emptied, and its placeholder says whether a
  // password is stored.
  virtual void clearPassword(bool stored) = 0;
  virtual std::string password() const = 0;
  // Whether the user edited the password field since it was emptied.
  virtual bool passwordTouched() const = 0;
  // Shows the first tab (the general settings).
  virtual void showFirstTab() = 0;
  // Shows the field's tab and puts the cursor in the field, its text selected for retyping.
  virtual void focusField(std::string_view key) = 0;
  // Closes the dialog as accepted.
  virtual void closeAccepted() = 0;
};

class OptionsPresenter {
 public:
  OptionsPresenter(app::AppSession& session, OptionsForm& form);

  // Fills the controls from the running settings, on the first tab.
  void prepare();
  // The settings as the controls hold them (the proxy port taken apart, as it is checked
  // first); keys without a control keep their running values.
  runtime::Settings editedSettings(int proxyPort) const;
  // The OK button: checks the proxy port, asks its questions, then makes the settings the
  // running ones and writes them to ravelin.ini. The dialog stays open on a refusal.
  void ok();
  // The user ticked or cleared the log box; only the user's tick says something.
  void logTicked(bool checked) const;
  // The file the IP filter's Browse dialog offers first: the field's, or the client's own.
  std::string offeredIPFilterFile() const;

 private:
  app::AppSession& session_;
  runtime::AppContext& ctx_;
  OptionsForm& form_;
  // The running settings the dialog was filled from.
  runtime::Settings shown_;
  // The client program the last OK warned about (see app::confirmOptions).
  std::optional<std::string> clientWarnedFor_;
};

}  // namespace ravelin::desk

#include "desk/options_presenter.h"

#include <gtest/gtest.h>

#include <map>

#include "app/options_rules.h"
#include "app/settings_store.h"
#include "support/test_support.h"

using namespace ravelin;

namespace {

// The controls as a map from key to value; a text keeps no bytes of its own, as a field
// shows whatever it is given.
class FakeForm : public desk::OptionsForm {
 public:
  std::map<std::string, std::string, std::less<>> texts;
  std::map<std::string, int, std::less<>> numbers;
  std::map<std::string, bool, std::less<>> flags;
  std::vector<runtime::UrlSource> rows;
  std::string typedPassword, focused;
  bool passwordStored = false, accepted = false;

  void setText(std::string_view key, const std::string& bytes) override {
    texts[std::string(key)] = bytes;
  }
  std::string text(std::string_view key) const override { return texts.find(key)->second; }
  void setNumber(std::string_view key, int value) override { numbers[std::string(key)] = value; }
  int number(std::string_view key) const override { return numbers.find(key)->second; }
  void setChecked(std::string_view key, bool on) override { flags[std::string(key)] = on; }
  bool isChecked(std::string_view key) const override { return flags.find(key)->second; }
  void setUrls(const std::vector<runtime::UrlSource>& r) override { rows = r; }
  std::vector<runtime::UrlSource> urls() const override { return rows; }
  void clearPassword(bool stored) override { passwordStored = stored; }
  std::string password() const override { return typedPassword; }
  bool passwordTouched() const override { return !typedPassword.empty(); }
  void showFirstTab() override {}
  void focusField(std::string_view key) override { focused = key; }
  void closeAccepted() override { accepted = true; }
};

TEST(OptionsPresenter, FillsEveryKeyRefusesABadPortAndStoresWhatTheFormHolds) {
  test::TestApp app;
  const std::string ini = app.dir.file("ravelin.ini");
  app::AppSession session{app.ctx, ini};
  app.ctx.settings.ECPassword = "ABC";
  app.ctx.settings.URLs = test::Sources({"MET|http://127.0.0.1/a.met"});
  FakeForm form;
  desk::OptionsPresenter presenter(session, form);
  presenter.prepare();
  EXPECT_EQ(form.texts.at("EDPath"), app.ctx.settings.EDPath);
  EXPECT_EQ(form.texts.at("ProxyPort"), "0");
  EXPECT_TRUE(form.passwordStored);
  // Without a typed name the IP filter dialog offers the client's own filter.
  EXPECT_EQ(presenter.offeredIPFilterFile(),
            runtime::clientFile(app.ctx.settings.EDPath, "ipfilter.dat"));

  form.texts["ProxyPort"] = "70000";
  presenter.ok();
  EXPECT_EQ(app.prompter.shown.back().text, app::kProxyPortRefused);
  EXPECT_EQ(form.focused, "ProxyPort");

  // The client is missing: the question comes, Yes stores every control's value.
  form.texts["ProxyPort"] = "3128";
  form.texts["EDFilename"] = "no-such-client";
  form.numbers["VrfTimeout"] = 7;
  app.prompter.answers = {runtime::MsgResult::Yes};
  presenter.ok();
  EXPECT_EQ(app.prompter.shown.back().text, app::kClientNotFound);
  EXPECT_TRUE(form.accepted);
  const runtime::Settings back = app::loadSettings(ini);
  EXPECT_EQ(back.ProxyPort, 3128);
  EXPECT_EQ(back.EDFilename, "no-such-client");
  EXPECT_EQ(back.VrfTimeout, 7);
  EXPECT_EQ(back.ECPassword, "ABC");
}

}  // namespace

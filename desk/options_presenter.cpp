#include "desk/options_presenter.h"

#include <exception>

#include "app/options_rules.h"

namespace ravelin::desk {

namespace {

using runtime::Settings;

// Each control and the setting it edits; a new setting needs one line here and its control.
template <typename T>
struct Field {
  const char* key;
  T Settings::*value;
};

constexpr Field<std::string> kTextFields[] = {{"EDPath", &Settings::EDPath},
                                              {"EDFilename", &Settings::EDFilename},
                                              {"ECHost", &Settings::ECHost},
                                              {"ProxyAddr", &Settings::ProxyAddr},
                                              {"IPFilterFile", &Settings::IPFilterFile},
                                              {"UpdateInfoURL", &Settings::UpdateInfoURL}};

constexpr Field<int> kNumberFields[] = {{"ECPort", &Settings::ECPort},
                                        {"UpdThreadCount", &Settings::UpdThreadCount},
                                        {"UpdTimeout", &Settings::UpdTimeout},
                                        {"MaxListMB", &Settings::MaxListMB},
                                        {"VrfThreadCount", &Settings::VrfThreadCount},
                                        {"VrfParallel", &Settings::VrfParallel},
                                        {"VrfProxyParallel", &Settings::VrfProxyParallel},
                                        {"VrfTimeout", &Settings::VrfTimeout}};

constexpr Field<bool> kFlagFields[] = {{"EDGUI", &Settings::EDGUI},
                                       {"MetAddressTags", &Settings::MetAddressTags},
                                       {"LOG", &Settings::LOG},
                                       {"VrfWarning", &Settings::VrfWarning},
                                       {"VrfUdpStatus", &Settings::VrfUdpStatus},
                                       {"ScrSyntaxCheck", &Settings::ScrSyntaxCheck},
                                       {"ScrExecOrEdit", &Settings::ScrExecOrEdit}};

// The proxy port is typed as text, so that what is no port can be refused with a reason.
constexpr const char* kProxyPortKey = "ProxyPort";

}  // namespace

OptionsPresenter::OptionsPresenter(app::AppSession& session, OptionsForm& form)
    : session_(session), ctx_(session.context()), form_(form) {}

void OptionsPresenter::prepare() {
  shown_ = ctx_.settings;
  for (const auto& field : kTextFields) form_.setText(field.key, shown_.*field.value);
  for (const auto& field : kNumberFields) form_.setNumber(field.key, shown_.*field.value);
  for (const auto& field : kFlagFields) form_.setChecked(field.key, shown_.*field.value);
  form_.setText(kProxyPortKey, std::to_string(shown_.ProxyPort));
  form_.clearPassword(!shown_.ECPassword.empty());
  form_.setUrls(shown_.URLs);
  form_.showFirstTab();
}

runtime::Settings OptionsPresenter::editedSettings(int proxyPort) const {
  Settings s = shown_;
  for (const auto& field : kTextFields) s.*field.value = form_.text(field.key);
  for (const auto& field : kNumberFields) s.*field.value = form_.number(field.key);
  for (const auto& field : kFlagFields) s.*field.value = form_.isChecked(field.key);
  s.ProxyPort = proxyPort;
  s.ECPassword =
      app::ecPasswordAfterEdit(shown_.ECPassword, form_.password(), form_.passwordTouched());
  s.URLs = form_.urls();
  return s;
}

void OptionsPresenter::ok() {
  if (!ctx_.prompter) return;
  const std::optional<int> port = app::proxyPortFromField(form_.text(kProxyPortKey));
  if (!port) {
    ctx_.message(N_("Error"), app::kProxyPortRefused, runtime::MsgIcon::Error,
                 runtime::MsgButtons::Ok);
    form_.focusField(kProxyPortKey);
    return;
  }
  const Settings edited = editedSettings(*port);
  if (!app::confirmOptions(edited, ctx_, clientWarnedFor_)) return;
  try {
    app::applyOptions(session_, edited);
  } catch (const std::exception& e) {
    // The new settings hold for this run all the same.
    ctx_.message(N_("Error"), e.what(), runtime::MsgIcon::Error, runtime::MsgButtons::Ok);
  }
  form_.closeAccepted();
}

void OptionsPresenter::logTicked(bool checked) const {
  if (checked)
    ctx_.message(N_("Info"), app::kLogNextStart, runtime::MsgIcon::Information,
                 runtime::MsgButtons::Ok);
}

std::string OptionsPresenter::offeredIPFilterFile() const {
  const std::string field = form_.text("IPFilterFile");
  if (!field.empty()) return field;
  return runtime::clientFile(form_.text("EDPath"), "ipfilter.dat");
}

}  // namespace ravelin::desk

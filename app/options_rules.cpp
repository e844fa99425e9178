#include "app/options_rules.h"

#include <algorithm>

#include "app/settings_store.h"
#include "app/startup.h"
#include "client/launch.h"
#include "platform/file_io.h"
#include "platform/text.h"
#include "runtime/translate.h"

namespace ravelin::app {

using runtime::SourceKind;
using runtime::UrlSource;

std::string urlKindName(const UrlSource& source) {
  for (size_t i = 0; i < std::size(kUrlKinds); ++i)
    if (source.kind == kUrlKinds[i]) return kUrlKindNames[i];
  for (size_t i = 0; i < std::size(kUrlMarkers); ++i)
    if (source.location.find(kUrlMarkers[i]) != std::string::npos) return kUrlKindNames[i];
  return kUrlKindNames[3];
}

SourceKind urlKindFromName(std::string_view name) {
  for (size_t i = 0; i + 1 < std::size(kUrlKinds); ++i)
    if (name == kUrlKindNames[i]) return kUrlKinds[i];
  return SourceKind::DNS;
}

UrlSource urlFromDialog(SourceKind kind, std::string_view text) {
  UrlSource source{kind, std::string(text)};
  if (kind == SourceKind::DNS) return source;
  const std::string lower = platform::lowerAscii(text);
  if (lower.find("http://") == std::string::npos && lower.find("https://") == std::string::npos)
    source.location.insert(0, "http://");
  return source;
}

void sortUrlRows(std::vector<UrlSource>& rows, int column, bool ascending) {
  const auto key = [column](const UrlSource& row) {
    return column == 0 ? urlKindName(row) : row.location;
  };
  std::stable_sort(rows.begin(), rows.end(), [&](const UrlSource& a, const UrlSource& b) {
    const int order = platform::compareTextNoCase(key(a), key(b));
    return ascending ? order < 0 : order > 0;
  });
}

std::optional<int> proxyPortFromField(std::string_view text) {
  if (text.empty()) return 0;
  if (text.size() > 5 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  const int port = *platform::parseInt32(text);
  if (port > 65535) return std::nullopt;
  return port;
}

std::string ecPasswordAfterEdit(const std::string& storedDigest, const std::string& field,
                                bool touched) {
  if (!field.empty()) return ecPasswordDigest(field);
  return touched ? std::string() : storedDigest;
}

bool confirmOptions(const runtime::Settings& edited, const runtime::AppContext& ctx,
                    std::optional<std::string>& warnedFor) {
  // Nobody to ask (a script runs): the settings stand as they are.
  const auto ask = [&ctx](const char* text) {
    return ctx.message(N_("Warning"), text, runtime::MsgIcon::Exclamation,
                       runtime::MsgButtons::YesNo,
                       runtime::MsgResult::Yes) == runtime::MsgResult::Yes;
  };
  const std::string program = client::clientExecutable(edited);
  // A change of either field asks again.
  const std::string named = edited.EDPath + '\n' + edited.EDFilename;
  if ((program.empty() || !platform::fileExists(program)) && warnedFor != named) {
    warnedFor = named;
    if (!ask(kClientNotFound)) return false;
  }
  if (edited.URLs.empty() && !ask(kNoUrlEntered)) return false;
  return true;
}

void applyOptions(AppSession& session, const runtime::Settings& edited) {
  session.context().settings = edited;
  session.saveSettings();
}

}  // namespace ravelin::app

#include "app/file_commands.h"

#include <string_view>

#include "platform/file_io.h"
#include "platform/system.h"
#include "runtime/translate.h"
#include "serverlist/met_file.h"

namespace ravelin::app {

bool haveServersToSave(const serverlist::ServerList& list, runtime::AppContext& ctx) {
  if (list.checkedCount() > 0) return true;
  ctx.message(N_("Warning"), serverlist::kNothingToSaveText, runtime::MsgIcon::Error,
              runtime::MsgButtons::Ok);
  return false;
}

RefreshResult refreshStandardServerMet(
    serverlist::ServerList& list, runtime::ProgressBar& bar, runtime::AppContext& ctx,
    const std::function<std::optional<std::string>()>& chooseFile) {
  const auto read = [&](const std::string& file) {
    return serverlist::readServersFromMet(list, file, bar, ctx).gaveList() ? RefreshResult::Read
                                                                          : RefreshResult::Damaged;
  };
  const std::string path = runtime::clientFile(ctx.settings.EDPath, "server.met");
  if (platform::fileExists(path)) return read(path);
  if (ctx.state.scriptRunning) return RefreshResult::NoFile;
  if (ctx.message(N_("Warning"), kServerMetMissingText, runtime::MsgIcon::Exclamation,
                  runtime::MsgButtons::YesNo, runtime::MsgResult::No) != runtime::MsgResult::Yes) {
    return RefreshResult::NoFile;
  }
  const std::optional<std::string> chosen = chooseFile ? chooseFile() : std::nullopt;
  if (!chosen) return RefreshResult::NoFile;
  return read(*chosen);
}

std::string savedFileName(const std::string& chosen, const std::string& filterExtension) {
  const size_t slash = chosen.find_last_of(platform::kPathSeparators);
  const std::string_view name =
      std::string_view(chosen).substr(slash == std::string::npos ? 0 : slash + 1);
  // A leading dot names a hidden file, not an extension.
  const bool hasExtension = name.size() > 1 && name.find('.', 1) != std::string_view::npos;
  return hasExtension ? chosen : chosen + filterExtension;
}

}  // namespace ravelin::app

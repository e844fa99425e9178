#include "desk/command_line.h"

#include <stdexcept>
#include <string_view>
#include <utility>

#include "app/startup.h"
#include "platform/file_io.h"
#include "runtime/translate.h"

namespace ravelin::desk {

namespace {

constexpr const char* kUsage =
    N_("Usage: ravelin [--ini FILE] [SCRIPT | --edit SCRIPT | --run SCRIPT]\n"
       "Shows the server list; opens SCRIPT (a Ravelin script file) in the script editor, or\n"
       "runs it once the window is open when ScrExecOrEdit=1 in section [script] of ravelin.ini.\n"
       "Relative file names in a script count from the script file's folder (in a script\n"
       "never saved, from the current directory).\n"
       "  --edit SCRIPT  open SCRIPT in the script editor, whatever ScrExecOrEdit says\n"
       "  --run SCRIPT   run SCRIPT once the window is open, whatever ScrExecOrEdit says\n"
       "  --ini FILE     use another ravelin.ini\n"
       "  --help         show this text\n"
       "  --version      show the version\n"
       "Scripts run without any window with ravelin-cli (see 'ravelin-cli --help').\n"
       "More in 'man ravelin'.\n");

// The options that ask for one action, whatever ScrExecOrEdit says.
constexpr std::pair<std::string_view, ScriptAction> kActionOptions[] = {
    {"--edit", ScriptAction::Edit}, {"--run", ScriptAction::Run}};

std::optional<ScriptAction> actionOption(std::string_view arg) {
  for (const auto& [option, action] : kActionOptions)
    if (arg == option) return action;
  return std::nullopt;
}

}  // namespace

std::optional<EarlyAnswer> answerBeforeWindows(std::vector<std::string> args) {
  try {
    app::takeIniOption(args);
  } catch (const std::invalid_argument& e) {
    return EarlyAnswer{2, std::string("ravelin: ") + e.what() + "\n" + _(kUsage)};
  }
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) return EarlyAnswer{0, _(kUsage)};
  if (!args.empty() && args[0] == "--version")
    return EarlyAnswer{0, std::string("ravelin ") + RAVELIN_VERSION + "\n"};
  if (args.size() == 1 && actionOption(args[0]))
    return EarlyAnswer{2,
                       "ravelin: " + args[0] + " " + _("needs a script file") + "\n" + _(kUsage)};
  return std::nullopt;
}

ScriptRequest startupScript(const std::vector<std::string>& args) {
  ScriptRequest request;
  size_t script = 0;
  if (!args.empty()) {
    if (const std::optional<ScriptAction> action = actionOption(args[0])) {
      request.action = *action;
      script = 1;
    }
  }
  if (script < args.size() && platform::fileExists(args[script]))
    request.path = app::absolutePath(args[script]);
  return request;
}

std::string handOverText(const ScriptRequest& request) {
  for (const auto& [option, action] : kActionOptions)
    if (request.action == action) return std::string(option) + ' ' + request.path;
  return request.path;
}

ScriptRequest handedRequest(const std::string& text) {
  // An absolute path never starts with "--".
  const size_t blank = text.find(' ');
  if (blank != std::string::npos) {
    if (const std::optional<ScriptAction> action =
            actionOption(std::string_view(text).substr(0, blank)))
      return {text.substr(blank + 1), *action};
  }
  return {text, ScriptAction::AsSettingsSay};
}

}  // namespace ravelin::desk

#include "desk/command_line.h"

#include <stdexcept>

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

constexpr std::string_view kEditOption = "--edit";
constexpr std::string_view kRunOption = "--run";

std::optional<ScriptAction> actionOption(const std::string& arg) {
  if (arg == kEditOption) return ScriptAction::Edit;
  if (arg == kRunOption) return ScriptAction::Run;
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
  switch (request.action) {
    case ScriptAction::Edit:
      return std::string(kEditOption) + ' ' + request.path;
    case ScriptAction::Run:
      return std::string(kRunOption) + ' ' + request.path;
    case ScriptAction::AsSettingsSay:
      break;
  }
  return request.path;
}

ScriptRequest handedRequest(const std::string& text) {
  // An absolute path never starts with "--".
  for (const ScriptAction action : {ScriptAction::Edit, ScriptAction::Run}) {
    const std::string_view option = action == ScriptAction::Edit ? kEditOption : kRunOption;
    if (text.size() > option.size() && text.starts_with(option) && text[option.size()] == ' ')
      return {text.substr(option.size() + 1), action};
  }
  return {text, ScriptAction::AsSettingsSay};
}

}  // namespace ravelin::desk

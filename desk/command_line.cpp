#include "desk/command_line.h"

#include <stdexcept>

#include "app/startup.h"
#include "platform/file_io.h"
#include "runtime/translate.h"

namespace ravelin::desk {

namespace {

constexpr const char* kUsage =
    N_("Usage: ravelin [--ini FILE] [SCRIPT]\n"
       "Shows the server list; opens SCRIPT (a Ravelin script file) in the script editor, or\n"
       "runs it once the window is open when ScrExecOrEdit=1 in section [script] of ravelin.ini.\n"
       "Relative file names in a script count from the script file's folder (in a script\n"
       "never saved, from the current directory).\n"
       "  --ini FILE   use another ravelin.ini\n"
       "  --help       show this text\n"
       "  --version    show the version\n"
       "Scripts run without any window with ravelin-cli (see 'ravelin-cli --help').\n"
       "More in 'man ravelin'.\n");

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
  return std::nullopt;
}

std::string startupScript(const std::vector<std::string>& args) {
  return !args.empty() && platform::fileExists(args[0]) ? app::absolutePath(args[0]) : "";
}

}  // namespace ravelin::desk

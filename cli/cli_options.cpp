#include "cli/cli_options.h"

#include <stdexcept>

#include "runtime/translate.h"

namespace ravelin::cli {

std::string usageText() {
  return std::string(_("Usage:")) +
         " ravelin-cli [options] run SCRIPT\n"
         "       ravelin-cli [options] -e LINE [-e LINE ...]\n"
         "       ravelin-cli [options] check SCRIPT\n"
         "       ravelin-cli [options] check-version\n"
         "\n" +
         _("Runs Ravelin scripts without any window: \"run\" runs a script file (and adds it\n"
           "to the recently used scripts), -e runs the given lines as one script, \"check\"\n"
           "only checks a script's syntax, \"check-version\" asks the update-info address\n"
           "(UpdateInfoURL in ravelin.ini) whether a newer Ravelin exists. Every script is\n"
           "checked before it runs; a wrong line stops it before anything has run\n"
           "(ScrSyntaxCheck in ravelin.ini does not matter here). Updates and verifications\n"
           "run without the pauses that the desktop program makes so that its windows can\n"
           "show each state: they go on as soon as the event they wait for has happened.\n") +
         "\n" +
         _("Relative file names in a script count from the script file's folder, whatever\n"
           "the current directory; in -e lines they count from the current directory.\n"
           "Downloads (updates, check-version) go through the HTTP proxy ProxyAddr of\n"
           "ravelin.ini; when it is empty, through http_proxy or https_proxy (also in upper\n"
           "case) unless no_proxy names the host.\n") +
         "\n" +
         _("Options:\n"
           "  --ini FILE      use FILE as ravelin.ini\n"
           "  --no-check      run the script without checking it first; lines that are\n"
           "                  no usable command are skipped\n"
           "  --check         check the syntax before running (the default)\n"
           "  -q, --quiet     print nothing but errors\n"
           "  -v, --verbose   print every status line of updates and verifications\n"
           "  -h, --help      show this text\n"
           "  --version       show the version\n") +
         "\n" +
         _("Exit status: 0 the script ran to its end (or CloseUtils closed the program),\n"
           "1 syntax error, 2 usage error or unreadable script file, 3 a command failed (a\n"
           "verification that reached no server, the network seeming down, is one; so is an\n"
           "update none of whose sources could be read), 130 interrupted (SIGINT, Ctrl+C),\n"
           "143 terminated (SIGTERM).\n"
           "check-version: 0 nothing newer, 4 a newer version or URL list, 3 the download\n"
           "failed, 2 no UpdateInfoURL configured.\n");
}

Options parseOptions(const std::vector<std::string>& args) {
  Options o;
  std::vector<std::string> positional;
  bool helpOrVersion = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&](const char* name) -> std::string {
      if (i + 1 >= args.size())
        throw std::invalid_argument(runtime::fillIn(_("%s needs a value"), {name}));
      return args[++i];
    };
    if (a == "--") {
      positional.insert(positional.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    } else if (a == "--help" || a == "-h") {
      o.mode = Mode::Help;
      helpOrVersion = true;
    } else if (a == "--version") {
      if (!helpOrVersion) o.mode = Mode::Version;
      helpOrVersion = true;
    } else if (a == "--ini" || a.starts_with("--ini=")) {
      o.iniFile = a == "--ini" ? value("--ini") : a.substr(6);
      if (o.iniFile.empty()) throw std::invalid_argument(_("--ini needs a file name"));
    } else if (a == "--quiet" || a == "-q") {
      o.quiet = true;
    } else if (a == "--verbose" || a == "-v") {
      o.verbose = true;
    } else if (a == "--check") {
      o.check = true;
    } else if (a == "--no-check") {
      o.check = false;
    } else if (a == "-e") {
      o.lines.push_back(value("-e"));
    } else if (a.size() > 1 && a[0] == '-') {
      throw std::invalid_argument(runtime::fillIn(_("unknown option %s"), {a}));
    } else {
      positional.push_back(a);
    }
  }
  if (helpOrVersion) return o;
  if (o.quiet && o.verbose)
    throw std::invalid_argument(_("--quiet and --verbose exclude each other"));
  if (!o.lines.empty()) {
    if (!positional.empty())
      throw std::invalid_argument(
          runtime::fillIn(_("-e cannot be combined with %s"), {positional.front()}));
    o.mode = Mode::Lines;
    return o;
  }
  if (positional.empty()) throw std::invalid_argument(_("nothing to do"));
  const std::string& command = positional.front();
  if (command == "check-version") {
    if (positional.size() != 1) throw std::invalid_argument(_("check-version takes no arguments"));
    o.mode = Mode::CheckVersion;
    return o;
  }
  if (command != "run" && command != "check")
    throw std::invalid_argument(runtime::fillIn(_("unknown command %s"), {command}));
  if (positional.size() != 2)
    throw std::invalid_argument(runtime::fillIn(_("%s needs exactly one script file"), {command}));
  o.mode = command == "run" ? Mode::Run : Mode::Check;
  o.script = positional[1];
  if (o.script.empty()) throw std::invalid_argument(_("the script file name is empty"));
  return o;
}

}  // namespace ravelin::cli

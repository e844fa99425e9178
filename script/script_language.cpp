#include "script/script_language.h"

#include "platform/text.h"
#include "platform/text_encoding.h"
#include "runtime/app_context.h"
#include "runtime/silent_abort.h"
#include "runtime/translate.h"
#include "serverlist/ip_port.h"
#include "serverlist/server_filter.h"

namespace ravelin::script {

namespace {

using C = ScriptCommand;

// The examples name files the way this platform's users write them: "~/" for the home
// folder, aMule's ~/.aMule/ for the client folder, and names without a folder, which count
// from the script's folder. The client is aMule, reached through its console amulecmd.
// On Windows the client is eMule, whose server.met lies in its config folder (in the
// user's profile, or beside the program in an older install), files have drive paths, and
// "start" opens a file as a double click does.
// (The Windows build's originals named C:\EDonkey2000\ files, C:\Windows\notepad.exe,
// the console command "name Marrowby" and gdonkey.exe or donkey.exe.)
const std::array<ScriptCommandInfo, kScriptCommandCount> kCommands = {{
    {C::CheckAll, "CheckAll", false, "CheckAll", N_("checks all servers."), {"CheckAll"}},
    {C::ClearList, "ClearList", false, "ClearList", N_("clears the serverlist."), {"ClearList"}},
    {C::CloseUtils, "CloseUtils", false, "CloseUtils", N_("closes the Ravelin."), {"CloseUtils"}},
    {C::Delay,
     "Delay",
     true,
     "Delay[<Time>]",
     N_("waits <Time> seconds with the processing"),
     {"Delay[5]"}},
    {C::Filter,
     "Filter",
     true,
     "Filter[<name><operator><value>]",
     N_("filters the serverlist. <name> can be: IP, Port, Name, Desc, Ping, Users, Files, Pref or "
        "Hist. <operator> can be: =, <, >, <>. <value> ist the value to compare.Wildcards (* or ?) "
        "can be used."),
     {"Filter[IP=213.45.67.21] //Only the the IP 213.45.67.21 will be checked/marked.",
      "Filter[IP=217.*] //Only IPs beginning with 217. will be checked/marked.",
      "Filter[Users>500] //Only servers with Users greater than 500 will be checked/marked.",
      "Filter[Ping<150] //Only servers with a Ping lower than 150 will be checked/marked."}},
    {C::HideWindows,
     "HideWindows",
     false,
     "HideWindows",
     N_("minimizes the Ravelin' main window while processing the script"),
     {"HideWindows"}},
    {C::InvertSelection,
     "InvertSelection",
     false,
     "InvertSelection",
     N_("inverts the checked-status of the servers."),
     {"InvertSelection"}},
    {C::RefreshCustomBOT,
     "RefreshCustomBOT",
     true,
     "RefreshCustomBOT[<Filename>]",
     N_("refreshes a custom BOT-File located by <Filename>"),
     {"RefreshCustomBOT[~/Downloads/serverlist.bot]"},
     nullptr,
     {"RefreshCustomBOT[C:\\Downloads\\serverlist.bot]"}},
    {C::RefreshCustomHTML,
     "RefreshCustomHTML",
     true,
     "RefreshCustomHTML[<Filename>]",
     N_("refreshes a custom HTML-File located by <Filename>"),
     {"RefreshCustomHTML[~/Downloads/serverlist.html]"},
     nullptr,
     {"RefreshCustomHTML[C:\\Downloads\\serverlist.html]"}},
    {C::RefreshCustomMET,
     "RefreshCustomMET",
     true,
     "RefreshCustomMET[<Filename>]",
     N_("refreshes a custom MET-File located by <Filename>"),
     {"RefreshCustomMET[~/.aMule/server.met]"},
     nullptr,
     {"RefreshCustomMET[~/AppData/Local/eMule/config/server.met]",
      "RefreshCustomMET[C:\\Program Files\\eMule\\config\\server.met]"}},
    {C::RefreshEDonkeyMET,
     "RefreshEDonkeyMET",
     false,
     "RefreshEDonkeyMET",
     N_("refreshes the eDonkey client's serverlist (server.met in the client folder)"),
     {"RefreshEDonkeyMET"}},
    {C::SaveCustomBOT,
     "SaveCustomBOT",
     true,
     "SaveCustomBOT[<Filename>]",
     N_("saves the serverlist to a custom BOT-File located by <Filename>"),
     {"SaveCustomBOT[~/serverlist.bot]"},
     nullptr,
     {"SaveCustomBOT[C:\\Ravelin\\serverlist.bot]"}},
    {C::SaveCustomHTML,
     "SaveCustomHTML",
     true,
     "SaveCustomHTML[<Filename>]",
     N_("saves the serverlist to a custom HTML-File located by <Filename>"),
     {"SaveCustomHTML[~/public_html/serverlist.html]"},
     nullptr,
     {"SaveCustomHTML[C:\\Ravelin\\serverlist.html]"}},
    {C::SaveCustomMET,
     "SaveCustomMET",
     true,
     "SaveCustomMET[<Filename>]",
     N_("saves the serverlist to a custom MET-File located by <Filename>"),
     {"SaveCustomMET[~/serverlist.met]"},
     nullptr,
     {"SaveCustomMET[C:\\Ravelin\\serverlist.met]"}},
    {C::SaveCustomTXT,
     "SaveCustomTXT",
     true,
     "SaveCustomTXT[<Filename>]",
     N_("saves the serverlist to a custom TXT-File located by <Filename>"),
     {"SaveCustomTXT[serverlist.txt]"}},
    {C::SaveEDonkeyMET,
     "SaveEDonkeyMET",
     false,
     "SaveEDonkeyMET",
     N_("saves the serverlist to the eDonkey client's serverlist (server.met in the client "
        "folder)"),
     {"SaveEDonkeyMET"}},
    {C::SaveRunningEDonkey,
     "SaveRunningEDonkey",
     false,
     "SaveRunningEDonkey",
     N_("saves the serverlist to the running eDonkey client (only every 4 hours)"),
     {"SaveRunningEDonkey"}},
    {C::SaveTemplate,
     "SaveTemplate",
     true,
     "SaveTemplate[<Template>|<Filename>]",
     N_("saves the serverlist to <Filename> under the use of <Template>"),
     {"SaveTemplate[~/html_template.txt|~/public_html/serverlist.html]",
      "SaveTemplate[text_template.txt|serverlist.txt]"},
     nullptr,
     {"SaveTemplate[C:\\Ravelin\\html_template.txt|C:\\Ravelin\\serverlist.html]",
      "SaveTemplate[text_template.txt|serverlist.txt]"}},
    {C::SendToEDonkeyConsole,
     "SendToEDonkeyConsole",
     true,
     "SendToEDonkeyConsole[<Text>]",
     N_("sends <Text> to the eDonkey client's console (amulecmd) and confirms it with <ENTER>"),
     {"SendToEDonkeyConsole[n 123.45.67.89 5000]", "SendToEDonkeyConsole[connect]"},
     N_("sends <Text> to the eDonkey client's console (eMule) and confirms it with <ENTER>")},
    {C::SetPref,
     "SetPref",
     true,
     "SetPref[<Preference>]",
     N_("sets the preference (low, normal, high) to ALL (!!) checked servers."),
     {"SetPref[low]", "SetPref[normal]", "SetPref[high]"}},
    {C::StartEDonkey,
     "StartEDonkey",
     false,
     "StartEDonkey",
     N_("starts the eDonkey client program of the options (e.g. amule or amuled)"),
     {"StartEDonkey"},
     N_("starts the eDonkey client program of the options (e.g. emule.exe)")},
    {C::StartFile,
     "StartFile",
     true,
     "StartFile[<Filename>]",
     N_("opens a custom file located by <Filename> with its default application (xdg-open)"),
     {"StartFile[~/serverlist.html]"},
     N_("opens a custom file located by <Filename> with its default application (start)"),
     {"StartFile[C:\\Ravelin\\serverlist.html]"}},
    {C::UnCheckAll, "UnCheckAll", false, "UnCheckAll", N_("unchecks all servers."), {"UnCheckAll"}},
    {C::UpdateFromAll,
     "UpdateFromAll",
     false,
     "UpdateFromAll",
     N_("updates the serverlist from all available URLs (HTML & MET & BOT)"),
     {"UpdateFromAll"}},
    {C::UpdateFromBOT,
     "UpdateFromBOT",
     false,
     "UpdateFromBOT",
     N_("updates the serverlist from the BOT-URLs"),
     {"UpdateFromBOT"}},
    {C::UpdateFromDNS,
     "UpdateFromDNS",
     false,
     "UpdateFromDNS",
     N_("updates the serverlist from the local DNS-File"),
     {"UpdateFromDNS"}},
    {C::UpdateFromHTML,
     "UpdateFromHTML",
     false,
     "UpdateFromHTML",
     N_("updates the serverlist from the HTML-URLs"),
     {"UpdateFromHTML"}},
    {C::UpdateFromMET,
     "UpdateFromMET",
     false,
     "UpdateFromMET",
     N_("updates the serverlist from the MET-URLs"),
     {"UpdateFromMET"}},
    {C::VerifyAll,
     "VerifyAll",
     false,
     "VerifyAll",
     N_("verifies the serverlist by connecting to all servers in the list"),
     {"VerifyAll"}},
    {C::VerifyChecked,
     "VerifyChecked",
     false,
     "VerifyChecked",
     N_("verifies the serverlist by connecting to the checked servers in the list"),
     {"VerifyChecked"}},
}};

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         platform::equalsNoCase(text.substr(0, prefix.size()), prefix);
}

// The rules for one bracket command; the first that fails gives the message.
std::optional<std::string> CheckBracket(const ScriptLine& l, SyntaxRules rules) {
  const std::string name = scriptCommandInfoOf(l.command).name;
  if (!l.closed) return name + ": \"]\" is missing!";
  switch (l.command) {
    case C::Delay:
      if (!platform::parseInt32(l.argument)) return std::string(N_("Delay: No valid number!"));
      return std::nullopt;
    case C::Filter: {
      if (l.restIsJustBracket()) return std::string(N_("Filter: No filter entered!"));
      // Read as the run reads it: a filter that could do nothing there is an error here.
      const serverlist::FilterExpression f = serverlist::parseFilterExpression(l.rest);
      if (f.op < 0 || f.operatorDoubled)
        return std::string(N_("Filter: No valid operator entered!"));
      if (f.property < 0) return std::string(N_("Filter: No valid property entered!"));
      return std::nullopt;
    }
    case C::RefreshCustomBOT:
    case C::RefreshCustomHTML:
    case C::RefreshCustomMET:
      if (l.restIsJustBracket()) return name + ": No filename entered!";
      return std::nullopt;
    case C::SaveCustomBOT:
    case C::SaveCustomHTML:
    case C::SaveCustomMET:
    case C::SaveCustomTXT:
    case C::StartFile:
      if (l.argument.empty()) return name + ": No Filename entered!";
      return std::nullopt;
    case C::SaveTemplate:
      if (l.argument.empty()) return std::string(N_("SaveTemplate: No Filenames entered!"));
      if (rules == SyntaxRules::Editor && l.rest.size() <= 2)
        return std::string(N_("SaveTemplate: No Filenames entered!"));
      if (l.rest.find('|') == std::string::npos)
        return std::string("SaveTemplate: No Filename-Splitter (\"|\") entered!");
      return std::nullopt;
    case C::SendToEDonkeyConsole:
      if (l.argument.empty()) return std::string(N_("SendToEDonkeyConsole: No Text entered!"));
      return std::nullopt;
    case C::SetPref: {
      if (l.argument.empty()) return std::string(N_("SetPref: No Preference entered!"));
      const std::string pref = platform::lowerAscii(l.argument);
      if (pref != "low" && pref != "normal" && pref != "high")
        return std::string(N_("SetPref: No valid preference entered!"));
      return std::nullopt;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace

const std::array<ScriptCommandInfo, kScriptCommandCount>& scriptCommands() {
  return kCommands;
}

const ScriptCommandInfo& scriptCommandInfoOf(ScriptCommand command) {
  return kCommands[static_cast<size_t>(command)];
}

const std::vector<const char*>& scriptCommandExamples(const ScriptCommandInfo& info, bool windows) {
  return windows && !info.windowsExamples.empty() ? info.windowsExamples : info.examples;
}

std::string scriptCommandDescription(const ScriptCommandInfo& info, bool windows) {
  const char* sentence = windows && info.windowsSentence ? info.windowsSentence : info.sentence;
  std::string text = std::string("\"") + info.entry + "\" " + _(sentence) + "\r\n\r\n" +
                     (info.command == C::Filter ? _("Examples:") : _("Example:"));
  for (const char* example : scriptCommandExamples(info, windows))
    text += std::string("\r\n") + example;
  return text;
}

std::string scriptCommandInsertText(const ScriptCommandInfo& info) {
  std::string text = info.entry;
  if (text.find('<') == std::string::npos) return text;
  for (std::string_view placeholder : {"<Filename>", "<Time>", "<name><operator><value>",
                                       "<Preference>", "<Template>", "<Text>"}) {
    const auto pos = text.find(placeholder);
    if (pos != std::string::npos) text.erase(pos, placeholder.size());
  }
  return text;
}

ScriptLine matchScriptLine(std::string_view line) {
  ScriptLine result;
  for (const ScriptCommandInfo& info : kCommands) {
    if (!info.bracket && platform::equalsNoCase(line, info.name)) {
      result.kind = ScriptLine::Kind::Plain;
      result.command = info.command;
      return result;
    }
  }
  for (const ScriptCommandInfo& info : kCommands) {
    if (!info.bracket) continue;
    const std::string prefix = std::string(info.name) + "[";
    if (!StartsWithNoCase(line, prefix)) continue;
    result.kind = ScriptLine::Kind::Bracket;
    result.command = info.command;
    result.rest = std::string(line.substr(prefix.size()));
    const auto close = result.rest.find(']');
    result.closed = close != std::string::npos;
    result.argument = result.rest.substr(0, close);
    return result;
  }
  if (line.empty())
    result.kind = ScriptLine::Kind::Blank;
  else if (line.starts_with("//"))
    result.kind = ScriptLine::Kind::Comment;
  return result;
}

std::optional<ScriptSyntaxError> findScriptSyntaxError(const std::vector<std::string>& lines,
                                                       SyntaxRules rules) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const ScriptLine l = matchScriptLine(lines[i]);
    std::optional<std::string> message;
    if (l.kind == ScriptLine::Kind::Unknown)
      message = N_("Unknown identifier!");
    else if (l.kind == ScriptLine::Kind::Bracket)
      message = CheckBracket(l, rules);
    if (message) return ScriptSyntaxError{i + 1, *message};
  }
  return std::nullopt;
}

std::string scriptErrorText(const ScriptSyntaxError& error) {
  return runtime::fillIn(_("Error in Line #%s:\r\n%s\r\nScript execution will be aborted!"),
                         {std::to_string(error.line), _(error.message.c_str())});
}

void checkSyntax(const std::vector<std::string>& lines, runtime::AppContext& ctx) {
  const auto error = findScriptSyntaxError(lines, SyntaxRules::Run);
  if (!error) return;
  ctx.message(kScriptErrorCaption, scriptErrorText(*error), runtime::MsgIcon::Error,
              runtime::MsgButtons::Ok);
  throw runtime::SilentAbort();
}

EditorSyntaxResult checkSyntaxForEditor(const std::vector<std::string>& lines) {
  EditorSyntaxResult result;
  result.error = findScriptSyntaxError(lines, SyntaxRules::Editor);
  if (!result.error) {
    result.statusText = _("Syntax check successful!");
    return result;
  }
  result.ok = false;
  const size_t index = result.error->line - 1;
  for (size_t i = 0; i < index; ++i) result.selectionStart += lines[i].size() + 2;
  result.selectionLength = lines[index].size();
  result.statusText =
      runtime::fillIn(_("Error in line %s: %s"),
                      {std::to_string(result.error->line), _(result.error->message.c_str())});
  return result;
}

std::vector<std::string> splitScriptLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::vector<std::string> readScriptFile(const std::string& path) {
  return splitScriptLines(platform::readTextFile(path).text);
}

}  // namespace ravelin::script

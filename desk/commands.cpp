#include "desk/commands.h"

#include "runtime/translate.h"

namespace ravelin::desk {

namespace {

// In the order of Command.
constexpr std::array<const char*, kCommandCount> kCaptions = {
    N_("Refresh standard server.met"),
    N_("Refresh custom MET-File"),
    N_("Refresh custom BOT-File"),
    N_("Refresh custom HTML-File"),
    N_("Update from all sources"),
    N_("Update only from HTML URLs"),
    N_("Update only from MET-File URLs"),
    N_("Update only from BOT-File URLs"),
    N_("Update only from local DNS-File"),
    N_("Verify checked IPs"),
    N_("Verify all IPs"),
    N_("Save to standard server.met"),
    N_("Save to MET-File"),
    N_("Save to BOT-File"),
    N_("Save to TXT-File"),
    N_("Save to HTML-File"),
    N_("Save to Template"),
    N_("Save to running EDonkey"),
    N_("Open script ..."),
    N_("Recently used scripts"),
    N_("Open script editor..."),
    N_("&Options"),
    N_("&Exit"),
    N_("&Check for updates"),
    N_("&About"),
    N_("&Copy server links"),
    N_("&Paste server links"),
};

const std::array<CommandGroup, kToolButtonCount> kToolButtons = {{
    {N_("&Refresh server list"),
     {cmdRefreshStandard, cmdRefreshMet, cmdRefreshBot, cmdRefreshHtml}},
    {N_("&Update server list"),
     {cmdUpdateAll, cmdUpdateHtml, cmdUpdateMet, cmdUpdateBot, cmdUpdateDns}},
    {N_("&Verify server list"), {cmdVerifyChecked, cmdVerifyAll}},
    {N_("&Save server list"),
     {cmdSaveStandard, cmdSaveMet, cmdSaveBot, cmdSaveTxt, cmdSaveHtml, cmdSaveTemplate,
      cmdSaveRunning}},
    {N_("Run S&cript"), {cmdOpenScript, cmdRecentScripts, cmdScriptEditor}},
}};

const std::array<Menu, 3> kMenus = {{
    {N_("&File"), {cmdRefreshStandard, cmdSaveStandard, std::nullopt, cmdOptions, std::nullopt,
                   cmdExit}},
    {N_("&Edit"), {cmdCopy, cmdPaste}},
    {N_("&Help"), {cmdCheckForUpdates, std::nullopt, cmdAbout}},
}};

// The keys of the commands used most.
constexpr std::array<Shortcut, 6> kShortcuts = {{
    {cmdRefreshStandard, 5, 0},
    {cmdUpdateAll, 0, 'U'},
    {cmdSaveStandard, 0, 'S'},
    {cmdExit, 0, 'Q'},
    {cmdCopy, 0, 'C'},
    {cmdPaste, 0, 'V'},
}};

}  // namespace

const char* commandCaption(Command command) {
  return kCaptions[static_cast<size_t>(command)];
}

const CommandGroup& toolButtonGroup(ToolButton button) {
  return kToolButtons[static_cast<size_t>(button)];
}

const std::array<Menu, 3>& mainMenus() {
  return kMenus;
}

const std::array<Shortcut, 6>& commandShortcuts() {
  return kShortcuts;
}

}  // namespace ravelin::desk

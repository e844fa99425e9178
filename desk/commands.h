#pragma once
// The main window's commands as data: their captions, the toolbar's drop-down groups, the
// main menu and the keys, the same in every desktop front end.
#include <array>
#include <initializer_list>
#include <optional>

namespace ravelin::desk {

enum Command : int {
  cmdRefreshStandard,
  cmdRefreshMet,
  cmdRefreshBot,
  cmdRefreshHtml,
  cmdUpdateAll,
  cmdUpdateHtml,
  cmdUpdateMet,
  cmdUpdateBot,
  cmdUpdateDns,
  cmdVerifyChecked,
  cmdVerifyAll,
  cmdSaveStandard,
  cmdSaveMet,
  cmdSaveBot,
  cmdSaveTxt,
  cmdSaveHtml,
  cmdSaveTemplate,
  cmdSaveRunning,
  cmdOpenScript,
  cmdRecentScripts,
  cmdScriptEditor,
  cmdOptions,
  cmdExit,
  cmdCheckForUpdates,
  cmdAbout,
  cmdCopy,
  cmdPaste,
  kCommandCount
};

// The toolbar's buttons, left to right.
enum ToolButton : int { tbRefresh, tbUpdate, tbVerify, tbSave, tbScript, kToolButtonCount };

// The caption of a command (untranslated, with its mnemonic where it has one).
const char* commandCaption(Command command);

// A toolbar button: its caption and the commands of its drop-down menu, the first being
// the button's own click.
struct CommandGroup {
  const char* caption;
  std::initializer_list<Command> commands;
};
const CommandGroup& toolButtonGroup(ToolButton button);

// A menu of the menu bar; an empty item is a separator.
struct Menu {
  const char* caption;
  std::initializer_list<std::optional<Command>> items;
};
const std::array<Menu, 3>& mainMenus();

// A key that starts a command wherever the focus is in the window: a function key, or a
// letter with Ctrl.
struct Shortcut {
  Command command;
  int functionKey = 0;  // 5 is F5; 0: none
  char ctrlLetter = 0;  // 'U' is Ctrl+U; 0: none
};
const std::array<Shortcut, 6>& commandShortcuts();

}  // namespace ravelin::desk

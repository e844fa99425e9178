#pragma once
// The script editor's menus, the same in every desktop program: the items with their
// captions and Ctrl keys, and which items each menu holds.
#include <array>

#include "runtime/translate.h"

namespace ravelin::desk {

enum ScriptEditorItem : int {
  seNew,
  seOpen,
  seSave,
  seSaveAs,
  sePrint,
  seExit,
  seUndo,
  seCut,
  seCopy,
  sePaste,
  seInsertCommand,
  seCheckSyntax,
  seRun,
  kScriptEditorItemCount
};

struct ScriptEditorMenuItem {
  const char* caption;
  char ctrlLetter;  // 0: none
  bool separatorAfter;
};
// In the order of ScriptEditorItem.
inline constexpr std::array<ScriptEditorMenuItem, kScriptEditorItemCount> kScriptEditorItems = {{
    {N_("&New"), 0, false},
    {N_("&Open..."), 0, false},
    {N_("&Save"), 0, false},
    {N_("Save &as..."), 0, true},
    {N_("&Print..."), 0, true},
    {N_("E&xit"), 0, false},
    {N_("Undo"), 'Z', true},
    {N_("Cut"), 'X', false},
    {N_("Copy"), 'C', false},
    {N_("Paste"), 'V', false},
    {N_("&Insert command..."), 'I', false},
    {N_("Check s&yntax"), 'Y', false},
    {N_("&Run script"), 'R', false},
}};

struct ScriptEditorMenu {
  const char* caption;
  ScriptEditorItem first, last;
};
inline constexpr std::array<ScriptEditorMenu, 3> kScriptEditorMenus = {{
    {N_("&File"), seNew, seExit},
    {N_("&Edit"), seUndo, sePaste},
    {N_("&Script"), seInsertCommand, seRun},
}};

}  // namespace ravelin::desk

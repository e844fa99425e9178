#pragma once
#include "platform/clock.h"
#include "runtime/log.h"
#include "runtime/prompter.h"
#include "runtime/run_state.h"
#include "runtime/settings.h"
#include "runtime/translate.h"
#include "runtime/ui_thread.h"

namespace ravelin::runtime {

// What the main window owns besides the server list, handed explicitly to every core
// operation that needs settings, flags, the log or the user interface.
struct AppContext {
  Settings settings;
  RunState state;
  Log log;
  Prompter* prompter = nullptr;
  UiThread* ui = nullptr;
  // The time source of every pause, wait and time-out.
  platform::Clock* clock = &platform::systemClock();

  // "Let the user interface process pending events."
  void processPending() const {
    if (ui) ui->pump();
  }
  // The one way to ask the user: shows a message box, its title and text in the user's
  // language (what the catalogue knows is translated), unless a script runs or no prompter
  // is attached; then returns the given default answer without asking.
  MsgResult message(const std::string& title, const std::string& text, MsgIcon icon,
                    MsgButtons buttons, MsgResult defaultAnswer = MsgResult::Ok) const {
    if (state.scriptRunning || !prompter) return defaultAnswer;
    return prompter->message(_(title.c_str()), _(text.c_str()), icon, buttons);
  }
};

}  // namespace ravelin::runtime

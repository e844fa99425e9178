#pragma once
// What the script executor needs from the program around it: the long commands (update,
// verify, transfer to the client), the windows, the close countdown, starting programs.
// The desktop program implements it with its windows, ravelin-cli with the terminal,
// tests with a recorder.
#include <string>

#include "update/update_command.h"
#include "verify/verify_coordinator.h"

namespace ravelin::runtime {
class ProgressBar;
}

namespace ravelin::script {

class ScriptHost {
 public:
  virtual ~ScriptHost() = default;

  // The main window's load/save bar, which the readers and writers drive.
  virtual runtime::ProgressBar& loadSaveBar() = 0;

  // "Update from all sources" and the narrowed updates; returns when the run is over,
  // with how it ended.
  virtual update::UpdateOutcome update(update::UpdateKind kind) = 0;
  // "Verify all IPs" (all) or "Verify checked IPs"; returns when the run is over, with
  // how it ended. No warning dialog: a script is running.
  virtual verify::VerifyOutcome verify(bool all) = 0;

  // Shows the close countdown and returns whether it ran out (closeConfirmed).
  virtual bool closeCountdown() = 0;
  // Minimises the application's windows; restores them.
  virtual void hideWindows() = 0;
  virtual void restoreWindows() = 0;

  // The transfer of the checked servers to the running client (the list holds at least
  // one checked server), and one console line.
  virtual void saveRunningEDonkey() = 0;
  virtual void sendToEDonkeyConsole(const std::string& text) = 0;

  // Starts the client (clientFile(EDPath, EDFilename)) when it exists; opens a file with
  // its default application when it exists. Both log their own lines.
  virtual void startEDonkey() = 0;
  virtual void startFile(const std::string& path) = 0;

  // A remark about something a command left undone without failing (a save with no
  // server checked), for a front end that shows such remarks; the windows show none.
  virtual void note(const std::string& /*text*/) {}
};

}  // namespace ravelin::script

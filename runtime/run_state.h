#pragma once

namespace ravelin::runtime {

// The run-state flags of the main window, shared by the long operations and the script
// executor. All of them live on the user-interface thread.
struct RunState {
  bool firstActivationDone = false;
  bool scriptRunning = false;
  bool operationDone = false;
  bool closeConfirmed = false;
  bool hiddenByScript = false;
  // The note that a server.met saved under the running client is lost when the client
  // exits has been shown in a box this run.
  bool runningClientSaveNoted = false;
};

}  // namespace ravelin::runtime

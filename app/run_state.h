#pragma once

// The run-state flags of the main window, shared by the long operations and the script
// executor. All of them live on the user-interface thread.
struct RunState {
  bool FirstActivationDone = false;
  bool ScriptRunning = false;
  bool OperationDone = false;
  bool CloseConfirmed = false;
  bool HiddenByScript = false;
};

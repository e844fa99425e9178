#pragma once

namespace ravelin::qt {

// The desktop program: ravelin [--ini FILE] [SCRIPT]. Starts the application session,
// shows the main window (which runs SCRIPT at its first activation) and serves the user
// until the main window closes; returns the exit status.
int runGui(int argc, char** argv);

}  // namespace ravelin::qt

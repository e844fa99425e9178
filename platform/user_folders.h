#pragma once
// Where the running program and its user's files are.
#include <string>

namespace ravelin::platform {

// The running program's executable, absolute; empty when the system does not say.
std::string executablePath();

// Where the user's programs keep their settings, and their state (logs, records), each in a
// folder of its own: $XDG_CONFIG_HOME and $XDG_STATE_HOME on POSIX (empty when unset: the
// caller applies the defaults below the home directory), %APPDATA% and %LOCALAPPDATA% on
// Windows.
std::string userConfigBase();
std::string userStateBase();

// Where programs keep data shared by all users of the machine: %ProgramData% on Windows;
// empty on POSIX, which has no such folder writable by programs.
std::string sharedDataBase();

// The user's home directory ($HOME, else the user database's entry; %USERPROFILE% on
// Windows); empty when there is none.
std::string homeDirectory();

}  // namespace ravelin::platform

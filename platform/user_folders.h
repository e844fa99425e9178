#pragma once
// Where the running program and its user's files are.
#include <string>

namespace ravelin::platform {

// The running program's executable, absolute; empty when the system does not say.
std::string executablePath();

// The user's home directory ($HOME, else the user database's entry; %USERPROFILE% on
// Windows); empty when there is none.
std::string homeDirectory();

}  // namespace ravelin::platform

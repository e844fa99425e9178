#pragma once
#include <string>
#include <vector>

namespace ravelin::win {

// The desktop program: "ravelin.exe [--ini FILE] [SCRIPT]", arguments in UTF-8 after the
// program's name. Returns the exit code.
int runWin(std::vector<std::string> args);

}  // namespace ravelin::win

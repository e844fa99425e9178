#pragma once
#include <string>

namespace ravelin::win {

// Writes UTF-8 text where the user who started the program reads it: its standard output
// or error when the starter gave it one (a pipe, a file), else the console of the program
// that started it (the command prompt). False when there is neither, as for a start from
// Explorer.
bool writeToParentConsole(const std::string& text, bool error = false);

}  // namespace ravelin::win

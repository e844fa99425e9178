#pragma once
// File names in scripts. A relative name counts from the folder of the script file that
// holds it, never from the program's current directory, which depends on how the program
// was started (a double click on a script starts it in the home folder).
#include <string>

namespace ravelin::script {

// The folder of a script file, from which its relative file names count.
std::string scriptFolder(const std::string& scriptFile);

// name taken from folder, after a leading "~/" has become the home folder. Stays as it is
// when it is absolute, empty or a URL ("scheme://..."), and when folder is empty: lines
// that come from no file (ravelin-cli's -e lines, an editor text never saved) count from
// the current directory.
std::string resolveScriptPath(const std::string& folder, const std::string& name);

}  // namespace ravelin::script

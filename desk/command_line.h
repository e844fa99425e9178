#pragma once
// The desktop program's command line: what it answers before any window exists (a wrong
// --ini, --help, --version), and the script it names.
#include <optional>
#include <string>
#include <vector>

#include "runtime/translate.h"

namespace ravelin::desk {

// An answer that ends the program before its windows: the text for standard output, or
// for standard error when the exit code is not 0.
struct EarlyAnswer {
  int exitCode;
  std::string text;
};

// The answer to the arguments (argv without the program's name), if they ask for one;
// nothing when the program starts its windows.
std::optional<EarlyAnswer> answerBeforeWindows(std::vector<std::string> args);

// The script to open at the start, as an absolute path, from the arguments that --ini left:
// the first when it names a file; a first argument that names no file is ignored, further
// arguments always are. Empty when there is none.
std::string startupScript(const std::vector<std::string>& args);

// Said on standard error when the program that runs with the same ravelin.ini does not take
// the script handed to it.
inline constexpr const char* kRunningInstanceSilent =
    N_("Ravelin runs already with this ravelin.ini but does not answer");

}  // namespace ravelin::desk

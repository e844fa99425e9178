#pragma once
#include <optional>
#include <string>
#include <vector>

namespace ravelin::cli {

enum class Mode { Run, Lines, Check, CheckVersion, Help, Version };

struct Options {
  Mode mode = Mode::Help;
  std::string iniFile;             // --ini FILE; empty: the usual place
  bool quiet = false;              // --quiet: nothing but errors
  bool verbose = false;            // --verbose: every status line as a plain line
  bool check = true;               // syntax check before running; --no-check: none
  std::string script;              // run/check SCRIPT
  std::vector<std::string> lines;  // -e LINE ...
};

// Parses the arguments after the program name. Throws std::invalid_argument with the
// reason on a usage error.
Options parseOptions(const std::vector<std::string>& args);

std::string usageText();

}  // namespace ravelin::cli

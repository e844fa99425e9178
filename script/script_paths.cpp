#include "script/script_paths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace ravelin::script {

namespace fs = std::filesystem;

namespace {

// "scheme://": a letter, then letters, digits, "+", "-" or "."; at least two characters,
// so that a drive letter ("C://x") is no scheme.
bool IsUrl(const std::string& name) {
  const auto end = name.find("://");
  if (end == std::string::npos || end < 2) return false;
  const auto isSchemeChar = [](unsigned char c) {
    return std::isalnum(c) || c == '+' || c == '-' || c == '.';
  };
  return std::isalpha(static_cast<unsigned char>(name[0])) &&
         std::all_of(name.begin(), name.begin() + static_cast<long>(end), isSchemeChar);
}

}  // namespace

std::string scriptFolder(const std::string& scriptFile) {
  return fs::path(scriptFile).parent_path().string();
}

std::string resolveScriptPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || name.empty() || IsUrl(name) || fs::path(name).is_absolute()) return name;
  return (fs::path(folder) / name).string();
}

}  // namespace ravelin::script

#include "script/script_paths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/paths.h"
#include "platform/user_folders.h"

namespace ravelin::script {

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

// "~" and "~/..." name the home folder, as a shell reads them; without one they stay.
std::string ExpandHome(const std::string& name) {
  if (name != "~" && !name.starts_with("~/")) return name;
  const std::string home = platform::homeDirectory();
  if (home.empty()) return name;
  return home + name.substr(1);
}

}  // namespace

std::string scriptFolder(const std::string& scriptFile) {
  return platform::utf8FromPath(platform::pathFromUtf8(scriptFile).parent_path());
}

std::string resolveScriptPath(const std::string& folder, const std::string& name) {
  const std::string path = ExpandHome(name);
  if (folder.empty() || path.empty() || IsUrl(path) || platform::pathFromUtf8(path).is_absolute())
    return path;
  return platform::utf8FromPath(platform::pathFromUtf8(folder) / platform::pathFromUtf8(path));
}

}  // namespace ravelin::script

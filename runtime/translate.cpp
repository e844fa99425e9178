#include "runtime/translate.h"

#include <filesystem>
#include <vector>

#include "platform/paths.h"
#include "platform/user_folders.h"

namespace ravelin::runtime {

void startTranslation() {
  namespace fs = std::filesystem;
  std::error_code ec;
  const std::string program = platform::executablePath();
  const fs::path folder = platform::pathFromUtf8(program).parent_path();
  // Installed on Linux under share/locale beside bin/; unpacked or installed on Windows in
  // locale\ beside the program; else the program runs from its build tree.
  std::string localeDir = RAVELIN_BUILD_LOCALEDIR;
  for (const fs::path& installed : {folder / ".." / "share" / "locale", folder / "locale"}) {
    if (!program.empty() && fs::is_directory(installed, ec)) {
      localeDir = platform::utf8FromPath(installed);
      break;
    }
  }
  platform::startTranslation(kTextDomain, localeDir);
}

std::string fillIn(const char* pattern, std::initializer_list<std::string> values) {
  const std::vector<std::string> args(values);
  std::string out;
  size_t next = 0;
  for (const char* p = pattern; *p; ++p) {
    if (*p != '%') {
      out += *p;
    } else if (p[1] == '%') {
      out += '%';
      ++p;
    } else if (p[1] == 's') {
      if (next < args.size()) out += args[next++];
      ++p;
    } else if (p[1] >= '1' && p[1] <= '9' && p[2] == '$' && p[3] == 's') {
      const size_t index = static_cast<size_t>(p[1] - '1');
      if (index < args.size()) out += args[index];
      p += 3;
    } else {
      out += *p;
    }
  }
  return out;
}

}  // namespace ravelin::runtime

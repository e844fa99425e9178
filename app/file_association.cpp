#include "app/file_association.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "app/desktop_files.h"
#include "app/ini_file.h"
#include "app/startup.h"
#include "platform/file_io.h"
#include "platform/process.h"
#include "platform/text.h"
#include "platform/user_folders.h"

namespace ravelin::app {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultApplications = "Default Applications";
// xdg-mime is a shell script that walks a few directories; it is given this long.
constexpr std::uint32_t kXdgMimeMs = 10000;

std::string envOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  // The XDG base directory rules ignore relative paths in these variables.
  return value && value[0] == '/' ? std::string(value) : fallback;
}

std::vector<std::string> splitList(const std::string& text, char separator) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(separator, start);
    if (end == std::string::npos) end = text.size();
    const std::string item = platform::trimText(text.substr(start, end - start));
    if (!item.empty()) items.push_back(item);
    start = end + 1;
  }
  return items;
}

std::string userEntryPath(const XdgPlaces& places) {
  return places.dataHome + "/applications/" + kDesktopEntryName;
}

// The desktop entry that the desktop uses: the user's own, else the first of the
// system's; empty when there is none.
std::string findDesktopEntry(const XdgPlaces& places) {
  std::error_code ec;
  if (fs::exists(userEntryPath(places), ec)) return userEntryPath(places);
  for (const std::string& dir : places.dataDirs)
    if (fs::exists(dir + "/applications/" + kDesktopEntryName, ec))
      return dir + "/applications/" + kDesktopEntryName;
  return {};
}

// The program of an Exec line: its first argument, with the quoting of execArgument
// undone.
std::string execProgram(const std::string& exec) {
  const bool quoted = exec.starts_with('"');
  std::string program;
  for (size_t i = quoted ? 1 : 0; i < exec.size(); ++i) {
    if (quoted ? exec[i] == '"' : exec[i] == ' ' || exec[i] == '\t') break;
    if ((quoted && exec[i] == '\\') || exec.compare(i, 2, "%%") == 0) ++i;
    if (i < exec.size()) program += exec[i];
  }
  return program;
}

// Whether the desktop entry at path starts the running program. Both sides are compared
// resolved: links and "." or ".." parts lead to the same file.
bool startsRunningProgram(const std::string& entry, const XdgPlaces& places) {
  if (entry.empty()) return false;
  std::string program = execProgram(IniFile(entry).readString("Desktop Entry", "Exec", ""));
  // A system-wide entry names the program bare ("ravelin %f").
  if (program.find('/') == std::string::npos)
    program = platform::findOnPath(program, places.searchPath);
  std::error_code startedError, runningError;
  const fs::path started = fs::canonical(program, startedError);
  const fs::path running = fs::canonical(places.executable, runningError);
  return !startedError && !runningError && started == running;
}

// A system-wide entry for the program (from cmake --install or the package) serves the
// user while it starts the running program, unless the user has one of their own, which
// then is kept up to date.
bool needsUserEntry(const XdgPlaces& places) {
  const std::string entry = findDesktopEntry(places);
  return entry.empty() || entry == userEntryPath(places) || !startsRunningProgram(entry, places);
}

// The executable as one argument of a desktop entry's Exec line.
std::string execArgument(const std::string& path) {
  std::string quoted;
  bool plain = true;
  for (char c : path) {
    if (c == '%') {
      quoted += "%%";
      continue;
    }
    if (c == '"' || c == '`' || c == '$' || c == '\\') {
      quoted += '\\';
      plain = false;
    }
    if (c == ' ' || c == '\t' || c == '\'' || c == '>' || c == '<' || c == '~' || c == '|' ||
        c == '&' || c == ';' || c == '*' || c == '?' || c == '#' || c == '(' || c == ')')
      plain = false;
    quoted += c;
  }
  return plain ? quoted : "\"" + quoted + "\"";
}

// The installed entry with its Exec line naming the running program.
std::string userEntryText(const XdgPlaces& places) {
  std::string text;
  for (const std::string& line : splitList(kDesktopEntryText, '\n')) {
    if (line.starts_with("Exec="))
      text += "Exec=" + execArgument(places.executable) + " %f\n";
    else
      text += line + "\n";
  }
  return text;
}

void makeDirectories(const std::string& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) throw platform::FileError("Cannot create " + dir + ": " + ec.message());
}

void runXdgMime(const XdgPlaces& places, const std::vector<std::string>& args) {
  const platform::ProgramResult r =
      platform::runProgram(places.xdgMime, args, places.environment, kXdgMimeMs);
  if (r.exitStatus != 0) {
    const std::string output = platform::trimText(r.output);
    throw std::runtime_error("xdg-mime " + args.front() + " failed" +
                             (output.empty() ? std::string() : ": " + output));
  }
}

}  // namespace

XdgPlaces currentXdgPlaces() {
  const std::string home = currentStartupEnvironment().home;
  XdgPlaces places;
  places.dataHome = envOr("XDG_DATA_HOME", home + "/.local/share");
  places.configHome = envOr("XDG_CONFIG_HOME", home + "/.config");
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  places.dataDirs = splitList(dirs && *dirs ? dirs : "/usr/local/share:/usr/share", ':');
  places.xdgMime = platform::findOnPath("xdg-mime");
  places.searchPath = platform::searchPath();
  const std::string exeDir = executableDirectory();
  places.executable = platform::executablePath();
  if (places.executable.empty())
    places.executable = exeDir.empty() ? "ravelin" : exeDir + "/ravelin";
  const std::string dataHome = places.dataHome, configHome = places.configHome;
  return xdgPlacesWithHomes(std::move(places), dataHome, configHome);
}

XdgPlaces xdgPlacesWithHomes(XdgPlaces places, const std::string& dataHome,
                             const std::string& configHome) {
  places.dataHome = dataHome;
  places.configHome = configHome;
  places.environment =
      platform::environmentWith({"XDG_DATA_HOME=" + dataHome, "XDG_CONFIG_HOME=" + configHome});
  return places;
}

bool isScriptTypeRegistered(const XdgPlaces& places) {
  std::string defaultEntry;
  if (!places.xdgMime.empty()) {
    const platform::ProgramResult r = platform::runProgram(
        places.xdgMime, {"query", "default", kScriptMimeType}, places.environment, kXdgMimeMs);
    // The answer is the last line; anything before it is a complaint of the script.
    const std::vector<std::string> lines = splitList(r.output, '\n');
    if (r.exitStatus == 0 && !lines.empty()) defaultEntry = lines.back();
  } else {
    const IniFile list(places.configHome + "/mimeapps.list");
    const std::vector<std::string> apps =
        splitList(list.readString(kDefaultApplications, kScriptMimeType, ""), ';');
    if (!apps.empty()) defaultEntry = apps.front();
  }
  return defaultEntry == kDesktopEntryName &&
         startsRunningProgram(findDesktopEntry(places), places);
}

void registerScriptType(const XdgPlaces& places) {
  const std::string former = places.dataHome + "/applications/" + kFormerDesktopEntryName;
  if (startsRunningProgram(former, places)) {
    std::error_code ec;
    fs::remove(former, ec);
  }
  if (needsUserEntry(places)) {
    makeDirectories(places.dataHome + "/applications");
    platform::writeFileAtomically(userEntryPath(places), userEntryText(places));
  }
  if (!places.xdgMime.empty()) {
    // xdg-mime installs a package under the file's own name.
    const platform::PrivateDirectory temp("ravelin-mime");
    const std::string package = temp.writeFile(kMimePackageName, kMimePackageText);
    runXdgMime(places, {"install", "--mode", "user", package});
    runXdgMime(places, {"default", kDesktopEntryName, kScriptMimeType});
    return;
  }
  const std::string packages = places.dataHome + "/mime/packages";
  makeDirectories(packages);
  platform::writeFileAtomically(packages + "/" + kMimePackageName, kMimePackageText);
  const std::string updater = platform::findOnPath("update-mime-database");
  if (!updater.empty())
    platform::runProgram(updater, {places.dataHome + "/mime"}, places.environment, kXdgMimeMs);
  makeDirectories(places.configHome);
  IniFile list(places.configHome + "/mimeapps.list");
  list.writeString(kDefaultApplications, kScriptMimeType, std::string(kDesktopEntryName) + ";");
  list.updateFile();
}

bool XdgScriptAssociation::isRegistered() const {
  return isScriptTypeRegistered(places_);
}

void XdgScriptAssociation::registerScripts() const {
  registerScriptType(places_);
}

}  // namespace ravelin::app

#pragma once
#include <string>
#include <vector>

#include "app/script_association.h"

namespace ravelin::app {

// Script files open with the program through the desktop's MIME database: the type of
// *.rvs and the desktop entry that is its default application.
inline constexpr const char* kScriptMimeType = "text/x-ravelin-script";
inline constexpr const char* kDesktopEntryName = "io.github.ravelin.Ravelin.desktop";
// The entry's name before it took the AppStream component id.
inline constexpr const char* kFormerDesktopEntryName = "ravelin.desktop";
inline constexpr const char* kMimePackageName = "ravelin-mime.xml";

// Where a user's desktop keeps its MIME types, desktop entries and default applications,
// and the environment in which the xdg-utils run for it.
struct XdgPlaces {
  std::string dataHome;                  // $XDG_DATA_HOME, else ~/.local/share
  std::string configHome;                // $XDG_CONFIG_HOME, else ~/.config
  std::vector<std::string> dataDirs;     // $XDG_DATA_DIRS, else /usr/local/share and /usr/share
  std::string xdgMime;                   // the xdg-mime program; empty: the files are written here
  std::string executable;                // the program a desktop entry of the user starts
  std::string searchPath;                // $PATH, for an Exec line that names a bare program
  std::vector<std::string> environment;  // for xdg-mime: this process's, with both homes set
};

// The places of this process's environment, with the running executable.
XdgPlaces currentXdgPlaces();
// The same with the two homes replaced (and passed on to xdg-mime).
XdgPlaces xdgPlacesWithHomes(XdgPlaces places, const std::string& dataHome,
                             const std::string& configHome);

// Whether the desktop entry is the user's default application for script files (what
// "xdg-mime query default text/x-ravelin-script" answers, or without xdg-mime the first
// entry for the type in mimeapps.list's [Default Applications]) and starts the running
// program: the first such entry in the applications folders (the user's, then the
// system's) has an Exec line whose program, looked up on PATH when it is a bare name, is
// the running executable. An entry left behind by a program that was moved is not.
bool isScriptTypeRegistered(const XdgPlaces& places);

// Makes the desktop entry the user's default application for script files: installs the
// MIME package for the user, a desktop entry for the running program when the system has
// none (or the user's own one points elsewhere), and the default; a user entry of the
// former name that starts this program is removed, so that the menus show it once. Uses xdg-mime
// when it is there, otherwise writes $XDG_DATA_HOME/mime/packages and
// $XDG_CONFIG_HOME/mimeapps.list itself. Throws std::runtime_error (or platform::FileError) with
// the reason when a step fails.
void registerScriptType(const XdgPlaces& places);

// The association through the desktop's MIME database of these places.
class XdgScriptAssociation : public ScriptAssociation {
 public:
  explicit XdgScriptAssociation(XdgPlaces places) : places_(std::move(places)) {}
  bool isRegistered() const override;
  void registerScripts() const override;

 private:
  XdgPlaces places_;
};

}  // namespace ravelin::app

#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include "runtime/translate.h"

namespace ravelin::app {

// The recently used scripts: script paths, most recent first, compared without regard to
// letter case, stored in an INI section as History0 (the newest) to History9. The main
// window shows them as a submenu; the captions and the click rule are here as data so
// that every front end shows and resolves them the same way.
class HistoryList {
 public:
  static constexpr const char* kPlaceholder = N_("No items in history list");

  int maxEntries = 10;
  // Called with the path of the entry the user chose (a click on its item in the recent-scripts
  // menu).
  std::function<void(const std::string& path)> onChosen;
  // Called whenever the entries change, so that a front end can rebuild its submenu.
  std::function<void()> onChange;

  // True while the list holds only the placeholder.
  bool isEmpty() const { return isEmpty_; }
  // The list itself: the paths, or the placeholder alone while isEmpty().
  const std::vector<std::string>& strings() const { return strings_; }
  // The paths without the placeholder.
  std::vector<std::string> paths() const;

  // Clears the list and reads History0 .. History<MaxEntries-1> of section; every
  // non-empty value is an entry. Without any, the list holds the placeholder. A missing
  // or unreadable file reads as an empty section.
  void loadFromIni(const std::string& iniPath, const std::string& section);
  // Unless isEmpty(), writes entry i to History<i>; keys beyond the count stay as they
  // are. Throws platform::FileError when the file cannot be written.
  void saveToIni(const std::string& iniPath, const std::string& section) const;

  // Puts path on top, removing an entry that differs from it at most in letter case, and
  // drops the oldest entries beyond MaxEntries.
  void addFile(const std::string& path);

  // The submenu captions: "&1 path", "&2 path", ..., or the placeholder alone.
  std::vector<std::string> menuCaptions() const;
  // The click rule for a submenu caption: the number between the leading "&" and the
  // first blank, when it is above 0 and names an entry, gives that entry's path. Nothing
  // while isEmpty().
  std::optional<std::string> pathForCaption(std::string_view caption) const;
  // A click on the submenu item with this caption: calls onChosen with the entry's
  // path when the click rule yields one.
  void choose(std::string_view caption) const;

 private:
  void changed() const;

  std::vector<std::string> strings_{kPlaceholder};
  bool isEmpty_ = true;
};

}  // namespace ravelin::app

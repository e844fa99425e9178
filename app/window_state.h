#pragma once
// The main window as the user left it, kept in section "window" of ravelin.ini: its place
// and size, the server list's column widths and its sort.
#include <optional>
#include <string>
#include <vector>

namespace ravelin::app {

struct WindowState {
  struct Geometry {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Geometry&) const = default;
  };
  std::optional<Geometry> geometry;  // the normal (not maximized) place and size
  bool maximized = false;
  std::vector<int> columnWidths;  // in pixels, column 0 first; empty: the defaults
  std::optional<int> sortColumn;  // none: the list was never sorted
  bool sortDescending = false;
  bool operator==(const WindowState&) const = default;
};

inline constexpr const char* kWindowSection = "window";

// Reads the section; keys that are missing or out of range are left at their defaults.
WindowState loadWindowState(const std::string& iniPath);
// Writes the section's keys, keeping the rest of the file. Throws platform::FileError
// when the file cannot be written.
void storeWindowState(const WindowState& state, const std::string& iniPath);

}  // namespace ravelin::app

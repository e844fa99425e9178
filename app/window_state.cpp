#include "app/window_state.h"

#include <algorithm>

#include "app/ini_file.h"
#include "platform/text.h"

namespace ravelin::app {

namespace {

constexpr int kMaxPixels = 100000;
constexpr int kColumnCount = 9;

std::vector<int> parseWidths(const std::string& text) {
  std::vector<int> widths;
  size_t start = 0;
  while (start <= text.size() && widths.size() < kColumnCount) {
    const size_t comma = std::min(text.find(',', start), text.size());
    const auto width = platform::parseInt32(platform::trimText(text.substr(start, comma - start)));
    if (!width || *width < 1 || *width > kMaxPixels) return {};
    widths.push_back(*width);
    start = comma + 1;
  }
  return widths.size() == kColumnCount ? widths : std::vector<int>{};
}

}  // namespace

WindowState loadWindowState(const std::string& iniPath) {
  const IniFile ini = IniFile::settingsFile(iniPath);
  WindowState state;
  const auto number = [&](const char* key) {
    return ini.readInteger(kWindowSection, key, -kMaxPixels - 1);
  };
  const int left = number("Left"), top = number("Top"), width = number("Width"),
            height = number("Height");
  const auto inRange = [](int v, int low) { return v >= low && v <= kMaxPixels; };
  if (inRange(left, -kMaxPixels) && inRange(top, -kMaxPixels) && inRange(width, 1) &&
      inRange(height, 1))
    state.geometry = WindowState::Geometry{left, top, width, height};
  state.maximized = ini.readBool(kWindowSection, "Maximized", false);
  state.columnWidths = parseWidths(ini.readString(kWindowSection, "Columns", ""));
  const int column = ini.readInteger(kWindowSection, "SortColumn", -1);
  if (column >= 0 && column < kColumnCount) state.sortColumn = column;
  state.sortDescending = ini.readBool(kWindowSection, "SortDescending", false);
  return state;
}

void storeWindowState(const WindowState& state, const std::string& iniPath) {
  IniFile ini = IniFile::settingsFile(iniPath);
  if (state.geometry) {
    ini.writeInteger(kWindowSection, "Left", state.geometry->left);
    ini.writeInteger(kWindowSection, "Top", state.geometry->top);
    ini.writeInteger(kWindowSection, "Width", state.geometry->width);
    ini.writeInteger(kWindowSection, "Height", state.geometry->height);
  }
  ini.writeBool(kWindowSection, "Maximized", state.maximized);
  std::string widths;
  for (int w : state.columnWidths) widths += (widths.empty() ? "" : ",") + std::to_string(w);
  ini.writeString(kWindowSection, "Columns", widths);
  if (state.sortColumn) {
    ini.writeInteger(kWindowSection, "SortColumn", *state.sortColumn);
    ini.writeBool(kWindowSection, "SortDescending", state.sortDescending);
  }
  ini.updateFile();
}

}  // namespace ravelin::app

#pragma once
// What the Windows desktop program draws that the core does not decide: sizes in pixels
// at 96 DPI, scaled to each window's DPI (dpi.h).
#include <array>

namespace ravelin::win {

// The main window's starting size.
inline constexpr int kMainWindowWidth = 780;
inline constexpr int kMainWindowHeight = 540;

// The server list's columns (in the order of serverlist::ServerField).
inline constexpr std::array<int, 9> kColumnWidths = {120, 50, 150, 120, 50, 60, 60, 60, 35};

// The script editor's starting size, the text's font, the room around the line numbers,
// and the width of the file name's status panel.
inline constexpr int kScriptEditorWidth = 640;
inline constexpr int kScriptEditorHeight = 480;
inline constexpr int kScriptFontPointSize = 10;
inline constexpr int kLineNumberPadding = 4;
inline constexpr int kScriptFileStatusWidth = 150;
// A printed script's margin around the page, in pixels at 96 DPI (half an inch).
inline constexpr int kPrintMargin = 48;

// The status bar's panels: the list's counts, the load/save bar, what the last command did
// (the rest of the bar; the width is its least).
inline constexpr std::array<int, 3> kStatusPanelWidths = {400, 300, 10};

}  // namespace ravelin::win

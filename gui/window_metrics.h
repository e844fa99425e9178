#pragma once
// What the desktop windows draw that the core does not decide: sizes in pixels, button
// captions with their keyboard accelerators, the column widths of the server list.
// Plain constants without Qt, so that the core's views stay free of them.
#include <array>

namespace ravelin::gui {

// The server list's columns (in the order of serverlist::ServerField).
inline constexpr std::array<int, 9> kColumnWidths = {120, 50, 150, 120, 50, 60, 60, 60, 35};

// The details button of the update and verify windows, drawn from ProgressView's state.
inline constexpr const char* kDetailsShownCaption = "&Details <<";
inline constexpr const char* kDetailsHiddenCaption = "&Details >>";
inline constexpr const char* kDetailsGroupCaption = "Details";

// Window heights with and without the details pane.
inline constexpr int kUpdateHeightWithDetails = 552;
inline constexpr int kUpdateHeightWithoutDetails = 138;
inline constexpr int kVerifyHeightWithDetails = 504;
inline constexpr int kVerifyHeightWithoutDetails = 128;

inline constexpr const char* kCancelCaption = "&Cancel";
// The verification warning dialog's buttons.
inline constexpr const char* kProceedCaption = "&Proceed";
// The verify window's status lines: the verdict colours as RGB (a neutral line takes the
// palette's button colour).
inline constexpr unsigned kOkRgb = 0x008000;
inline constexpr unsigned kFailedRgb = 0xFF0000;

// The filter window's buttons.
inline constexpr const char* kFilterCaption = "&Filter";

}  // namespace ravelin::gui

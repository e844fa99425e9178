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

namespace ravelin::gui {

// The main window: its starting size, the toolbar's buttons (caption under a 32 x 32
// icon) and the widths of the three status-bar panels (the load/save bar covers the
// second one).
inline constexpr int kMainWindowWidth = 780;
inline constexpr int kMainWindowHeight = 540;
inline constexpr int kToolButtonWidth = 120;
inline constexpr int kToolButtonHeight = 52;
inline constexpr int kToolIconSize = 32;
inline constexpr std::array<int, 3> kStatusPanelWidths = {400, 300, 10};

// The toolbar's drop-down buttons, left to right.
inline constexpr const char* kRefreshButtonCaption = "&Refresh server list";
inline constexpr const char* kUpdateButtonCaption = "&Update server list";
inline constexpr const char* kVerifyButtonCaption = "&Verify server list";
inline constexpr const char* kSaveButtonCaption = "&Save server list";
inline constexpr const char* kScriptButtonCaption = "Run S&cript";

// The main menu.
inline constexpr const char* kFileMenuCaption = "&File";
inline constexpr const char* kOptionsCaption = "&Options";
inline constexpr const char* kExitCaption = "&Exit";
inline constexpr const char* kHelpMenuCaption = "&Help";
inline constexpr const char* kCheckForUpdatesCaption = "&Check for updates";
inline constexpr const char* kAboutCaption = "&About";

// The add/edit dialog's buttons; its boxes are labelled top to bottom.
inline constexpr const char* kOkCaption = "&OK";
inline constexpr std::array<const char*, 9> kEditorLabels = {
    "IP:",    "Port:",  "Name:",       "Description:", "Ping:",
    "Users:", "Files:", "Preference:", "History:"};
inline constexpr const char* kEditorInfoPlaceholder = "<Info>";

// The close countdown window.
inline constexpr const char* kCountdownCaption = "Ravelin: CLOSE Ravelin";
// The version-check window.
inline constexpr const char* kVersionCheckCaption = "Ravelin: Checking for updates";
inline constexpr int kVersionCheckWidth = 320;
inline constexpr const char* kCountdownLead = "Ravelin will close in ";
inline constexpr const char* kCountdownTail = "seconds.";

}  // namespace ravelin::gui

#pragma once
// What the desktop windows draw that the core does not decide: sizes in pixels, button
// captions with their keyboard accelerators, the column widths of the server list.
// Plain constants without Qt, so that the core's views stay free of them.
#include <array>

#include "desk/dialog_texts.h"
#include "runtime/translate.h"

namespace ravelin::qt {

using desk::kBrowseCaption;
using desk::kCancelCaption;
using desk::kChooseCommandLabel;
using desk::kChooseEDPathTitle;
using desk::kChooseIPFilterTitle;
using desk::kCloseCaption;
using desk::kCountdownCaption;
using desk::kCountdownLead;
using desk::kCountdownTail;
using desk::kDescriptionLabel;
using desk::kDetailsGroupCaption;
using desk::kDetailsHiddenCaption;
using desk::kDetailsShownCaption;
using desk::kEditorInfoPlaceholder;
using desk::kEditorLabels;
using desk::kFailedRgb;
using desk::kFilterCaption;
using desk::kInsertCommandCaption;
using desk::kOkCaption;
using desk::kOkRgb;
using desk::kOptionsDialogCaption;
using desk::kOptionsTabs;
using desk::kPasswordNonePlaceholder;
using desk::kPasswordStoredPlaceholder;
using desk::kProceedCaption;
using desk::kScriptEditorCaption;
using desk::kScriptFileFilters;
using desk::kScriptOpenTitle;
using desk::kScriptSaveTitle;
using desk::kSearchCaption;
using desk::kUpdateCaption;
using desk::kUrlAddCaption;
using desk::kUrlAddLabel;
using desk::kUrlColumns;
using desk::kUrlEditCaption;
using desk::kUrlEditLabel;
using desk::kUrlGroupCaption;
using desk::kUrlListHint;
using desk::kUrlMenuItems;
using desk::kVersionCheckCaption;

// The server list's columns (in the order of serverlist::ServerField).
inline constexpr std::array<int, 9> kColumnWidths = {120, 50, 150, 120, 50, 60, 60, 60, 35};

// The width of the update and verify windows (their height follows what they show), and
// the gap between two rows of the details pane.
inline constexpr int kProgressWindowWidth = 520;
inline constexpr int kDetailsSpacing = 2;

}  // namespace ravelin::qt

namespace ravelin::qt {

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
inline constexpr const char* kRefreshButtonCaption = N_("&Refresh server list");
inline constexpr const char* kUpdateButtonCaption = N_("&Update server list");
inline constexpr const char* kVerifyButtonCaption = N_("&Verify server list");
inline constexpr const char* kSaveButtonCaption = N_("&Save server list");
inline constexpr const char* kScriptButtonCaption = N_("Run S&cript");

// The main menu.
inline constexpr const char* kFileMenuCaption = N_("&File");
inline constexpr const char* kOptionsCaption = N_("&Options");
inline constexpr const char* kExitCaption = N_("&Exit");
inline constexpr const char* kHelpMenuCaption = N_("&Help");
inline constexpr const char* kEditMenuCaption = N_("&Edit");
inline constexpr const char* kCopyCaption = N_("&Copy server links");
inline constexpr const char* kPasteCaption = N_("&Paste server links");
inline constexpr const char* kCheckForUpdatesCaption = N_("&Check for updates");
inline constexpr const char* kAboutCaption = N_("&About");

// The URL list's column widths.
inline constexpr std::array<int, 2> kUrlColumnWidths = {80, 370};
// Every spin box of the options dialog is this wide, so that they line up.
inline constexpr int kOptionsSpinWidth = 80;

// The about box.
inline constexpr int kAboutBoxMinWidth = 320;
// A link of the about box: red under the mouse, blue otherwise.
inline constexpr unsigned kLinkRgb = 0x0000FF;
inline constexpr unsigned kLinkHoverRgb = 0xFF0000;

// How long the taskbar entry asks for attention when the countdown starts.
inline constexpr int kCountdownAlertMs = 1000;

// The version-check window.
inline constexpr int kVersionCheckWidth = 320;

// The transfer window.
inline constexpr int kTransferWindowWidth = 400;

}  // namespace ravelin::qt

namespace ravelin::qt {

// The script editor: its window, the text's font, the file name's status panel.
inline constexpr int kScriptEditorWidth = 640;
inline constexpr int kScriptEditorHeight = 480;
inline constexpr int kScriptFontPointSize = 10;
inline constexpr int kLineNumberPadding = 4;
inline constexpr int kScriptFileStatusWidth = 150;
// Where the printed lines start and how close to the page's end they may come.
inline constexpr int kPrintMargin = 50;
inline constexpr int kPrintBottomReserve = 100;

// The insert-command dialog.
inline constexpr int kInsertCommandWidth = 680;
inline constexpr int kInsertCommandHeight = 460;

}  // namespace ravelin::qt

#pragma once
// The captions that the desktop dialogs share on every toolkit, with their keyboard
// accelerators, and the texts of the small dialogs that show the core's values.
#include <array>

#include "runtime/translate.h"

namespace ravelin::desk {

inline constexpr const char* kOkCaption = N_("&OK");
inline constexpr const char* kCancelCaption = N_("&Cancel");
inline constexpr const char* kCloseCaption = N_("&Close");

// The filter window's button.
inline constexpr const char* kFilterCaption = N_("&Filter");

// The add/edit dialog's boxes, labelled top to bottom (the preference list is the eighth
// row), and its info line before it opens.
inline constexpr std::array<const char*, 9> kEditorLabels = {
    N_("IP:"),    N_("Port:"),  N_("Name:"),       N_("Description:"), N_("Ping:"),
    N_("Users:"), N_("Files:"), N_("Preference:"), N_("History:")};
inline constexpr const char* kEditorInfoPlaceholder = N_("<Info>");

// The script editor, its file dialogs and its insert-command dialog.
inline constexpr const char* kScriptEditorCaption = N_("Ravelin: Script Editor");
inline constexpr const char* kScriptOpenTitle = N_("Open Script file:");
inline constexpr const char* kScriptSaveTitle = N_("Save Script file:");
inline constexpr std::array<const char*, 3> kScriptFileFilters = {
    N_("Ravelin Script (*.rvs)"), N_("Textfile (*.txt)"), N_("Any file (*)")};
inline constexpr const char* kInsertCommandCaption = N_("Ravelin: Script Editor: Insert command");
inline constexpr const char* kChooseCommandLabel = N_("Choose a command:");
inline constexpr const char* kDescriptionLabel = N_("Description:");

// The about box.
inline constexpr const char* kAboutBoxCaption = N_("About Ravelin v");

// The windows of the long commands: the update window's caption, the details button and
// pane of the update and verify windows (drawn from ProgressView's state), the verify
// warning's button, the version check's caption.
inline constexpr const char* kUpdateCaption = N_("Ravelin: Check URLs for new servers");
inline constexpr const char* kDetailsShownCaption = N_("&Details <<");
inline constexpr const char* kDetailsHiddenCaption = N_("&Details >>");
inline constexpr const char* kDetailsGroupCaption = N_("Details");
inline constexpr const char* kProceedCaption = N_("&Proceed");
inline constexpr const char* kVersionCheckCaption = N_("Ravelin: Checking for updates");
// The verify window's status lines: the verdict colours as RGB (a neutral line keeps the
// window's colours).
inline constexpr unsigned kOkRgb = 0x008000;
inline constexpr unsigned kFailedRgb = 0xFF0000;

// The close countdown window.
inline constexpr const char* kCountdownCaption = N_("Ravelin: CLOSE Ravelin");
inline constexpr const char* kCountdownLead = N_("Ravelin will close in ");
inline constexpr const char* kCountdownTail = N_("seconds.");

// The options dialog: its tabs (the blanks widen the flat tab buttons), the URL list's
// group, columns and popup menu, and the captions of the URL dialog.
inline constexpr const char* kOptionsDialogCaption = N_("Ravelin: OPTIONS");
inline constexpr std::array<const char*, 4> kOptionsTabs = {N_("   General   "), N_("   Update   "),
                                                            N_("   Verify   "), N_("   Script   ")};
inline constexpr const char* kUrlGroupCaption = N_(" URLs containing ED2k server links: ");
inline constexpr std::array<const char*, 2> kUrlColumns = {N_("Type"), N_("URL")};
inline constexpr const char* kUrlListHint = N_("Right-click to add/delete/edit URLs");
inline constexpr std::array<const char*, 3> kUrlMenuItems = {N_("Add URL"), N_("Delete URL"),
                                                             N_("Edit URL")};
inline constexpr const char* kUrlAddCaption = N_("Ravelin: OPTIONS: Add URL");
inline constexpr const char* kUrlAddLabel = N_("Insert URL to add it to the URL list:");
inline constexpr const char* kUrlEditCaption = N_("Ravelin: OPTIONS: Edit URL");
inline constexpr const char* kUrlEditLabel = N_("Edit the URL from the URL list:");
inline constexpr const char* kSearchCaption = N_("Search");
inline constexpr const char* kBrowseCaption = N_("Browse...");
inline constexpr const char* kChooseEDPathTitle = N_("Choose the ED2k Path:");
inline constexpr const char* kChooseIPFilterTitle = N_("Choose the IP filter file:");
// What the External Connection's password field shows while it is empty.
inline constexpr const char* kPasswordNonePlaceholder = N_("none");
inline constexpr const char* kPasswordStoredPlaceholder = N_("stored; type to replace");

// The options dialog's labels, tab by tab.
inline constexpr const char* kClientTypeGroup = N_(" Choose the type of your eDonkey client: ");
inline constexpr const char* kLocalClientCaption =
    N_("Local client (amule or amuled on this machine)");
inline constexpr const char* kRemoteClientCaption = N_("Remote client (External Connection)");
inline constexpr const char* kEcLabel = N_("External Connection:");
inline constexpr const char* kPasswordLabel = N_("Password:");
inline constexpr const char* kMetTagsCaption =
    N_("Write address and port tags into server.met files");
inline constexpr const char* kProxyAddrLabel = N_("Proxy address:");
inline constexpr const char* kProxyPortLabel = N_("Proxy port:");
inline constexpr const char* kLogCaption = N_("Log all actions to file ( %s/<date-time>.log )");
inline constexpr const char* kClientFolderLabel =
    N_("Client folder (holds its server.met; aMule: ~/.aMule/):");
inline constexpr const char* kClientProgramLabel =
    N_("Client program (found in the client folder or on PATH, or a full path):");
inline constexpr const char* kIPFilterLabel =
    N_("IP filter file (blocked address ranges; empty: none):");
inline constexpr const char* kUpdateInfoLabel =
    N_("New-version information URL (empty: no check):");
inline constexpr const char* kIniInUseLabel = N_("Settings file in use:");
inline constexpr const char* kLogFolderLabel = N_("Log folder:");
inline constexpr const char* kUpdThreadsLabel = N_("Maximum thread count (max = 8):");
inline constexpr const char* kTimeoutLabel = N_("Timeout (in sec, max = 60):");
inline constexpr const char* kMaxListLabel = N_("Largest unpacked list (in MiB, max = 4096):");
inline constexpr const char* kVrfParallelLabel = N_("Servers tried at once (max = 1024):");
inline constexpr const char* kVrfProxyParallelLabel = N_("Through the SOCKS 5 proxy (max = 1024):");
inline constexpr const char* kVrfThreadsLabel = N_("Status lines in the window (max = 20):");
inline constexpr const char* kVrfWarningCaption = N_("Display warning message");
inline constexpr const char* kVrfUdpCaption = N_("Ask every server for its users and files (UDP)");
inline constexpr const char* kSyntaxCheckCaption =
    N_("Perform syntax check on every run of a script file");
inline constexpr const char* kScriptOpenLabel =
    N_("On opening an .rvs-file from the desktop...  (e.g. a double click in the file manager)");
inline constexpr const char* kScriptExecCaption = N_("execute the script.");
inline constexpr const char* kScriptEditCaption = N_("open the script in the script editor.");

}  // namespace ravelin::desk

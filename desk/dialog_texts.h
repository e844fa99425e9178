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

// The about box.
inline constexpr const char* kAboutBoxCaption = N_("About Ravelin v");

// The close countdown window.
inline constexpr const char* kCountdownCaption = N_("Ravelin: CLOSE Ravelin");
inline constexpr const char* kCountdownLead = N_("Ravelin will close in ");
inline constexpr const char* kCountdownTail = N_("seconds.");

}  // namespace ravelin::desk

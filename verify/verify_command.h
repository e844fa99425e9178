#pragma once
#include <functional>
#include <string>

#include "runtime/app_context.h"
#include "runtime/translate.h"
#include "serverlist/server_list.h"
#include "verify/verify_coordinator.h"
#include "verify/verify_view.h"

namespace ravelin::verify {

// The verification warning dialog: its caption and its check box.
inline constexpr const char* kVerifyWarningCaption = N_("Ravelin: Hint for server verification");
inline constexpr const char* kVerifyWarningCheckBox = N_("Do not show this message box again");

// The warning text: eight lines joined by CR LF, no line break after the last.
std::string verifyWarningText();

class VerifyWarningDialog {
 public:
  virtual ~VerifyWarningDialog() = default;
  // Shows the dialog modally with text in its label and the check box as given; returns
  // true when it was closed with Proceed. checked receives the box's final state.
  virtual bool showModal(const std::string& text, bool& checked) = 0;
};

// Asks the warning dialog. The box starts ticked exactly when VrfWarning is off; when it
// ends up not matching the setting, VrfWarning := not ticked and is written at once to
// ravelin.ini through saveWarning, when one is given; a write that fails is shown in an
// error box and changes nothing else. Returns whether to proceed.
bool confirmVerification(VerifyWarningDialog& dialog, runtime::AppContext& ctx,
                         const std::function<void()>& saveWarning);

inline constexpr const char* kNothingToVerifyText =
    N_("There isn't any server to verify!\r\nPlease update the server list or check the servers!");

// The check before a verification that the user started: true when the list holds a server
// to verify (a checked one, or any with verifyAll); otherwise the box with
// kNothingToVerifyText (unless a script runs) and false.
bool haveServersToVerify(const serverlist::ServerList& list, bool verifyAll,
                         runtime::AppContext& ctx);

// "Verify checked IPs" (verifyAll false) and "Verify all IPs" (true), as the main window
// and the script commands VerifyChecked / VerifyAll run them: the warning dialog first
// when VrfWarning is on and no script runs (and a dialog is given), then the run in the
// verify window inside the wait frame (runtime::runInWaitFrame). When the run found the
// network down, the error box says so once the window is closed (not while a script
// runs). A run that the warning dialog stopped counts as cancelled.
VerifyOutcome runVerify(serverlist::ServerList& list, runtime::AppContext& ctx, VerifyView& view,
                        bool verifyAll, VerifyWarningDialog* warning = nullptr,
                        const std::function<void()>& saveWarning = {});

}  // namespace ravelin::verify

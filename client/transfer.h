#pragma once
// "Save to running EDonkey" / SaveRunningEDonkey, SendToEDonkeyConsole, and the note that
// a server.met saved under the running client does not last.
#include <optional>
#include <string>

#include "client/client_bridge.h"
#include "runtime/progress_bar.h"
#include "runtime/progress_view.h"
#include "runtime/translate.h"
#include "serverlist/save_flow.h"

namespace ravelin::runtime {
struct AppContext;
}
namespace ravelin::serverlist {
class ServerList;
}

namespace ravelin::client {

class TransferTimeStore;

inline constexpr const char* kTransferCaption = N_("Ravelin: Data transfer to eDonkey client");

// The transfer window: the status line is the headline, where the servers go is the
// description, Cancel stops before the next server; the bar counts every server of the
// list (the main window's load/save bar in the desktop program).
class TransferView : public runtime::ProgressView {
 public:
  virtual runtime::ProgressBar& progressBar() = 0;
};

// The status texts of the transfer window.
inline constexpr const char* kTransferStatusStart = N_("Preparing the transfer...");
inline constexpr const char* kTransferStatusOpening = N_("Connecting to the eDonkey client...");
inline constexpr const char* kTransferStatusDone = N_("Transfer finished.");
// "Transferring server 3 of 10..."
std::string transferProgressText(size_t number, size_t total);

struct TransferOutcome {
  // Every server was gone through.
  bool completed = false;
  bool cancelled = false;
  std::optional<TransferFailure> failure;
  // The cause of the failure in words.
  std::string cause;
  int added = 0;
  int refused = 0;
};

// The hand-over of the checked servers, at most once in 4 hours (the caller has made sure
// that one is checked):
// 1. The time of the last hand-over: none recorded, an unreadable record or one in the
//    future record the current time and refuse (Waiting); less than 4 hours ago refuses.
// 2. The bridge's running check (NotRunning / ClientUnreachable); the record stays.
// 3. The current time is recorded; the bar runs over all servers of the list, each
//    checked one is handed over and followed by EDWaittime; Cancel takes effect before
//    the next server.
// 4. The log line of the transfer.
// Failures show their message (none while a script runs) and are logged; a cancel is
// silent. The window is shown at the start and closed on every way out, the bar hidden.
TransferOutcome sendToRunningClient(const serverlist::ServerList& list, runtime::AppContext& ctx,
                                    TransferView& view, TransferTimeStore& store,
                                    ClientBridge& bridge);

// What a console line becomes: the console client's "n IP PORT" (a server to add) turns
// into the client's "add ed2k://|server|IP|PORT|/"; every other line stays as it is.
std::string consoleLineFor(const std::string& text);

struct ConsoleOutcome {
  bool sent = false;
  std::optional<TransferFailure> failure;
  std::string cause;
  // The client's answer, its lines joined by "\n".
  std::string reply;
};

// SendToEDonkeyConsole: one console line through the External Connection in both modes.
// With EDGUI set, the client on this machine must run first (NotRunning). A line that
// cannot be delivered is ConsoleUnreachable, and so is every line on Windows: eMule has no
// console. Failures show their message (none while a script runs) and are logged; a
// delivered line is logged with the first line of the answer.
ConsoleOutcome sendToClientConsole(const std::string& text, runtime::AppContext& ctx);

// After server.met was saved: when the client runs on this machine, the log says that the
// client writes its own server.met when it exits, so the save is lost then, and names
// "Save to running EDonkey"; outside scripts a box says the same, once per run.
void noteServerMetSavedUnderRunningClient(runtime::AppContext& ctx);

// "Save to standard server.met" and SaveEDonkeyMET alike: the client's server.met with its
// backup (serverlist::saveStandardServerMet), then the note above. Returns how the save
// ended (true when the file was written).
serverlist::SaveOutcome saveClientServerMet(const serverlist::ServerList& list,
                                            runtime::ProgressBar& bar, runtime::AppContext& ctx);

inline constexpr const char* kRunningClientSaveNote =
    N_("The eDonkey client is running: it writes its own server.met when it exits, so this "
       "server.met will be replaced then. Use \"Save to running EDonkey\" to hand servers to "
       "the running client.");

}  // namespace ravelin::client

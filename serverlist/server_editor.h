#pragma once
#include <array>
#include <string>

#include "runtime/app_context.h"
#include "runtime/translate.h"
#include "serverlist/server_list.h"

namespace ravelin::serverlist {

// The add/edit server dialog without its window: what it shows when it opens, which
// characters its boxes take, and what OK does with the typed values.

enum class EditorMode { Add, Edit };

// The dialog's edit boxes, top to bottom.
enum class EditorBox { IP, Port, Name, Desc, Ping, Users, Files, History };

// The values of the dialog: eight edit boxes and the chosen preference item.
struct EditorValues {
  std::string ip, port, name, desc, ping, users, files, hist;
  std::string pref = "Normal";
};

// The texts the Pref field holds; the editor shows them translated.
inline constexpr std::array<const char*, 3> kPrefItems = {N_("Normal"), N_("High"), N_("Low")};
// The index of a preference item, -1 when the text is none of them.
int prefItemIndex(const std::string& pref);

// What the dialog shows when it opens.
struct EditorOpening {
  const char* caption;
  const char* info;
  EditorValues values;
};
// Add mode: caption "Ravelin: Add server", empty boxes, preference "Normal".
EditorOpening openEditorForAdd();
// Edit mode: caption "Ravelin: Edit server" and the row's nine fields as they are.
EditorOpening openEditorForEdit(const Server& server);

// Whether a box takes a typed character (a byte; 8 is backspace). The IP box takes the
// digits, "." and backspace; the number boxes the digits and backspace; Name and
// Description everything. Control characters of shortcuts (Ctrl+C is 3, Ctrl+V 22) are
// refused by the filtered boxes like any other character.
bool editorBoxAcceptsKey(EditorBox box, char key);

// The dialog's port rule: the integer parse of parseInt32 and a value from 1 to
// kMaxServerPort (port 0, which the readers keep, is refused here).
bool isValidEditorPort(const std::string& port);

// The outcome of OK. Saved: the list changed and the dialog closes. The others leave
// the list as it was and the dialog open with the typed values; InvalidIP and
// InvalidPort ask the dialog to select the whole text of that box and focus it. NoRow:
// edit mode without a selected row (the dialog closes; nothing changes).
enum class EditorOutcome { Saved, InvalidIP, InvalidPort, Duplicate, NoRow };
struct EditorResult {
  EditorOutcome outcome;
  bool closes() const { return outcome == EditorOutcome::Saved || outcome == EditorOutcome::NoRow; }
  // The box to select and focus, when there is one.
  bool focusIP() const { return outcome == EditorOutcome::InvalidIP; }
  bool focusPort() const { return outcome == EditorOutcome::InvalidPort; }
};

// OK: checks IP (untrimmed, IsValidIP) then port, with the message boxes "The IP is
// not valid!" and "The Port is not valid!" (title "Warning", error icon); fills the
// empty Name, Description, Ping, Users, Files and History with "n/a". Add mode refuses a
// server whose IP text and port text are both exactly those of a listed row ("A server
// with this IP and this Port already exists!"), else appends it checked and logs
// "Server <IP:Port> added". Edit mode overwrites the selected row, keeping its check mark
// and everything the dialog does not show, and logs "Server <IP:Port> edited". A
// preference that is none of the items keeps the row's preference in edit mode and is
// "Normal" in add mode.
EditorResult editorOk(ServerList& list, EditorMode mode, const EditorValues& values,
                      runtime::AppContext& ctx);

}  // namespace ravelin::serverlist

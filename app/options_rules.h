#pragma once
// The rules of the options dialog and its URL dialog that hold without any window: the
// kind names of the URL list, the "http://" rule, the checks and questions of OK, and how
// the dialog's values become the running settings and ravelin.ini.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/app_context.h"
#include "runtime/settings.h"
#include "runtime/translate.h"

namespace ravelin::app {

class AppSession;

// The kinds a URL list row can be given, in the order the URL dialog lists them.
inline constexpr runtime::SourceKind kUrlKinds[] = {
    runtime::SourceKind::HTML, runtime::SourceKind::MET, runtime::SourceKind::BOT,
    runtime::SourceKind::DNS};
// The names are shown translated; the rows and ravelin.ini keep the kinds.
inline constexpr const char* kUrlKindNames[] = {N_("HTML-File"), N_("MET-File"), N_("BOT-File"),
                                                N_("DNS-File")};

// The kind name a row shows. An entry whose marker is not at its start (kind Other) is
// named after the first marker it holds, looked for in the order HTM, MET, BOT, DNS.
std::string urlKindName(const runtime::UrlSource& source);
// The kind of a kind name; any name but the first three is a DNS file.
runtime::SourceKind urlKindFromName(std::string_view name);

// The URL dialog's OK: a location that is no local DNS file gets "http://" in front
// unless it names a scheme of the web already ("http://" or "https://", in any letter
// case, anywhere in the text). An empty field becomes "http://".
runtime::UrlSource urlFromDialog(runtime::SourceKind kind, std::string_view text);

// A click on a column header of the URL list: sorts by the kind names (column 0) or the
// locations (column 1), comparing without regard to letter case; rows that compare equal
// keep their order.
void sortUrlRows(std::vector<runtime::UrlSource>& rows, int column, bool ascending);

// The proxy port field: empty is 0 (no port), otherwise a decimal number up to 65535.
// Nothing when the field holds anything else.
std::optional<int> proxyPortFromField(std::string_view text);
inline constexpr const char* kProxyPortRefused =
    N_("The proxy port must be a number from 0 to 65535!");

// What ECPassword holds after the dialog: the digest of a typed password; the stored
// digest while the field was not touched; nothing once the user emptied the field.
std::string ecPasswordAfterEdit(const std::string& storedDigest, const std::string& field,
                                bool touched);

inline constexpr const char* kLogNextStart =
    N_("All actions will be logged at the next start of Ravelin!");
// (The Windows build: "The EDonkey EXE-File cannot be found at this directory!...".)
inline constexpr const char* kClientNotFound =
    N_("The client program cannot be found in this folder or on PATH!\r\nChoose it anyway?");
inline constexpr const char* kNoUrlEntered =
    N_("You haven't entered any URL, so the update won't work!\r\nAre you sure not to enter at "
       "least one URL?");

// The questions of OK, in order: the client program is not found (looked up as
// StartEDonkey looks it up: EDFilename as a path, in EDPath, then on PATH), and the URL
// list is empty. Returns false when the user answers No to one of them: the dialog stays
// open and nothing changes. warnedFor keeps the program last asked about, so that the
// first question comes once per change of the client fields, not on every OK of a user
// who has no client installed.
bool confirmOptions(const runtime::Settings& edited, const runtime::AppContext& ctx,
                    std::optional<std::string>& warnedFor);

// Makes the edited settings the running ones and writes them to the session's
// ravelin.ini. Throws platform::FileError when the file cannot be written; the settings
// in memory hold the new values then.
void applyOptions(AppSession& session, const runtime::Settings& edited);

}  // namespace ravelin::app

#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "app/ini_file.h"
#include "runtime/settings.h"

namespace ravelin::app {

// Ranges that the workers rest on: the updater has 8 worker slots, the verify window 20
// rows, and both take time-outs of 1 to 60 seconds. Loading clamps hand-edited values into
// them. The options dialog offers up to 1024 servers tried at once; a hand-edited file may
// ask for more, up to 4096, which the run bounds further by the sockets it may hold.
constexpr int kUpdThreadCountMin = 1;
constexpr int kUpdThreadCountMax = 8;
constexpr int kVrfThreadCountMin = 1;
constexpr int kVrfThreadCountMax = 20;
constexpr int kVrfParallelMin = 1;
constexpr int kVrfParallelMax = 1024;
constexpr int kVrfParallelFileMax = 4096;
constexpr int kTimeoutMin = 1;
constexpr int kTimeoutMax = 60;

// The four kind markers of a URL list entry.
inline constexpr std::string_view kUrlMarkers[] = {"HTM|", "MET|", "BOT|", "DNS|"};

// Whether the entry holds one of the kind markers anywhere in its text.
bool hasUrlMarker(std::string_view entry);

// An entry as ravelin.ini holds it ("MET|http://...") and back. An entry that starts with
// no marker is of kind Other and keeps its whole text.
runtime::UrlSource parseUrlSource(std::string_view entry);
std::string urlSourceText(const runtime::UrlSource& source);

// Section URLs: URL1, URL2, ... up to the first missing number, without the entries that
// hold no kind marker, in file order.
std::vector<runtime::UrlSource> readUrlList(const IniFile& ini);

// Brings values that only a hand-edited file can hold into the ranges the program works
// with: thread counts into 1..8 (update) and 1..20 (verify), servers tried at once into
// 1..4096, time-outs into 1..60
// seconds, MaxListMB into 1..4096, and negative pauses (EDWaittime, waittime1, waittime2)
// and a negative LogKeep to 0.
void clampSettings(runtime::Settings& settings);

// Every key of Settings from the INI file; missing keys and values that are not integers
// where one is expected keep their defaults. The result is clamped (ClampSettings).
runtime::Settings settingsFromIni(const IniFile& ini);
// Reads ravelin.ini. A missing file gives the defaults; the file is never created here.
runtime::Settings loadSettings(const std::string& iniPath);

// Puts the keys that the options dialog writes into ini, and rewrites section URLs as
// URL1, URL2, ... (an empty list leaves no section). EDWaittime, NegCompare, NoRegCheck,
// waittime1 and waittime2 are never written.
void writeSettingsToIni(const runtime::Settings& settings, IniFile& ini);
// What ECPassword holds for a password: its MD5 digest in upper-case hexadecimal, as the
// client writes it into its own files. The options dialog stores this, never the
// password.
std::string ecPasswordDigest(std::string_view password);

// Reads ravelin.ini, writes the options keys as above and saves it; everything else in
// the file stays. Throws platform::FileError when the file cannot be written.
void storeSettings(const runtime::Settings& settings, const std::string& iniPath);

// Writes the key VrfWarning of section verify alone, as the verification warning dialog
// does. Throws platform::FileError when the file cannot be written.
void storeVrfWarning(bool vrfWarning, const std::string& iniPath);

}  // namespace ravelin::app

#pragma once
// The eDonkey client as an outside program: which program it is, is it running, start it,
// and open a file with the desktop's default application.
#include <string>
#include <vector>

namespace ravelin::runtime {
struct AppContext;
struct Settings;
}  // namespace ravelin::runtime

namespace ravelin::client {

// The client program for the settings: EDFilename itself when it holds a separator;
// otherwise EDPath/EDFilename when that file exists, else (on Windows, where EDPath is
// eMule's configuration folder and not its program folder) a running program of that name,
// else the first EDFilename on PATH. Empty when none is found. (The client's data files,
// server.met among them, stay clientFile(EDPath, name).)
std::string clientExecutable(const runtime::Settings& settings);

// The client programs of this machine: the configured one, resolved by clientExecutable().
// On Windows also every running program named EDFilename (eMule, wherever it lives); on
// Linux both aMule programs, which read the client's ED2KLinks file, the GUI "amule" and
// the daemon "amuled", each resolved as EDFilename is (beside EDFilename when that is a
// path). Only programs that were found are listed.
std::vector<std::string> localClientPrograms(const runtime::Settings& settings);

// Whether one of localClientPrograms() runs: a process whose executable is that whole
// path (symbolic links resolved).
bool isLocalClientRunning(const runtime::Settings& settings);

// "StartEDonkey": when clientExecutable() names an existing file, starts it without
// waiting and logs "EDonkey2000 started with <path>". When there is none nothing happens
// and nothing is logged; a file that cannot be started is treated the same way. Returns
// whether it started.
bool startEDonkey(runtime::AppContext& ctx);

// "StartFile[...]": when the file exists, opens it with the desktop's default
// application without waiting and logs "<path> executed". Returns whether the
// opener was started.
bool startFile(const std::string& path, runtime::AppContext& ctx);

}  // namespace ravelin::client

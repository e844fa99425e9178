#pragma once
// The eDonkey client as an outside program: is it running, start it, and open a file with
// the desktop's default application.
#include <string>
#include <vector>

namespace ravelin::runtime {
struct AppContext;
}

namespace ravelin::client {

// "StartEDonkey": when clientFile(EDPath, EDFilename) exists, starts it without waiting
// and logs "EDonkey2000 started with <path>". A missing file does nothing and logs nothing;
// a file that cannot be started is treated the same way. Returns whether it started.
bool startEDonkey(runtime::AppContext& ctx);

// "StartFile[...]": when the file exists, opens it with the desktop's default
// application (xdg-open) without waiting and logs "<path> executed". Returns whether the
// opener was started.
bool startFile(const std::string& path, runtime::AppContext& ctx);

}  // namespace ravelin::client

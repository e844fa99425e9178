#pragma once
// The eDonkey client as an outside program: is it running, start it, and open a file with
// the desktop's default application.
#include <string>
#include <vector>

struct AppContext;

namespace client {

// True when a running process's executable is the given path, compared as a whole and
// without regard to letter case. Processes whose executable cannot be read (other users')
// are skipped. The given path also matches in its resolved form (symbolic links and "."
// or ".." parts removed), which is how the system reports an executable.
bool IsProcessRunning(const std::string& executablePath);

// The executable paths of all processes this user may inspect.
std::vector<std::string> RunningExecutables();

// Starts a program without waiting for it; a helper thread reaps it when it ends. With
// searchPath the program is looked up in PATH. Returns false when it could not be started.
bool SpawnDetached(const std::string& program, const std::vector<std::string>& args,
                   bool searchPath);

// "StartEDonkey": when ClientFile(EDPath, EDFilename) exists, starts it without waiting
// and logs "EDonkey2000 started with <path>". A missing file does nothing and logs nothing;
// a file that cannot be started is treated the same way. Returns whether it started.
bool StartEDonkey(AppContext& ctx);

// "StartFile[...]": when the file exists, opens it with the desktop's default
// application (xdg-open) without waiting and logs "<path> executed". Returns whether the
// opener was started.
bool StartFile(const std::string& path, AppContext& ctx);

}  // namespace client

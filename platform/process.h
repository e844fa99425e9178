#pragma once
// Other programs as processes: which ones run, and starting one without waiting for it.
#include <string>
#include <vector>

namespace ravelin::platform {

// True when a running process's executable is the given path, compared as a whole and
// without regard to letter case. Processes whose executable cannot be read (other users')
// are skipped. The given path also matches in its resolved form (symbolic links and "."
// or ".." parts removed), which is how the system reports an executable.
bool isProcessRunning(const std::string& executablePath);

// The executable paths of all processes this user may inspect.
std::vector<std::string> runningExecutables();

// Starts a program without waiting for it; a helper thread reaps it when it ends. With
// searchPath the program is looked up in PATH. Returns false when it could not be started.
bool spawnDetached(const std::string& program, const std::vector<std::string>& args,
                   bool searchPath);

}  // namespace ravelin::platform
